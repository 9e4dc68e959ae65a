// Word splitting shared by every text on the wire: words are separated by exactly one space and the
// last field runs to the end, so nothing trims or collapses spaces and a password or a message
// keeps every byte it had.
#pragma once

#include <string_view>

struct WordSplit {
    std::string_view word;
    std::string_view rest;  // after the separating space
    bool separated = false; // false when the text had no space at all
};

// The text up to its first space, and what follows that space.
[[nodiscard]] WordSplit SplitFirstWord(std::string_view text);
