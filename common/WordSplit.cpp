#include "common/WordSplit.h"

WordSplit SplitFirstWord(std::string_view text)
{
    const auto space = text.find(' ');
    if (space == std::string_view::npos)
        return {text, {}, false};
    return {text.substr(0, space), text.substr(space + 1), true};
}
