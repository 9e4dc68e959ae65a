#include "BlockFramer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using qornc::server::BlockFramer;
using Texts = std::vector<std::string>;

namespace {

std::string block(const std::string& text, std::size_t size)
{
    std::string bytes = text;
    bytes.resize(size, '\0');
    return bytes;
}

Texts frame(const std::vector<std::string>& chunks, std::size_t* dropped = nullptr)
{
    BlockFramer framer;
    Texts texts;
    for (const std::string& chunk : chunks)
        framer.feed(chunk, texts);
    if (dropped)
        *dropped = framer.droppedRuns();
    return texts;
}

} // namespace

// Mixed block sizes, and texts of 255 and 127 bytes that fill their blocks: the edges where fill is absent.
TEST(BlockFramer, MixedBlocksSurviveEverySplitPoint)
{
    const Texts texts = {"login alice pass word", "getbuddy alice pass word bob smith",
                         "message alice pass word bob " + std::string(227, 'x'),
                         "message alice pass word bob " + std::string(99, 'y'), "logout alice pass word"};
    const std::size_t sizes[] = {128, 256, 256, 128, 256};
    std::string stream;
    for (std::size_t i = 0; i < texts.size(); ++i)
        stream += block(texts[i], sizes[i]);

    for (std::size_t cut = 0; cut <= stream.size(); ++cut)
        ASSERT_EQ(frame({stream.substr(0, cut), stream.substr(cut)}), texts) << "split at byte " << cut;
    std::vector<std::string> everyByte;
    for (const char byte : stream)
        everyByte.emplace_back(1, byte);
    EXPECT_EQ(frame(everyByte), texts);
}

TEST(BlockFramer, GarbageIsDroppedAndFramingResyncs)
{
    const std::string valid = block("login bob pw", 128);
    struct Case {
        const char* name;
        std::vector<std::string> chunks;
        Texts texts;
        std::size_t dropped;
    };
    const std::vector<Case> cases = {
        {"longest text kept", {std::string(255, 'a') + '\0'}, {std::string(255, 'a')}, 0},
        {"one byte too long", {std::string(256, 'a') + '\0' + valid}, {"login bob pw"}, 1},
        {"text grows too long over reads", {std::string(250, 'a'), std::string(10, 'a') + '\0' + valid},
         {"login bob pw"}, 1},
        {"leading fill", {std::string(300, '\0') + valid}, {"login bob pw"}, 0},
        {"two runs of garbage", {std::string(300, 'g') + '\0' + std::string(300, 'h') + '\0' + valid},
         {"login bob pw"}, 2},
        {"unterminated text waits", {"login bob"}, {}, 0},
        {"text between NULs without fill", {std::string("a\0b\0", 4)}, {"a", "b"}, 0},
    };
    for (const Case& c : cases) {
        std::size_t dropped = 0;
        EXPECT_EQ(frame(c.chunks, &dropped), c.texts) << c.name;
        EXPECT_EQ(dropped, c.dropped) << c.name;
    }
}

TEST(BlockFramer, BufferStaysBoundedUnderEndlessGarbage)
{
    BlockFramer framer;
    Texts texts;
    for (int i = 0; i < 1000; ++i) {
        framer.feed(std::string(4096, 'z'), texts);
        ASSERT_LE(framer.buffered(), BlockFramer::kMaxText);
    }
    framer.feed('\0' + block("login bob pw", 128), texts);
    EXPECT_EQ(texts, Texts{"login bob pw"});
}
