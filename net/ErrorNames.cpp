#include "net/ErrorNames.h"

#include <algorithm>

// Connecting can only run into the codes below; the send table adds those that need an
// established link (reset, aborted, shut down...), so a reset reported while connecting is
// shown as unknown rather than misleadingly named.
const std::array<ErrorName, 17> kConnectErrorNames{{
    {wsa::kFault, "WSAEFAULT"},
    {wsa::kInvalid, "WSAEINVAL"},
    {wsa::kTooManyFiles, "WSAEMFILE"},
    {wsa::kWouldBlock, "WSAEWOULDBLOCK"},
    {wsa::kInProgress, "WSAEINPROGRESS"},
    {wsa::kNotSocket, "WSAENOTSOCK"},
    {wsa::kDestAddrRequired, "WSAEDESTADDRREQ"},
    {wsa::kAfNotSupported, "WSAEAFNOSUPPORT"},
    {wsa::kAddrInUse, "WSAEADDRINUSE"},
    {wsa::kAddrNotAvailable, "WSAEADDRNOTAVAIL"},
    {wsa::kNetDown, "WSAENETDOWN"},
    {wsa::kNetUnreachable, "WSAENETUNREACH"},
    {wsa::kNoBuffers, "WSAENOBUFS"},
    {wsa::kIsConnected, "WSAEISCONN"},
    {wsa::kTimedOut, "WSAETIMEDOUT"},
    {wsa::kConnRefused, "WSAECONNREFUSED"},
    {wsa::kNotInitialised, "WSANOTINITIALISED"},
}};

const std::array<ErrorName, 25> kSendErrorNames{{
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

template <std::size_t N>
std::string_view FindName(const std::array<ErrorName, N>& table, int code)
{
    const auto found = std::find_if(table.begin(), table.end(), [code](const ErrorName& e) { return e.code == code; });
    return found == table.end() ? kUnknownErrorName : found->name;
}

}  // namespace

std::string_view ConnectErrorName(int code)
{
    return FindName(kConnectErrorNames, code);
}

std::string_view SendErrorName(int code)
{
    return FindName(kSendErrorNames, code);
}
