// Wire constants shared by every sender and receiver: ports, block sizes and text capacities.
// A request travels as its text, a NUL, and NUL fill up to a fixed block size; a notification
// is one NUL-terminated text of at most kNotifyReadSize bytes.
#pragma once

#include <cstddef>
#include <cstdint>

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

// The message input line takes at most this many characters.
inline constexpr std::size_t kInputLineLimit = 128;
