#include "AccountBook.h"

#include <sodium.h>

namespace qornc::server {

AccountBook::AccountBook(std::size_t capacity, PasswordHasher hasher)
    : capacity_(capacity)
    , hasher_(hasher)
{
}

bool AccountBook::add(std::string_view name, Account account)
{
    if (full() || contains(name))
        return false;
    accounts_.emplace(std::string(name), std::move(account));
    return true;
}

bool AccountBook::preset(std::string_view name, std::string_view password)
{
    return add(name, Account{std::string(password), false});
}

bool AccountBook::addHashed(std::string_view name, std::string hash)
{
    return add(name, Account{std::move(hash), true});
}

bool AccountBook::rehash(std::string_view name, std::string hash)
{
    const auto found = accounts_.find(name);
    if (found == accounts_.end() || !found->second.hashed)
        return false;
    found->second.secret = std::move(hash);
    return true;
}

bool AccountBook::clearMatches(std::string_view name, std::string_view password) const
{
    const auto found = accounts_.find(name);
    if (found == accounts_.end() || found->second.hashed)
        return false;
    // Digests of equal length, compared in constant time: neither the length nor the first
    // differing byte shows in the time taken.
    unsigned char expected[crypto_generichash_BYTES];
    unsigned char given[crypto_generichash_BYTES];
    const std::string& secret = found->second.secret;
    crypto_generichash(expected, sizeof expected, reinterpret_cast<const unsigned char*>(secret.data()), secret.size(),
                       nullptr, 0);
    crypto_generichash(given, sizeof given, reinterpret_cast<const unsigned char*>(password.data()), password.size(),
                       nullptr, 0);
    return sodium_memcmp(expected, given, sizeof expected) == 0;
}

std::string AccountBook::storedHash(std::string_view name) const
{
    const auto found = accounts_.find(name);
    return found != accounts_.end() && found->second.hashed ? found->second.secret : std::string();
}

bool AccountBook::isSlowToCheck(std::string_view name) const
{
    const auto found = accounts_.find(name);
    return found != accounts_.end() && found->second.hashed;
}

} // namespace qornc::server
