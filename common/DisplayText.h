// Texts from the network made safe and readable in front of the user: bytes that are not UTF-8
// read as Windows-1252, characters that would move the caret, break lines or reorder what
// follows become spaces, and a long text is cut short.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// A peer's bytes as the window shows them, in UTF-8: every valid UTF-8 sequence as its
// character, every other byte as its Windows-1252 character, so a peer writing in that
// single-byte code page reads as written; then NeutraliseForDisplay. Each invalid sequence is
// decided on its own, so a UTF-8 text cut inside its last character keeps the rest readable.
// For showing only: what is sent and saved stays the bytes themselves.
[[nodiscard]] std::string ShownText(std::string_view bytes);

// C0 controls (CR and LF among them), DEL, the C1 controls (U+0080..U+009F, NEL among them),
// the line and paragraph separators (U+2028, U+2029: a text control breaks the line there) and
// the bidi embeddings, overrides and isolates (U+202A..U+202E, U+2066..U+2069) each become one
// space, so a sender's text can never show as lines of its own or as someone else's. Other bytes
// stay as they are.
[[nodiscard]] std::string NeutraliseForDisplay(std::string_view text);

// The first maxCharacters UTF-8 characters, with "…" after them when the text was longer. A
// character is never split.
[[nodiscard]] std::string ShortenForDisplay(std::string_view text, std::size_t maxCharacters);
