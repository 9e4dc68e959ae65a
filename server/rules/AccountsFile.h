#pragma once

#include <string>
#include <string_view>

namespace qornc::server {

class AccountBook;

// Accounts file: one "name password" per line, the password being the rest of
// the line exactly as a client would send it. Blank lines and lines starting
// with '#' are skipped. Any other line that does not fit is an error, because
// a silently skipped account would surface much later as a puzzling
// "wrong password".
bool parseAccounts(std::string_view content, AccountBook& book, std::string& error);

} // namespace qornc::server
