// Sending one typed line to the selected recipients: one "message" block each, in list order.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class RequestSender;
struct LinkState;

inline constexpr std::size_t kMaxRecipientPositions = 1000;
// The message input line takes at most this many characters.
inline constexpr std::size_t kInputLineLimit = 128;
inline constexpr std::string_view kSendFailedText = "Unable to send message to other user.";
inline constexpr std::string_view kAwaitingPresenceText =
    "Not sent: the server has not yet said who is online. Press Enter again in a moment.";
inline constexpr std::string_view kNobodySelectedText = "Not sent: select who to send to in the Online list.";
inline constexpr std::string_view kNobodyOnlineText = "Not sent: nobody is online to send to.";
inline constexpr std::string_view kNotConnectedText = "Not sent: not connected to the server.";

struct SendOutcome {
    bool refused = false;  // nothing was sent and the input line keeps its text
    int failures = 0;      // recipients whose block failed or would not fit
    std::string statusText; // why it was refused, kSendFailedText after any failure, else empty
    std::string newConversation; // the view text to show, when not refused
};

// recipients are the selected names in list order (the caller reads the first
// kMaxRecipientPositions positions); anyoneOnline tells whether the Online list shows anyone.
// A request too long for its block counts as a failed send.
[[nodiscard]] SendOutcome SendChatMessage(LinkState& state, const std::vector<std::string>& recipients,
                                          bool anyoneOnline, std::string_view text,
                                          std::string_view conversation, RequestSender& sender);
