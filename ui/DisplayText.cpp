#include "ui/DisplayText.h"

namespace {

// UTF-8 of U+202A..U+202E is E2 80 AA..AE; of U+2066..U+2069 it is E2 81 A6..A9.
bool IsBidiControl(std::string_view text, std::size_t at)
{
    if (at + 2 >= text.size() || static_cast<unsigned char>(text[at]) != 0xE2)
        return false;
    const auto second = static_cast<unsigned char>(text[at + 1]);
    const auto third = static_cast<unsigned char>(text[at + 2]);
    return (second == 0x80 && third >= 0xAA && third <= 0xAE) || (second == 0x81 && third >= 0xA6 && third <= 0xA9);
}

bool IsContinuationByte(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

}  // namespace

std::string NeutraliseForDisplay(std::string_view text)
{
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte < 0x20 || byte == 0x7F) {
            shown.push_back(' ');
        } else if (IsBidiControl(text, at)) {
            shown.push_back(' ');
            at += 2;
        } else {
            shown.push_back(text[at]);
        }
    }
    return shown;
}

std::string ShortenForDisplay(std::string_view text, std::size_t maxCharacters)
{
    std::size_t characters = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (IsContinuationByte(text[at]))
            continue;
        if (characters == maxCharacters)
            return std::string(text.substr(0, at)) + "\u2026";
        ++characters;
    }
    return std::string(text);
}
