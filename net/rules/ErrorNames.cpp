#include "net/rules/ErrorNames.h"

#include <algorithm>

constexpr std::array<ErrorName, 26> kSendErrorNames{{
    {wsa::kAccess, "WSAEACCES"},
    {wsa::kFault, "WSAEFAULT"},
    {wsa::kInvalid, "WSAEINVAL"},
    {wsa::kTooManyFiles, "WSAEMFILE"},
    {wsa::kWouldBlock, "WSAEWOULDBLOCK"},
    {wsa::kInProgress, "WSAEINPROGRESS"},
    {wsa::kNotSocket, "WSAENOTSOCK"},
    {wsa::kDestAddrRequired, "WSAEDESTADDRREQ"},
    {wsa::kMessageSize, "WSAEMSGSIZE"},
    {wsa::kOpNotSupported, "WSAEOPNOTSUPP"},
    {wsa::kAfNotSupported, "WSAEAFNOSUPPORT"},
    {wsa::kAddrInUse, "WSAEADDRINUSE"},
    {wsa::kAddrNotAvailable, "WSAEADDRNOTAVAIL"},
    {wsa::kNetDown, "WSAENETDOWN"},
    {wsa::kNetUnreachable, "WSAENETUNREACH"},
    {wsa::kNetReset, "WSAENETRESET"},
    {wsa::kConnAborted, "WSAECONNABORTED"},
    {wsa::kConnReset, "WSAECONNRESET"},
    {wsa::kNoBuffers, "WSAENOBUFS"},
    {wsa::kIsConnected, "WSAEISCONN"},
    {wsa::kNotConnected, "WSAENOTCONN"},
    {wsa::kShutdown, "WSAESHUTDOWN"},
    {wsa::kTimedOut, "WSAETIMEDOUT"},
    {wsa::kConnRefused, "WSAECONNREFUSED"},
    {wsa::kHostUnreachable, "WSAEHOSTUNREACH"},
    {wsa::kNotInitialised, "WSANOTINITIALISED"},
}};

namespace {

// Codes only an established link runs into. Connecting never reports them, so a reset seen while
// connecting is shown as unknown rather than misleadingly named.
constexpr std::array kLinkOnlyCodes{wsa::kAccess,     wsa::kMessageSize,  wsa::kOpNotSupported, wsa::kNetReset,
                                    wsa::kConnAborted, wsa::kConnReset, wsa::kNotConnected,   wsa::kShutdown};

// A server named by a host name that does not resolve fails before any socket call.
constexpr ErrorName kHostNotFoundName{wsa::kHostNotFound, "WSAHOST_NOT_FOUND"};

constexpr std::array<ErrorName, 19> ConnectTable()
{
    std::array<ErrorName, 19> table{};
    std::size_t next = 0;
    for (const ErrorName& entry : kSendErrorNames) {
        if (std::find(kLinkOnlyCodes.begin(), kLinkOnlyCodes.end(), entry.code) == kLinkOnlyCodes.end())
            table.at(next++) = entry;
    }
    table.at(next) = kHostNotFoundName;
    return table;
}

template <std::size_t N>
std::string_view FindName(const std::array<ErrorName, N>& table, int code)
{
    const auto found = std::find_if(table.begin(), table.end(), [code](const ErrorName& e) { return e.code == code; });
    return found == table.end() ? kUnknownErrorName : found->name;
}

}  // namespace

constexpr std::array<ErrorName, 19> kConnectErrorNames = ConnectTable();
static_assert(kSendErrorNames.size() - kLinkOnlyCodes.size() + 1 == kConnectErrorNames.size());

std::string_view ConnectErrorName(int code)
{
    return FindName(kConnectErrorNames, code);
}

std::string_view SendErrorName(int code)
{
    return FindName(kSendErrorNames, code);
}
