#include "presence/rules/ContactText.h"

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
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue; // the LF that follows writes the pair
        if (c == '\r' || c == '\n')
            result.append("\r\n");
        else
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

bool HasLine(std::string_view text, std::string_view line)
{
    std::size_t matched = 0; // characters of line matched so far in the current line of text
    bool matching = true;
    for (const char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n') {
            if (matching && matched == line.size())
                return true;
            matched = 0;
            matching = true;
        } else if (matching) {
            matching = matched < line.size() && line[matched] == c;
            ++matched;
        }
    }
    return false;
}

std::string FinishEditText(std::string_view controlText)
{
    if (!controlText.empty() && controlText.back() == '\n')
        return std::string(controlText);
    std::string result(controlText.substr(0, kEditReadBackLimit));
    result += "\r\n";
    return result;
}
