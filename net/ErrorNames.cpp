#include "net/ErrorNames.h"

#include <algorithm>

constexpr std::array<ErrorName, 25> kSendErrorNames{{
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
    {wsa::kNotInitialised, "WSANOTINITIALISED"},
}};

namespace {

// Codes only an established link runs into. Connecting never reports them, so a reset seen while
// connecting is shown as unknown rather than misleadingly named.
constexpr std::array kLinkOnlyCodes{wsa::kAccess,     wsa::kMessageSize,  wsa::kOpNotSupported, wsa::kNetReset,
                                    wsa::kConnAborted, wsa::kConnReset, wsa::kNotConnected,   wsa::kShutdown};

constexpr std::array<ErrorName, 17> ConnectTable()
{
    std::array<ErrorName, 17> table{};
    std::size_t next = 0;
    for (const ErrorName& entry : kSendErrorNames) {
        if (std::find(kLinkOnlyCodes.begin(), kLinkOnlyCodes.end(), entry.code) == kLinkOnlyCodes.end())
            table.at(next++) = entry;
    }
    return table;
}

template <std::size_t N>
std::string_view FindName(const std::array<ErrorName, N>& table, int code)
{
    const auto found = std::find_if(table.begin(), table.end(), [code](const ErrorName& e) { return e.code == code; });
    return found == table.end() ? kUnknownErrorName : found->name;
}

}  // namespace

constexpr std::array<ErrorName, 17> kConnectErrorNames = ConnectTable();
static_assert(kSendErrorNames.size() - kLinkOnlyCodes.size() == kConnectErrorNames.size());

std::string_view ConnectErrorName(int code)
{
    return FindName(kConnectErrorNames, code);
}

std::string_view SendErrorName(int code)
{
    return FindName(kSendErrorNames, code);
}
