#include "ui/MessageSend.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/RecordingSender.h"
#include "app/ClientState.h"
#include "net/ErrorNames.h"
#include "net/RequestBlock.h"

namespace {

class MessageSendTest : public ::testing::Test {
protected:
    MessageSendTest()
    {
        state.g_userId.assign("me");
        state.g_password.assign("pw");
    }

    static std::string Block(const std::string& recipient, const std::string& text)
    {
        return MessageBlock("me", "pw", recipient, text).value();
    }

    ClientState state;
    RecordingSender sender;
};

TEST_F(MessageSendTest, SendsOneBlockPerRecipientInOrderAndOneEntry)
{
    const SendOutcome outcome = SendChatMessage(state, {"ann", "bob", "cy"}, "hello all", "old\r\n", sender);
    EXPECT_EQ(sender.blocks, (std::vector<std::string>{Block("ann", "hello all"), Block("bob", "hello all"),
                                                       Block("cy", "hello all")}));
    EXPECT_FALSE(outcome.refused);
    EXPECT_EQ(outcome.failures, 0);
    EXPECT_EQ(outcome.statusText, "");
    EXPECT_EQ(outcome.newConversation, "old\r\nme: hello all\r\n\r\n");
}

TEST_F(MessageSendTest, AFailedRecipientDoesNotStopTheOthers)
{
    sender.FailCall(2, wsa::kConnReset);
    const SendOutcome outcome = SendChatMessage(state, {"ann", "bob", "cy"}, "hi", "", sender);
    EXPECT_EQ(sender.blocks.size(), 3u);
    EXPECT_EQ(sender.blocks.back(), Block("cy", "hi"));
    EXPECT_EQ(outcome.failures, 1);
    EXPECT_EQ(outcome.statusText, kSendFailedText);
    EXPECT_EQ(outcome.newConversation, "me: hi\r\n\r\n");
}

TEST_F(MessageSendTest, RequestTooLongCountsAsAFailureWithoutSending)
{
    const std::string longName(250, 'n');
    const SendOutcome outcome = SendChatMessage(state, {longName, "bob"}, "hi", "", sender);
    EXPECT_EQ(sender.blocks, std::vector<std::string>{Block("bob", "hi")});
    EXPECT_EQ(outcome.failures, 1);
    EXPECT_EQ(outcome.statusText, kSendFailedText);
    EXPECT_FALSE(outcome.refused);
}

TEST_F(MessageSendTest, RefusedWhileAQueryIsPendingOrNobodyIsSelected)
{
    struct Row {
        const char* label;
        int queryPending;
        std::vector<std::string> recipients;
    };
    const Row rows[] = {{"query pending", 1, {"ann"}}, {"no recipient", 0, {}}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        state.g_queryPending = row.queryPending;
        const SendOutcome outcome = SendChatMessage(state, row.recipients, "hi", "old", sender);
        EXPECT_TRUE(outcome.refused);
        EXPECT_TRUE(sender.blocks.empty());
        EXPECT_EQ(outcome.newConversation, "");
        EXPECT_EQ(outcome.statusText, "");
    }
}

}  // namespace
