#include "LineFile.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace qornc::server {

bool parseLines(std::string_view content, const LineParser& parseLine, std::string& error)
{
    int lineNumber = 0;
    while (!content.empty()) {
        const auto end = content.find('\n');
        const std::string_view line = content.substr(0, end);
        content = end == std::string_view::npos ? std::string_view{} : content.substr(end + 1);
        ++lineNumber;
        if (line.empty() || line.front() == '#')
            continue;
        if (!parseLine(line, error)) {
            error = "line " + std::to_string(lineNumber) + ": " + error;
            return false;
        }
    }
    return true;
}

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

} // namespace qornc::server
