// The client against a server that drops the link, never answers, floods the listener or sends
// garbage: it keeps running, says what happened, and what it held stays.
#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

#include "FaultHarness.h"
#include "res/Resources.h"

namespace {

const QString kContacts = QStringLiteral("alice\nbob\ncarol\n");

// A delivery the client must still take after the fault: proof it keeps working.
void ExpectDeliveryStillShown(ClientUnderTest& client, const QString& marker)
{
    ASSERT_TRUE(client.DeliverAndHold("message server " + marker.toUtf8() + '\0'));
    EXPECT_TRUE(WaitFor([&] { return client.text(IDC_CONVERSATION).contains("server: " + marker); }))
        << client.text(IDC_CONVERSATION).toStdString();
}

}  // namespace

TEST(LinkFaults, ServerClosingMidRefreshIsReportedAndLeavesTheClientUsable)
{
    ClientUnderTest client;
    client.server.HangUpOnceAsked("getbuddy");
    client.Open();
    ASSERT_TRUE(WaitFor([&] { return client.state().g_link.g_connected == 0; }));
    EXPECT_TRUE(client.text(IDC_STATUS).startsWith("Connection to the server lost")) << client.text(IDC_STATUS).toStdString();
    EXPECT_EQ(client.state().g_queryPending, 0) << "sending would stay refused";
    EXPECT_EQ(client.text(IDC_CONTACTS), kContacts);

    client.window().OnConnectButton();
    EXPECT_EQ(client.state().g_link.g_connected, 1);
    ExpectDeliveryStillShown(client, QStringLiteral("after-drop"));
}

TEST(LinkFaults, SilentServerReleasesTheQueryAfterItsTimeout)
{
    ClientUnderTest client;
    client.Open();
    ASSERT_TRUE(client.server.WaitForBlocks("getbuddy", 5)) << client.server.Transcript();
    // The first refresh runs at start-up; a second one by the user while nothing answers.
    client.window().OnUpdateListButton();
    EXPECT_EQ(client.state().g_queryPending, 1);
    EXPECT_TRUE(WaitFor([&] { return client.state().g_queryPending == 0; }, 2000));
    EXPECT_EQ(client.state().g_link.g_connected, 1);
    EXPECT_EQ(client.state().g_presence.onlineCount(), 0u);
    ExpectDeliveryStillShown(client, QStringLiteral("after-silence"));
}

TEST(LinkFaults, ThousandHeldConnectionsDoNotStopDeliveries)
{
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = std::max<rlim_t>(files.rlim_cur, std::min<rlim_t>(files.rlim_max, 4096));
    setrlimit(RLIMIT_NOFILE, &files);

    ClientUnderTest client;
    client.Open();
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(client.app->listener().port());
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::vector<int> held;
    for (int i = 0; i < 1000; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        ASSERT_GE(fd, 0);
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        held.push_back(fd);
    }
    Settle(1500); // the pool of six closes older ones as it goes
    EXPECT_LE(client.state().g_acceptCount, NotificationListener::kPoolEntries);
    EXPECT_EQ(client.state().g_link.g_connected, 1);
    ExpectDeliveryStillShown(client, QStringLiteral("after-flood"));
    for (const int fd : held)
        ::close(fd);
}

TEST(LinkFaults, GarbageAndOversizedTextsLeaveTheStateSane)
{
    ClientUnderTest client;
    client.Open();
    QByteArray random(4096, '\0');
    QRandomGenerator generator(20240601);
    for (char& byte : random)
        byte = char(generator.bounded(256));
    const QByteArray noNul(10 * 1024, 'x');
    const std::vector<std::pair<const char*, QByteArray>> cases = {
        {"random bytes", random},
        {"10 KB without NUL", noNul},
        {"10 KB message text", "message mallory " + noNul},
        {"10 KB getbuddy name", "getbuddy true " + noNul},
        {"NUL runs only", QByteArray(3000, '\0')},
        {"keyword soup", QByteArray("getbuddy\0message\0getdata\0set_mode\0getbuddy true\0", 49)},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(client.DeliverAndHold(bytes));
        client.server.WriteOnRequest(bytes); // the request link takes the same receive path
        Settle(50);
        EXPECT_LE(client.state().g_presence.onlineCount(), 1u);
        EXPECT_LE(client.state().g_messages.size(), Mailbox::kCapacity);
        EXPECT_EQ(client.state().g_link.g_connected, 1);
        EXPECT_EQ(client.text(IDC_CONTACTS), kContacts);
    }
    // A long text is cut at the notification size, never run on into a second message.
    EXPECT_FALSE(client.text(IDC_CONVERSATION).contains(QString(300, 'x')));
    ExpectDeliveryStillShown(client, QStringLiteral("after-garbage"));
}
