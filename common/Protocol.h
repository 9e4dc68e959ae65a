// Wire constants shared by every sender and receiver: ports, block sizes, text capacities and the
// keywords of requests and notifications. A request travels as its text, a NUL, and NUL fill up to
// a fixed block size; a notification is one NUL-terminated text of at most kNotifyReadSize bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

inline constexpr std::uint16_t kServerPort = 22001;
inline constexpr std::uint16_t kNotifyPort = 22002;
inline constexpr std::size_t kNotifyReadSize = 256;

// Text capacities (terminator included) of each request.
inline constexpr std::size_t kLoginTextCapacity = 64;
inline constexpr std::size_t kLogoutTextCapacity = 64;
inline constexpr std::size_t kGetBuddyTextCapacity = 128;
inline constexpr std::size_t kMessageTextCapacity = 256;

// Block sizes on the request connection.
inline constexpr std::size_t kStartupLoginBlockSize = 256;
inline constexpr std::size_t kConnectLoginBlockSize = 128;
inline constexpr std::size_t kLogoutBlockSize = 128;
inline constexpr std::size_t kGetBuddyBlockSize = 128;
inline constexpr std::size_t kMessageBlockSize = 256;

// The longest request text any client sends: the largest block less its NUL. A receiver that
// meets a longer run is out of step with its peer.
inline constexpr std::size_t kMaxRequestText = kMessageBlockSize - 1;

// The first word of every request.
inline constexpr std::string_view kLoginKeyword = "login";
inline constexpr std::string_view kLogoutKeyword = "logout";
inline constexpr std::string_view kGetBuddyKeyword = "getbuddy";
inline constexpr std::string_view kMessageKeyword = "message";

// The first word of every notification; a presence answer's status word says "true" when online.
inline constexpr std::string_view kMessageNotification = "message";
inline constexpr std::string_view kGetDataNotification = "getdata";
inline constexpr std::string_view kSetModeNotification = "set_mode";
inline constexpr std::string_view kGetBuddyNotification = "getbuddy";
inline constexpr std::string_view kOnlineWord = "true";
inline constexpr std::string_view kOfflineWord = "false";
