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

bool AccountBook::restore(std::string_view name, std::string hash)
{
    return add(name, Account{std::move(hash), true});
}

bool AccountBook::registerName(std::string_view name, std::string_view password)
{
    if (full() || contains(name))
        return false;
    auto hash = hasher_.hash(password);
    return hash && add(name, Account{std::move(*hash), true});
}

bool AccountBook::matches(std::string_view name, std::string_view password) const
{
    const auto found = accounts_.find(name);
    if (found == accounts_.end())
        return false;
    const Account& account = found->second;
    if (account.hashed)
        return PasswordHasher::verify(account.secret, password);
    return account.secret.size() == password.size()
        && sodium_memcmp(account.secret.data(), password.data(), password.size()) == 0;
}

bool AccountBook::isSlowToCheck(std::string_view name) const
{
    const auto found = accounts_.find(name);
    return found != accounts_.end() && found->second.hashed;
}

std::vector<std::pair<std::string, std::string>> AccountBook::registered() const
{
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& [name, account] : accounts_)
        if (account.hashed)
            out.emplace_back(name, account.secret);
    return out;
}

} // namespace qornc::server
