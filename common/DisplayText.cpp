#include "common/DisplayText.h"

#include "common/ByteCodec.h"

namespace {

// Windows-1252 for 0x80..0x9F; 0xA0..0xFF are U+00A0..U+00FF. The five bytes it leaves undefined
// keep the C1 control of the same value, as Windows decodes them, and are neutralised with the
// other controls.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Only bytes from 0x80 on are ever invalid UTF-8 on their own.
void AppendWindows1252(std::string& out, unsigned char byte)
{
    const char16_t c = byte < 0xA0 ? kWindows1252High[byte - 0x80] : char16_t(byte);
    if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    }
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
}

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

std::string ShownText(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    std::size_t at = 0;
    while (at < bytes.size()) {
        if (const std::size_t length = Utf8SequenceLength(bytes, at); length > 0) {
            text.append(bytes.substr(at, length));
            at += length;
        } else {
            AppendWindows1252(text, static_cast<unsigned char>(bytes[at++]));
        }
    }
    return NeutraliseForDisplay(text);
}

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
