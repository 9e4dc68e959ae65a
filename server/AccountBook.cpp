#include "AccountBook.h"

namespace qornc::server {

AccountBook::AccountBook(std::size_t capacity)
    : capacity_(capacity)
{
}

bool AccountBook::preset(std::string_view name, std::string_view password)
{
    if (passwords_.size() >= capacity_ || passwordOf(name))
        return false;
    passwords_.emplace(std::string(name), std::string(password));
    return true;
}

AccountBook::Login AccountBook::login(std::string_view name, std::string_view password)
{
    if (const std::string* known = passwordOf(name))
        return *known == password ? Login::Accepted : Login::WrongPassword;
    return preset(name, password) ? Login::Registered : Login::Full;
}

const std::string* AccountBook::passwordOf(std::string_view name) const
{
    const auto found = passwords_.find(name);
    return found == passwords_.end() ? nullptr : &found->second;
}

} // namespace qornc::server
