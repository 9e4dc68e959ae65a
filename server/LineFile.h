// Reading the server's line-oriented files (accounts, state) from disk; what their lines mean is
// parsed in rules/.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace qornc::server {

class AccountBook;

// The whole file into `content`; false with "cannot read WHAT PATH" when it cannot be opened or
// is a folder.
bool readWholeFile(const std::string& path, std::string_view what, std::string& content, std::string& error);

// Reads the whole file, then parses it; a parse error is prefixed with the path.
bool loadLineFile(const std::string& path, std::string_view what,
                  const std::function<bool(std::string_view content, std::string& error)>& parse, std::string& error);

// The accounts file at `path` into `book`; a bad line is named with the path.
bool loadAccountsFile(const std::string& path, AccountBook& book, std::string& error);

} // namespace qornc::server
