// Sending one typed line to the selected recipients: one "message" block each, in list order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class RequestSender;
struct ClientState;

inline constexpr std::size_t kMaxRecipientPositions = 1000;
inline constexpr std::string_view kSendFailedText = "Unable to send message to other user.";

struct SendOutcome {
    bool refused = false;  // g_queryPending was 1 or nobody was selected: nothing happened
    int failures = 0;      // recipients whose block failed or would not fit
    std::string statusText; // kSendFailedText after any failure, else empty (status unchanged)
    std::string newConversation; // the view text to show, when not refused
};

// recipients are the selected names in list order (the caller reads the first
// kMaxRecipientPositions positions). A request too long for its block counts as a failed send.
[[nodiscard]] SendOutcome SendChatMessage(ClientState& state, const std::vector<std::string>& recipients,
                                          std::string_view text, std::string_view conversation,
                                          RequestSender& sender);
