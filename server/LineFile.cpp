#include "LineFile.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "AccountsFile.h"

namespace qornc::server {

bool readWholeFile(const std::string& path, std::string_view what, std::string& content, std::string& error)
{
    std::error_code ignored;
    std::ifstream in(path, std::ios::binary);
    if (!in || std::filesystem::is_directory(path, ignored)) {
        error = "cannot read " + std::string(what) + " " + path;
        return false;
    }
    std::ostringstream whole;
    whole << in.rdbuf();
    content = whole.str();
    return true;
}

bool loadLineFile(const std::string& path, std::string_view what,
                  const std::function<bool(std::string_view content, std::string& error)>& parse, std::string& error)
{
    std::string content;
    if (!readWholeFile(path, what, content, error))
        return false;
    if (parse(content, error))
        return true;
    error = path + ": " + error;
    return false;
}

bool loadAccountsFile(const std::string& path, AccountBook& book, std::string& error)
{
    return loadLineFile(
        path, "accounts file",
        [&book](std::string_view content, std::string& parseError) { return parseAccounts(content, book, parseError); },
        error);
}

} // namespace qornc::server
