// The presence refresh: ask the server about every contact, the first once and every further
// one twice, after pruning the table to the names still in the list.
#pragma once

#include <string>
#include <string_view>

class RequestSender;
struct LinkState;
struct PresenceState;

struct RefreshOutcome {
    bool completed = false;  // false: aborted early (empty list or no line end); nothing was done
    std::string statusText;  // "Message send error: %s." for the first send that failed, else empty
    int blocksSent = 0;
    int requestsRefused = 0; // names whose request would not fit its block
};

// contactsText is the contact-list control's text. On completion g_refreshDue is 0 and, when the
// first send went out, g_queryPending is 1.
[[nodiscard]] RefreshOutcome RunPresenceRefresh(LinkState& link, PresenceState& presence,
                                                std::string_view contactsText, RequestSender& sender);
