#include "HeldMessages.h"
#include "../RecordingHeldLog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qornc::server;
using namespace qornc::server::test;

namespace {

struct Step {
    enum Kind { Hold, Take, Wait, Restart } kind;
    std::string recipient;
    std::string text;     // Hold: the message; Take: what comes out, joined by '|'
    std::string expected; // Hold: why refused, empty when held; Take and Wait: what a restart brings back
};

std::string joined(const std::vector<HeldMessage>& messages)
{
    std::string all;
    for (const HeldMessage& message : messages)
        all += (all.empty() ? "" : "|") + message.notification;
    return all;
}

std::string kept(const RecordingHeldLog& log)
{
    std::vector<HeldMessage> messages;
    for (const auto& [id, message] : log.kept)
        messages.push_back(message);
    return joined(messages);
}

} // namespace

// Two per recipient, three in all, kept for a day (a Wait is half of it); a restart brings back exactly what was not
// delivered or expired, in order, and what is held after it comes behind.
TEST(HeldMessages, BoundedPerRecipientAndInAllKeptInOrderUntilTakenOrExpired)
{
    const std::vector<std::pair<const char*, std::vector<Step>>> scenarios = {
        {"in order, bounded per recipient and in all",
         {{Step::Hold, "bob", "a1", ""},
          {Step::Hold, "carol", "c1", ""},
          {Step::Hold, "bob", "a2", ""},
          {Step::Hold, "bob", "a3", "2 messages held for bob"},
          {Step::Hold, "dave", "d1", "3 messages held in all"},
          {Step::Take, "bob", "a1|a2", "c1"},
          {Step::Hold, "dave", "d1", ""},
          {Step::Take, "nobody", "", "c1|d1"}}},
        {"expire after the time, each on its own clock",
         {{Step::Hold, "bob", "old", ""},
          {Step::Wait, "", "", "old"},
          {Step::Hold, "bob", "new", ""},
          {Step::Wait, "", "", "new"},
          {Step::Take, "bob", "new", ""}}},
        {"a restart brings back what was held, and later ones come behind",
         {{Step::Hold, "bob", "b1", ""},
          {Step::Hold, "bob", "b2", ""},
          {Step::Restart, "", "", "b1|b2"},
          {Step::Hold, "bob", "b3", "2 messages held for bob"},
          {Step::Take, "bob", "b1|b2", ""},
          {Step::Hold, "bob", "b3", ""},
          {Step::Take, "bob", "b3", ""}}},
    };
    for (const auto& [name, steps] : scenarios) {
        RecordingHeldLog log;
        std::int64_t now = 1'000'000;
        const HoldLimits limits{.perRecipient = 2, .total = 3, .keep = std::chrono::hours(24)};
        auto held = std::make_unique<HeldMessages>(limits, log, [&] { return now; });
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const Step& step = steps[i];
            const std::string where = std::string(name) + ", step " + std::to_string(i + 1);
            switch (step.kind) {
            case Step::Hold:
                EXPECT_EQ(held->hold(step.recipient, step.text).value_or(""), step.expected) << where;
                continue;
            case Step::Take: {
                const auto taken = held->takeFor(step.recipient);
                EXPECT_EQ(joined(taken), step.text) << where;
                for (const HeldMessage& message : taken)
                    held->released(message.id);
                break;
            }
            case Step::Wait:
                now += 12 * 3600;
                held->expire();
                break;
            case Step::Restart: {
                std::vector<HeldMessage> recovered;
                for (const auto& [id, message] : log.kept)
                    recovered.push_back(message);
                held = std::make_unique<HeldMessages>(limits, log, [&] { return now; });
                held->restore(std::move(recovered));
                break;
            }
            }
            EXPECT_EQ(kept(log), step.expected) << where;
        }
    }
}
