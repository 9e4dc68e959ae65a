// Names and texts are bytes; a window shows characters. Decoding takes valid UTF-8 as its
// characters and shows every other byte as a private character of its own (U+F700 + byte), so
// encoding what was shown gives back the very bytes it came from, whatever they were.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The private characters that stand for single bytes: U+F700 + byte.
inline constexpr char32_t kByteEscapeBase = 0xF700;

// Valid UTF-8 becomes its characters, except the few that a text control would not give back
// as they came (NUL, the line and paragraph separators, the control's own block markers) and
// the escape range itself: their bytes are escaped one by one.
[[nodiscard]] std::u32string DecodeBytes(std::string_view bytes);
// The inverse of DecodeBytes: escapes become their byte, every other character its UTF-8.
[[nodiscard]] std::string EncodeCharacters(std::u32string_view characters);
// The length of the valid UTF-8 sequence that starts at pos, 0 when none does: overlong forms,
// surrogates and values past U+10FFFF are not UTF-8.
[[nodiscard]] std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t pos);
