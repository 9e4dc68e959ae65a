#include "common/DisplayText.h"

#include <string>

#include <gtest/gtest.h>

namespace {

// Valid UTF-8 reads as UTF-8 and every other byte as Windows-1252; nothing a peer sends can
// break a line, move the caret or turn what follows around.
TEST(DisplayText, PeersReadAsWrittenAndCannotForgeLines)
{
    const std::pair<std::string, std::string> rows[] = {
        {"caf\xe9 cr\xe8me", "café crème"},
        {"na\xc3\xafve \xe9t\xc3\xa9", "naïve été"}, // each invalid byte decided on its own
        {"\x80\x85\x99\x9f", "€…™Ÿ"},
        {"a\x81\x8d\x8f\x90\x9d" "b", "a     b"}, // the code page's holes are C1 controls
        {"cut \xe2\x82", "cut â‚"},
        {"\xc0\xaf \xed\xa0\x80", "À¯ í\xc2\xa0€"}, // an overlong form, a surrogate
        {"hi\r\n\x0b\x1c\x7f" "ben: x", "hi     ben: x"},
        {"a\xc2\x85\xe2\x80\xa8\xe2\x80\xa9" "b", "a   b"}, // NEL, line and paragraph separators
        {"\xe2\x80\xae:neb \xe2\x81\xa6x\xe2\x81\xa9", " :neb  x "}, // bidi override, isolates
    };
    for (const auto& [bytes, shown] : rows) {
        SCOPED_TRACE(shown);
        EXPECT_EQ(ShownText(bytes), shown);
    }
}

}  // namespace
