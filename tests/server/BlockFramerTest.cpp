#include "BlockFramer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using qornc::server::BlockFramer;

namespace {

std::string block(const std::string& text, std::size_t size)
{
    std::string bytes = text;
    bytes.resize(size, '\0');
    return bytes;
}

std::vector<std::string> frameInPieces(const std::string& stream, const std::vector<std::size_t>& cuts)
{
    BlockFramer framer;
    std::vector<std::string> texts;
    std::size_t from = 0;
    for (const std::size_t cut : cuts) {
        framer.feed(std::string_view(stream).substr(from, cut - from), texts);
        from = cut;
    }
    framer.feed(std::string_view(stream).substr(from), texts);
    return texts;
}

// Mixed block sizes, a 255-byte text filling a 256 block, and a 127-byte text
// filling a 128 block: the edges where fill is absent.
const std::vector<std::pair<std::string, std::size_t>> kMixedBlocks = {
    {"login alice pass word", 128},
    {"getbuddy alice pass word bob smith", 256},
    {std::string("message alice pass word bob ") + std::string(227, 'x'), 256},
    {std::string("message alice pass word bob ") + std::string(99, 'y'), 128},
    {"message alice pass word bob", 128},
    {"logout alice pass word", 256},
};

std::string mixedStream()
{
    std::string stream;
    for (const auto& [text, size] : kMixedBlocks)
        stream += block(text, size);
    return stream;
}

std::vector<std::string> mixedTexts()
{
    std::vector<std::string> texts;
    for (const auto& entry : kMixedBlocks)
        texts.push_back(entry.first);
    return texts;
}

} // namespace

TEST(BlockFramer, MixedBlocksSurviveEverySplitPoint)
{
    const std::string stream = mixedStream();
    ASSERT_EQ(kMixedBlocks[2].first.size(), 255u);
    ASSERT_EQ(kMixedBlocks[3].first.size(), 127u);

    EXPECT_EQ(frameInPieces(stream, {}), mixedTexts());
    for (std::size_t cut = 0; cut <= stream.size(); ++cut)
        ASSERT_EQ(frameInPieces(stream, {cut}), mixedTexts()) << "split at byte " << cut;

    std::vector<std::size_t> everyByte;
    for (std::size_t cut = 1; cut < stream.size(); ++cut)
        everyByte.push_back(cut);
    EXPECT_EQ(frameInPieces(stream, everyByte), mixedTexts());
}

TEST(BlockFramer, ManyBlocksInOneRead)
{
    std::string stream;
    std::vector<std::string> expected;
    for (int i = 0; i < 1000; ++i) {
        expected.push_back("getbuddy alice pw contact" + std::to_string(i));
        stream += block(expected.back(), i % 3 == 0 ? 256 : 128);
    }
    BlockFramer framer;
    std::vector<std::string> texts;
    framer.feed(stream, texts);
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(framer.buffered(), 0u);
}

TEST(BlockFramer, GarbageIsDroppedAndFramingResyncs)
{
    const std::string valid = block("login bob pw", 128);
    struct Case {
        const char* name;
        std::vector<std::string> chunks;
        std::vector<std::string> texts;
        std::size_t dropped;
    };
    const std::vector<Case> cases = {
        {"longest text kept", {std::string(255, 'a') + '\0'}, {std::string(255, 'a')}, 0},
        {"one byte too long", {std::string(256, 'a') + '\0' + valid}, {"login bob pw"}, 1},
        {"long run then block", {std::string(1000, 'g') + '\0' + valid}, {"login bob pw"}, 1},
        {"long run over reads", {std::string(200, 'g'), std::string(200, 'g'), std::string(1, '\0') + valid},
         {"login bob pw"}, 1},
        {"text grows too long over reads", {std::string(250, 'a'), std::string(10, 'a') + '\0' + valid},
         {"login bob pw"}, 1},
        {"leading fill", {std::string(300, '\0') + valid}, {"login bob pw"}, 0},
        {"two runs of garbage", {std::string(300, 'g') + '\0' + std::string(300, 'h') + '\0' + valid},
         {"login bob pw"}, 2},
        {"unterminated text waits", {"login bob"}, {}, 0},
        {"text between NULs without fill", {std::string("a\0b\0", 4)}, {"a", "b"}, 0},
    };
    for (const Case& c : cases) {
        BlockFramer framer;
        std::vector<std::string> texts;
        for (const std::string& chunk : c.chunks)
            framer.feed(chunk, texts);
        EXPECT_EQ(texts, c.texts) << c.name;
        EXPECT_EQ(framer.droppedRuns(), c.dropped) << c.name;
    }
}

TEST(BlockFramer, BufferStaysBoundedUnderEndlessGarbage)
{
    BlockFramer framer;
    std::vector<std::string> texts;
    for (int i = 0; i < 1000; ++i) {
        framer.feed(std::string(4096, 'z'), texts);
        ASSERT_LE(framer.buffered(), BlockFramer::kMaxText);
    }
    framer.feed(std::string(1, '\0') + block("login bob pw", 128), texts);
    EXPECT_EQ(texts, std::vector<std::string>{"login bob pw"});
}
