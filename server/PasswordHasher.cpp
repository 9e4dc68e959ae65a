#include "PasswordHasher.h"

#include <sodium.h>

namespace qornc::server {

PasswordHasher::Cost PasswordHasher::interactiveCost()
{
    return {crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE};
}

PasswordHasher::Cost PasswordHasher::cheapestCost()
{
    return {crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN};
}

PasswordHasher::PasswordHasher(Cost cost)
    : cost_(cost)
    // Safe to call any number of times; it only sets the library up once.
    , usable_(sodium_init() >= 0)
{
}

std::optional<std::string> PasswordHasher::hash(std::string_view password) const
{
    char out[crypto_pwhash_STRBYTES];
    if (!usable_ || crypto_pwhash_str(out, password.data(), password.size(), cost_.operations, cost_.memoryBytes) != 0)
        return std::nullopt;
    return std::string(out);
}

bool PasswordHasher::verify(const std::string& hash, std::string_view password)
{
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

bool PasswordHasher::isHash(const std::string& text)
{
    // needs_rehash answers -1 only for a string that is no valid hash at all.
    return text.size() < crypto_pwhash_STRBYTES
        && crypto_pwhash_str_needs_rehash(text.c_str(), crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN) != -1;
}

} // namespace qornc::server
