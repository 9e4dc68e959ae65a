// Parsing of one notification text into its kind and fields. The kind is told by the first word
// (up to the first space) containing "message", "getdata", "set_mode" or "getbuddy", tried in
// that order; fields are bounded by their buffers and never read past the text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

enum class NotificationKind : int {
    None = 0,  // no keyword in the first word: the notification is ignored
    Message = 1,
    GetData = 2,
    SetMode = 3,
    GetBuddy = 6,
};

inline constexpr std::size_t kFirstWordCapacity = 128;
inline constexpr std::size_t kSenderNameCapacity = 64;
inline constexpr std::size_t kMessageTextCapacityIn = 256;
inline constexpr std::size_t kBuddyNameCapacity = 128;

struct Notification {
    NotificationKind kind = NotificationKind::None;
    std::string senderName;   // Message: at most 63 characters
    std::string messageText;  // Message: at most 255 characters, may hold spaces, may be empty
    std::string buddyName;    // GetBuddy: at most 127 characters, may hold spaces, may be empty
    bool buddyOnline = false; // GetBuddy: the status word contains "true"
    bool hasBuddyName = false; // GetBuddy: false when the status word ends the text
};

// text is taken up to its first NUL. Over-long fields are cut at their capacity.
[[nodiscard]] Notification ParseNotification(std::string_view text);
