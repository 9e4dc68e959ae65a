// Hostile bytes on a delivery connection: framing, parsing and their effect on the client state.
#include "FuzzInput.h"

#include "app/rules/ClientState.h"
#include "common/NotificationFramer.h"
#include "common/NotificationParser.h"
#include "common/Protocol.h"
#include "presence/rules/ContactText.h"
#include "presence/rules/NotificationHandler.h"

namespace {

void CheckParsed(const Notification& parsed)
{
    FUZZ_CHECK(parsed.senderName.size() < kSenderNameCapacity);
    FUZZ_CHECK(parsed.messageText.size() < kMessageTextCapacityIn);
    FUZZ_CHECK(parsed.buddyName.size() < kBuddyNameCapacity);
    FUZZ_CHECK(parsed.senderName.find('\0') == std::string::npos);
}

void CheckState(const ClientState& state)
{
    FUZZ_CHECK(state.g_presence.onlineCount() <= PresenceTable::kSize);
    FUZZ_CHECK(state.g_messages.size() <= Mailbox::kCapacity);
    FUZZ_CHECK(state.g_messageArrived == 0 || state.g_messageArrived == 1);
    if (state.g_onlineRebuildDue == 1)
        FUZZ_CHECK(SplitLines(state.g_onlineText).size() == state.g_presence.onlineCount());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static ClientState state; // kept across inputs: damage must not build up either
    NotificationFramer framer;
    FeedInChunks(data, size, [&](std::string_view chunk) {
        for (const std::string& text : framer.Feed(chunk)) {
            FUZZ_CHECK(!text.empty() && text.size() < kNotifyReadSize);
            FUZZ_CHECK(text.find('\0') == std::string::npos);
            CheckParsed(ParseNotification(text));
            HandleNotification(state, state, ParseNotification(text));
            CheckState(state);
        }
        FUZZ_CHECK(framer.pending() < kNotifyReadSize);
    });
    if (state.g_messages.size() > 64)
        (void)state.g_messages.TakeAll();
    return 0;
}
