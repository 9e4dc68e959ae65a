#include "net/ErrorNames.h"

#include <string>

#include <gtest/gtest.h>

#include "net/ConnectionState.h"

namespace {

struct CodeRow {
    int code;
    const char* name;
    bool connect;  // also named when connecting
};

constexpr CodeRow kCodes[] = {
    {10013, "WSAEACCES", false},       {10014, "WSAEFAULT", true},        {10022, "WSAEINVAL", true},
    {10024, "WSAEMFILE", true},        {10035, "WSAEWOULDBLOCK", true},   {10036, "WSAEINPROGRESS", true},
    {10038, "WSAENOTSOCK", true},      {10039, "WSAEDESTADDRREQ", true},  {10040, "WSAEMSGSIZE", false},
    {10045, "WSAEOPNOTSUPP", false},   {10047, "WSAEAFNOSUPPORT", true},  {10048, "WSAEADDRINUSE", true},
    {10049, "WSAEADDRNOTAVAIL", true}, {10050, "WSAENETDOWN", true},      {10051, "WSAENETUNREACH", true},
    {10052, "WSAENETRESET", false},    {10053, "WSAECONNABORTED", false}, {10054, "WSAECONNRESET", false},
    {10055, "WSAENOBUFS", true},       {10056, "WSAEISCONN", true},       {10057, "WSAENOTCONN", false},
    {10058, "WSAESHUTDOWN", false},    {10060, "WSAETIMEDOUT", true},     {10061, "WSAECONNREFUSED", true},
    {10093, "WSANOTINITIALISED", true},
};

TEST(ErrorNames, EveryCodeHasItsNameInTheRightTables)
{
    for (const CodeRow& row : kCodes) {
        SCOPED_TRACE(row.code);
        EXPECT_EQ(SendErrorName(row.code), row.name);
        EXPECT_EQ(ConnectErrorName(row.code), row.connect ? std::string_view(row.name) : kUnknownErrorName);
    }
}

TEST(ErrorNames, UnlistedCodesAreUnknown)
{
    for (const int code : {0, 10012, 10059, 10094}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(SendErrorName(code), "Unknown error");
        EXPECT_EQ(ConnectErrorName(code), "Unknown error");
    }
}

TEST(ConnectionState, StatusTextsNameTheCodeFromTheirOwnTable)
{
    EXPECT_EQ(ConnectFailedText(wsa::kConnRefused), "Can't connect: Error code WSAECONNREFUSED.");
    EXPECT_EQ(ConnectFailedText(wsa::kConnReset), "Can't connect: Error code Unknown error.");
    EXPECT_EQ(SendErrorText(wsa::kConnReset), "Message send error: WSAECONNRESET.");
    EXPECT_EQ(SendErrorText(12345), "Message send error: Unknown error.");
}

TEST(ConnectionState, ButtonsFollowTheLink)
{
    ConnectionState link;
    const auto expectLinked = [&link](bool up) {
        EXPECT_EQ(link.g_connected, up ? 1 : 0);
        EXPECT_EQ(link.connectEnabled, !up);
        EXPECT_EQ(link.disconnectEnabled, up);
    };
    link.OnConnected();
    expectLinked(true);
    link.OnDisconnected();
    expectLinked(false);
    link.OnConnected();
    link.OnConnectFailed();
    expectLinked(false);
}

}  // namespace
