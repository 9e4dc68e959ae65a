#include "AccountsFile.h"

#include "AccountBook.h"
#include "LineParsing.h"
#include "common/WordSplit.h"

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
    const WordSplit split = SplitFirstWord(line);
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
    return parseLines(
        content,
        [&book](std::string_view line, std::string& lineError) {
            return parseLine(withoutCarriageReturn(line), book, lineError);
        },
        error);
}

} // namespace qornc::server
