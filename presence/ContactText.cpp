#include "presence/ContactText.h"

std::string DropCarriageReturns(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        if (c != '\r')
            result.push_back(c);
    }
    return result;
}

std::string ToCrLf(std::string_view text)
{
    std::string result;
    result.reserve(text.size() + text.size() / 8);
    for (const char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n')
            result.push_back('\r');
        result.push_back(c);
    }
    return result;
}

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::string line;
    for (const char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n') {
            lines.push_back(std::move(line));
            line.clear();
            continue;
        }
        line.push_back(c);
    }
    return lines;
}

std::string FinishEditText(std::string_view controlText)
{
    if (!controlText.empty() && controlText.back() == '\n')
        return std::string(controlText);
    std::string result(controlText.substr(0, kEditReadBackLimit));
    result += "\r\n";
    return result;
}
