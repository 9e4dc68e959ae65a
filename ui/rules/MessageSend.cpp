#include "ui/rules/MessageSend.h"

#include <optional>

#include "common/DisplayText.h"
#include "common/RequestBlock.h"
#include "net/rules/LinkState.h"
#include "net/rules/RequestSender.h"
#include "ui/rules/ConversationEntry.h"

namespace {

bool SendOne(const LinkState& state, const std::string& recipient, std::string_view text, RequestSender& sender)
{
    const std::optional<std::string> block =
        MessageBlock(state.g_userId.view(), state.g_password.view(), recipient, text);
    return block && !sender.Send(*block).failed();
}

// A line that goes nowhere is told, and kept for the user to send once there is someone to
// send it to.
std::string_view RefusalText(const LinkState& state, const std::vector<std::string>& recipients, bool anyoneOnline)
{
    // While a presence refresh awaits its answers the request link is busy with it.
    if (state.g_queryPending == 1)
        return kAwaitingPresenceText;
    if (!recipients.empty())
        return {};
    if (anyoneOnline)
        return kNobodySelectedText;
    return state.g_link.g_connected == 1 ? kNobodyOnlineText : kNotConnectedText;
}

}  // namespace

SendOutcome SendChatMessage(LinkState& state, const std::vector<std::string>& recipients, bool anyoneOnline,
                            std::string_view text, std::string_view conversation, RequestSender& sender)
{
    SendOutcome outcome;
    outcome.statusText = RefusalText(state, recipients, anyoneOnline);
    if (!outcome.statusText.empty()) {
        outcome.refused = true;
        return outcome;
    }
    // One failed recipient must not keep the line from the others.
    for (const std::string& recipient : recipients) {
        if (SendOne(state, recipient, text, sender))
            continue;
        ++outcome.failures;
        outcome.statusText = kSendFailedText;
    }
    outcome.newConversation = ComposeConversation(conversation, ShownText(state.g_userId.view()), ShownText(text));
    return outcome;
}
