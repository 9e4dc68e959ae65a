#include "presence/rules/PresenceRefresh.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "common/RequestBlock.h"
#include "net/rules/ConnectionState.h"
#include "net/rules/LinkState.h"
#include "net/rules/RequestSender.h"
#include "presence/rules/ContactText.h"
#include "presence/rules/PresenceState.h"

namespace {

std::vector<std::string> FirstLines(const std::vector<std::string>& lines, std::size_t count)
{
    const auto end = lines.begin() + static_cast<std::ptrdiff_t>(std::min(count, lines.size()));
    return {lines.begin(), end};
}

std::optional<std::string> RequestFor(const LinkState& state, const std::string& contact)
{
    return GetBuddyBlock(state.g_userId.view(), state.g_password.view(), contact);
}

// Sends one block; a block that went out means an answer is on its way. The first failure is
// reported: a link that stopped taking requests must not fail in silence.
void SendCounted(LinkState& state, RequestSender& sender, const std::string& block, RefreshOutcome& outcome)
{
    if (const SendResult result = sender.Send(block); result.failed()) {
        if (outcome.statusText.empty())
            outcome.statusText = SendErrorText(result.errorCode);
        return;
    }
    ++outcome.blocksSent;
    state.g_queryPending = 1;
}

// Every name after the first is asked twice, as the server has always been asked; the second
// answer finds the contact already in its state and changes nothing.
void AskTheRest(LinkState& state, const std::vector<std::string>& lines, RequestSender& sender,
                RefreshOutcome& outcome)
{
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::optional<std::string> block = RequestFor(state, lines[i]);
        if (!block) {
            ++outcome.requestsRefused;
            continue;
        }
        SendCounted(state, sender, *block, outcome);
        SendCounted(state, sender, *block, outcome);
    }
}

// The first request is the probe of the link: if it cannot be sent, nothing more is tried and
// false is returned. One that is merely too long for its block says nothing about the link, so
// it is skipped like any other refused name and the rest are still asked.
bool AskFirst(LinkState& state, const std::string& contact, RequestSender& sender, RefreshOutcome& outcome)
{
    const std::optional<std::string> block = RequestFor(state, contact);
    if (!block) {
        ++outcome.requestsRefused;
        return true;
    }
    const SendResult result = sender.Send(*block);
    if (result.failed()) {
        outcome.statusText = SendErrorText(result.errorCode);
        return false;
    }
    ++outcome.blocksSent;
    state.g_queryPending = 1;
    return true;
}

}  // namespace

RefreshOutcome RunPresenceRefresh(LinkState& link, PresenceState& presence, std::string_view contactsText,
                                  RequestSender& sender)
{
    RefreshOutcome outcome;
    if (contactsText.find('\n') == std::string_view::npos)
        return outcome;
    const std::vector<std::string> lines = SplitLines(contactsText);
    presence.g_presence.PruneToContactList(FirstLines(lines, PresenceTable::kSize));
    if (AskFirst(link, lines.front(), sender, outcome))
        AskTheRest(link, lines, sender, outcome);
    presence.g_refreshDue = 0;
    outcome.completed = true;
    return outcome;
}
