#include "LineParsing.h"

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

} // namespace qornc::server
