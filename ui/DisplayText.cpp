#include "ui/DisplayText.h"

namespace {

// How many bytes at `at` are one character that moves or breaks what follows, 0 when none:
// UTF-8 of U+0080..U+009F is C2 80..9F; of U+2028..U+202E it is E2 80 A8..AE; of U+2066..U+2069
// it is E2 81 A6..A9.
std::size_t FormattingCharacterAt(std::string_view text, std::size_t at)
{
    const auto first = static_cast<unsigned char>(text[at]);
    if (first == 0xC2 && at + 1 < text.size())
        return static_cast<unsigned char>(text[at + 1]) >= 0x80 && static_cast<unsigned char>(text[at + 1]) <= 0x9F ? 2 : 0;
    if (first != 0xE2 || at + 2 >= text.size())
        return 0;
    const auto second = static_cast<unsigned char>(text[at + 1]);
    const auto third = static_cast<unsigned char>(text[at + 2]);
    const bool formatting =
        (second == 0x80 && third >= 0xA8 && third <= 0xAE) || (second == 0x81 && third >= 0xA6 && third <= 0xA9);
    return formatting ? 3 : 0;
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
        } else if (const std::size_t length = FormattingCharacterAt(text, at); length > 0) {
            shown.push_back(' ');
            at += length - 1;
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
