#include "DeliveryText.h"

#include <string>

#include <gtest/gtest.h>

namespace {

// A delivery the generator miscounts skews every throughput and latency figure without a sound,
// so it is read here as the server writes it and as a client would see it.
TEST(DeliveryText, TellsWhichMessageOrAnswerArrived)
{
    struct Row {
        const char* name;
        std::string text;
        DeliveryKind kind;
        std::string who;
        bool online;
        bool ours;
        std::uint32_t run, sequence;
    };
    const Row rows[] = {
        {"tagged message", "message u00007 " + SequencedText(3, 1234, 40), DeliveryKind::Message, "u00007", false, true, 3, 1234},
        {"bare tag", "message u00007 r12s0", DeliveryKind::Message, "u00007", false, true, 12, 0},
        {"tag glued to more", "message u00007 r1s2x", DeliveryKind::Message, "u00007", false, false, 0, 0},
        {"no sequence", "message u00007 r1 s2", DeliveryKind::Message, "u00007", false, false, 0, 0},
        {"someone else's text", "message bot hello", DeliveryKind::Message, "bot", false, false, 0, 0},
        {"keyword inside the first word", "getbuddymessage u1 r2s3", DeliveryKind::Message, "u1", false, true, 2, 3},
        {"online answer", "getbuddy true u00001", DeliveryKind::GetBuddy, "u00001", true, false, 0, 0},
        {"offline answer", "getbuddy false u02000", DeliveryKind::GetBuddy, "u02000", false, false, 0, 0},
        {"status in capitals", "getbuddy TRUE u1", DeliveryKind::GetBuddy, "u1", false, false, 0, 0},
        {"no keyword", "hello u1 r1s1", DeliveryKind::Other, "", false, false, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Delivery delivery = ReadDelivery(row.text);
        EXPECT_EQ(delivery.kind, row.kind);
        EXPECT_EQ(delivery.name, row.who);
        EXPECT_EQ(delivery.online, row.online);
        EXPECT_EQ(delivery.run.has_value(), row.ours);
        if (row.ours) {
            EXPECT_EQ(*delivery.run, row.run);
            EXPECT_EQ(delivery.sequence, row.sequence);
        }
    }
}

TEST(DeliveryText, PadsToTheAskedLengthAndNoFurther)
{
    EXPECT_EQ(SequencedText(1, 2), "r1s2");
    EXPECT_EQ(SequencedText(1, 2, 10), "r1s2 xxxxx");
    EXPECT_EQ(SequencedText(123, 45678, 3), "r123s45678");
}

}  // namespace
