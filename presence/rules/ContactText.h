// Rules for the contact-list text: lines are runs of characters ended by LF, CRs are dropped
// before lines are used, and characters after the last LF are not a line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Largest contact-list text, CR LF line ends included, that fits its buffer with the terminator.
inline constexpr std::size_t kContactListMaxLength = 4095;
// How much of the control's text finishing an edit reads back.
inline constexpr std::size_t kEditReadBackLimit = 6999;

[[nodiscard]] std::string DropCarriageReturns(std::string_view text);
// Every line end becomes CR LF: CR LF, LF and a lone CR each end a line.
[[nodiscard]] std::string ToCrLf(std::string_view text);
// The LF-ended lines of text, CRs dropped; an unended tail is not a line.
[[nodiscard]] std::vector<std::string> SplitLines(std::string_view text);
// Whether line is one of SplitLines(text), without building them.
[[nodiscard]] bool HasLine(std::string_view text, std::string_view line);
// The control text after finishing an edit: unchanged when it ends with LF, otherwise its first
// kEditReadBackLimit characters followed by CR LF (an empty text becomes a single CR LF).
[[nodiscard]] std::string FinishEditText(std::string_view controlText);

// The editor refuses text beyond this, keeping room for the CR LF that finishing an edit may
// append, so the whole list always fits the buffer it is saved from.
inline constexpr std::size_t kContactEditLimit = kContactListMaxLength - 2;
