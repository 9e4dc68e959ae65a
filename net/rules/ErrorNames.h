// Windows Sockets error codes and their symbolic names, as the status line shows them. The
// socket layer maps its own errors onto these codes so the texts stay the program's own.
#pragma once

#include <array>
#include <string_view>

struct ErrorName {
    int code;
    std::string_view name;
};

namespace wsa {
inline constexpr int kAccess = 10013;
inline constexpr int kFault = 10014;
inline constexpr int kInvalid = 10022;
inline constexpr int kTooManyFiles = 10024;
inline constexpr int kWouldBlock = 10035;
inline constexpr int kInProgress = 10036;
inline constexpr int kNotSocket = 10038;
inline constexpr int kDestAddrRequired = 10039;
inline constexpr int kMessageSize = 10040;
inline constexpr int kOpNotSupported = 10045;
inline constexpr int kAfNotSupported = 10047;
inline constexpr int kAddrInUse = 10048;
inline constexpr int kAddrNotAvailable = 10049;
inline constexpr int kNetDown = 10050;
inline constexpr int kNetUnreachable = 10051;
inline constexpr int kNetReset = 10052;
inline constexpr int kConnAborted = 10053;
inline constexpr int kConnReset = 10054;
inline constexpr int kNoBuffers = 10055;
inline constexpr int kIsConnected = 10056;
inline constexpr int kNotConnected = 10057;
inline constexpr int kShutdown = 10058;
inline constexpr int kTimedOut = 10060;
inline constexpr int kConnRefused = 10061;
inline constexpr int kHostUnreachable = 10065;
inline constexpr int kNotInitialised = 10093;
inline constexpr int kHostNotFound = 11001; // the resolver's code: only a connect by host name meets it
}  // namespace wsa

extern const std::array<ErrorName, 19> kConnectErrorNames;
extern const std::array<ErrorName, 26> kSendErrorNames;

inline constexpr std::string_view kUnknownErrorName = "Unknown error";

// "Unknown error" for any code the table does not list.
[[nodiscard]] std::string_view ConnectErrorName(int code);
[[nodiscard]] std::string_view SendErrorName(int code);
