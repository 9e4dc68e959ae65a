// The server's line-oriented files (accounts, state): blank lines and '#' comments are skipped,
// and the first line that does not fit is named by its number.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace qornc::server {

using LineParser = std::function<bool(std::string_view line, std::string& error)>;

bool parseLines(std::string_view content, const LineParser& parseLine, std::string& error);

} // namespace qornc::server
