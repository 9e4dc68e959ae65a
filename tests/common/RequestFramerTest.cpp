#include "common/RequestFramer.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/Protocol.h"

namespace {

using namespace std::string_literals;

struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> texts;
    std::size_t dropped;
};

// Feeds bytes in pieces of chunk bytes, as reads may split them anywhere.
std::vector<std::string> FeedInPieces(RequestFramer& framer, const std::string& bytes, std::size_t chunk)
{
    std::vector<std::string> texts;
    for (std::size_t at = 0; at < bytes.size(); at += chunk)
        framer.Feed(std::string_view(bytes).substr(at, chunk), texts);
    return texts;
}

}  // namespace

TEST(RequestFramer, RecoversEveryBlockTextWhereverTheReadsSplitIt)
{
    const std::string longest(kMaxRequestText, 'a');
    const std::string tooLong(kMaxRequestText + 1, 'b');
    const Case cases[] = {
        {"blocks of different sizes", "login a b"s + std::string(119, '\0') + "logout a b" + std::string(118, '\0'),
         {"login a b", "logout a b"}, 0},
        {"fill alone yields nothing", std::string(300, '\0'), {}, 0},
        {"text without its NUL waits", "message a b c hi", {}, 0},
        {"the longest text passes", longest + '\0', {longest}, 0},
        {"an over-long run is dropped up to its NUL", tooLong + '\0' + "getbuddy a b c" + '\0',
         {"getbuddy a b c"}, 1},
        {"spaces and high bytes kept", "message a b c  x\xff "s + '\0', {"message a b c  x\xff "}, 0},
    };
    for (const Case& c : cases) {
        for (const std::size_t chunk : {std::size_t(1), std::size_t(7), c.bytes.size() + 1}) {
            RequestFramer framer;
            EXPECT_EQ(FeedInPieces(framer, c.bytes, chunk), c.texts) << c.name << ", pieces of " << chunk;
            EXPECT_EQ(framer.droppedRuns(), c.dropped) << c.name;
            EXPECT_LE(framer.buffered(), kMaxRequestText) << c.name;
        }
    }
}
