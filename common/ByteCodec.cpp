#include "common/ByteCodec.h"

namespace {

struct Sequence {
    char32_t character = 0;
    std::size_t length = 0; // 0: not a valid UTF-8 sequence
};

std::size_t ExpectedLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
Sequence ReadSequence(std::string_view bytes, std::size_t pos)
{
    const auto lead = static_cast<unsigned char>(bytes[pos]);
    const std::size_t length = ExpectedLength(lead);
    if (length == 0 || pos + length > bytes.size())
        return {};
    if (length == 1)
        return {lead, 1};
    char32_t value = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[pos + i]);
        if ((next & 0xC0) != 0x80)
            return {};
        value = (value << 6) | (next & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return {};
    return {value, length};
}

bool ShownAsBytes(char32_t character)
{
    return character == 0 || character == 0x2028 || character == 0x2029 || character == 0xFDD0 ||
           character == 0xFDD1 || (character >= kByteEscapeBase && character <= kByteEscapeBase + 0xFF);
}

bool IsEscape(char32_t character)
{
    return character == kByteEscapeBase || (character >= kByteEscapeBase + 0x80 && character <= kByteEscapeBase + 0xFF);
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

}  // namespace

std::u32string DecodeBytes(std::string_view bytes)
{
    std::u32string characters;
    characters.reserve(bytes.size());
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const Sequence sequence = ReadSequence(bytes, pos);
        if (sequence.length > 0 && !ShownAsBytes(sequence.character)) {
            characters.push_back(sequence.character);
            pos += sequence.length;
            continue;
        }
        const std::size_t length = sequence.length > 0 ? sequence.length : 1;
        for (std::size_t i = 0; i < length; ++i)
            characters.push_back(kByteEscapeBase + static_cast<unsigned char>(bytes[pos + i]));
        pos += length;
    }
    return characters;
}

std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t pos)
{
    return ReadSequence(bytes, pos).length;
}

std::string EncodeCharacters(std::u32string_view characters)
{
    std::string bytes;
    bytes.reserve(characters.size());
    for (const char32_t c : characters) {
        if (IsEscape(c))
            bytes.push_back(static_cast<char>(c - kByteEscapeBase));
        else
            AppendUtf8(bytes, c);
    }
    return bytes;
}
