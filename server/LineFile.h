// The server's line-oriented files (accounts, state): blank lines and '#' comments are skipped,
// and the first line that does not fit is named by its number.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace qornc::server {

using LineParser = std::function<bool(std::string_view line, std::string& error)>;

bool parseLines(std::string_view content, const LineParser& parseLine, std::string& error);

// The whole file into `content`; false with "cannot read WHAT PATH" when it cannot be opened or
// is a folder.
bool readWholeFile(const std::string& path, std::string_view what, std::string& content, std::string& error);

// Reads the whole file, then parses it; a parse error is prefixed with the path.
bool loadLineFile(const std::string& path, std::string_view what,
                  const std::function<bool(std::string_view content, std::string& error)>& parse, std::string& error);

} // namespace qornc::server
