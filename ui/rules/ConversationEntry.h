// The conversation entry rule: "name: text" and two CR LF, behind the old view text while that
// is shorter than kConversationKeepLimit bytes, alone otherwise.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr std::size_t kConversationKeepLimit = 3000;

[[nodiscard]] std::string ComposeConversation(std::string_view oldText, std::string_view name,
                                              std::string_view text);
// "name: text" and its two CR LF.
[[nodiscard]] std::string ConversationEntry(std::string_view name, std::string_view text);
// Entries that arrived together go behind the view as one: it starts over at most once, before
// them, so none of them is replaced before it was ever on screen.
[[nodiscard]] std::string AppendToConversation(std::string_view oldText, std::string_view entries);
