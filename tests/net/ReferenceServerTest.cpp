// The client's network layer against the reference server: log in, ask for the echo bot's
// presence, message it and get the echo back through the listener, then log out.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "AccountBook.h"
#include "ChatRouter.h"
#include "ChatServer.h"
#include "ClientFixture.h"
#include "net/NotificationListener.h"
#include "net/Protocol.h"
#include "net/RequestBlock.h"
#include "net/ServerConnection.h"
#include "support/WaitFor.h"

namespace {

using namespace qornc::server;

bool Logged(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace

TEST(ReferenceServerTest, EchoBotRoundTripThroughTheListener)
{
    ClientState state;
    SetIdentity(state);
    NotificationListener listener(state);
    ASSERT_TRUE(listener.Listen(0));

    std::vector<std::string> log;
    ServerConfig config;
    config.listenAddress = QHostAddress::LocalHost;
    config.port = 0;
    config.notifyPort = listener.port();
    ChatServer chat(ChatRouter(AccountBook{}, {"echo"}), config, [&](const std::string& line) { log.push_back(line); });
    QString error;
    ASSERT_TRUE(chat.listen(error)) << error.toStdString();

    ServerConnection connection(state, chat.port());
    ASSERT_EQ(connection.ConnectAndLogin(kStartupLoginBlockSize), QStringLiteral("No status messages."));
    ASSERT_TRUE(WaitFor([&] { return Logged(log, "login ann from 127.0.0.1"); })) << "the 256-byte login was not taken";

    state.g_queryPending = 1;
    ASSERT_FALSE(connection.serverSocket().Send(*GetBuddyBlock("ann", "pw1", "echo")).failed());
    ASSERT_TRUE(WaitFor([&] { return state.g_queryPending == 0; }));
    EXPECT_EQ(state.g_onlineText, "echo\r\n");

    ASSERT_FALSE(connection.serverSocket().Send(*MessageBlock("ann", "pw1", "echo", "hello bot")).failed());
    ASSERT_TRUE(WaitFor([&] { return state.g_messageArrived == 1; }));
    const auto messages = state.g_messages.TakeAll();
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages.front().senderName, "echo");
    EXPECT_EQ(messages.front().messageText, "hello bot");

    ASSERT_TRUE(connection.LogoutAndClose());
    EXPECT_TRUE(WaitFor([&] { return Logged(log, "logout ann"); }));
    EXPECT_TRUE(WaitFor([&] { return chat.connectionCount() == 0; }));
}
