#include "AccountsFile.h"

#include "AccountBook.h"
#include "RequestText.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace qornc::server {

namespace {

std::string_view withoutCarriageReturn(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

bool parseLine(std::string_view line, AccountBook& book, std::string& error)
{
    const WordSplit split = splitFirstWord(line);
    if (split.word.empty() || split.rest.empty()) {
        error = "expected \"name password\"";
        return false;
    }
    if (split.word.find('\0') != std::string_view::npos
        || split.rest.find('\0') != std::string_view::npos) {
        error = "NUL byte in line";
        return false;
    }
    if (!book.preset(split.word, split.rest)) {
        error = book.contains(split.word) ? "duplicate name" : "too many accounts";
        return false;
    }
    return true;
}

} // namespace

bool parseAccounts(std::string_view content, AccountBook& book, std::string& error)
{
    int lineNumber = 0;
    while (!content.empty()) {
        const auto end = content.find('\n');
        const std::string_view line = withoutCarriageReturn(content.substr(0, end));
        content = end == std::string_view::npos ? std::string_view{} : content.substr(end + 1);
        ++lineNumber;
        if (line.empty() || line.front() == '#')
            continue;
        if (!parseLine(line, book, error)) {
            error = "line " + std::to_string(lineNumber) + ": " + error;
            return false;
        }
    }
    return true;
}

bool loadAccountsFile(const std::string& path, AccountBook& book, std::string& error)
{
    std::error_code ignored;
    std::ifstream in(path, std::ios::binary);
    if (!in || std::filesystem::is_directory(path, ignored)) {
        error = "cannot read accounts file " + path;
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (parseAccounts(content.str(), book, error))
        return true;
    error = path + ": " + error;
    return false;
}

} // namespace qornc::server
