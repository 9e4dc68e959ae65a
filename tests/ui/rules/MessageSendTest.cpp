#include "ui/rules/MessageSend.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/RequestBlock.h"
#include "net/rules/ErrorNames.h"
#include "net/rules/LinkState.h"
#include "support/RecordingSender.h"

namespace {

// One failed or oversized recipient neither stops the others nor keeps the line from the view.
TEST(MessageSend, FailuresAreReportedAndTheOthersStillSent)
{
    LinkState state;
    state.g_userId.assign("me");
    state.g_password.assign("pw");
    RecordingSender sender;
    sender.FailCall(2, wsa::kConnReset);
    const std::string tooLong(250, 'n');
    const SendOutcome outcome = SendChatMessage(state, {"ann", tooLong, "bob", "cy"}, true, "hi", "old\r\n", sender);
    EXPECT_EQ(sender.blocks, (std::vector<std::string>{*MessageBlock("me", "pw", "ann", "hi"),
                                                       *MessageBlock("me", "pw", "bob", "hi"),
                                                       *MessageBlock("me", "pw", "cy", "hi")}));
    EXPECT_EQ(outcome.failures, 2);
    EXPECT_EQ(outcome.statusText, kSendFailedText);
    EXPECT_EQ(outcome.newConversation, "old\r\nme: hi\r\n\r\n");
}

}  // namespace
