// The client against a server that drops the link, never answers, floods the listener or sends
// garbage: it keeps running, says what happened, and what it held stays.
#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

#include "FaultHarness.h"

namespace {

const QString kContacts = QStringLiteral("alice\nbob\ncarol\n");

// A delivery the client must still take after the fault: proof it keeps working.
void ExpectDeliveryStillShown(FakeServer& server, ClientUnderTest& client, const QString& marker)
{
    ASSERT_TRUE(DeliverAndHold(server, client.listener.port(), "message server " + marker.toUtf8() + '\0'));
    EXPECT_TRUE(WaitFor([&] { return client.conversation().contains("server: " + marker); }))
        << client.conversation().toStdString();
}

}  // namespace

TEST(LinkFaults, ServerClosingMidRefreshIsReportedAndLeavesTheClientUsable)
{
    FakeServer server;
    server.HangUpOnceAsked("getbuddy");
    ClientUnderTest client(server.port());
    client.Open();
    ASSERT_EQ(client.state.g_link.g_connected, 1);

    ASSERT_TRUE(WaitFor([&] { return client.state.g_link.g_connected == 0; }));
    EXPECT_TRUE(client.status().startsWith("Connection to the server lost")) << client.status().toStdString();
    EXPECT_EQ(client.state.g_queryPending, 0) << "sending would stay refused";
    EXPECT_EQ(client.contacts(), kContacts);

    // The user can connect again and the listener still takes deliveries.
    client.window->OnConnectButton();
    EXPECT_EQ(client.state.g_link.g_connected, 1);
    ExpectDeliveryStillShown(server, client, QStringLiteral("after-drop"));
}

TEST(LinkFaults, SilentServerReleasesTheQueryAfterItsTimeout)
{
    FakeServer server;
    ClientUnderTest client(server.port());
    client.Open();
    ASSERT_TRUE(WaitFor([&] { return server.BlocksStarting("getbuddy").size() >= 5; })) << server.Transcript();
    // The first refresh runs at start-up; a second one by the user while nothing answers.
    client.window->OnUpdateListButton();
    EXPECT_EQ(client.state.g_queryPending, 1);
    EXPECT_TRUE(WaitFor([&] { return client.state.g_queryPending == 0; }, 2000));
    EXPECT_EQ(client.state.g_link.g_connected, 1);
    EXPECT_TRUE(client.online().isEmpty());
    ExpectDeliveryStillShown(server, client, QStringLiteral("after-silence"));
}

TEST(LinkFaults, ThousandHeldConnectionsDoNotStopDeliveries)
{
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = std::max<rlim_t>(files.rlim_cur, std::min<rlim_t>(files.rlim_max, 4096));
    setrlimit(RLIMIT_NOFILE, &files);

    FakeServer server;
    ClientUnderTest client(server.port());
    client.Open();
    const quint16 port = client.listener.port();

    std::vector<int> held;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (int i = 0; i < 1000; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        ASSERT_GE(fd, 0);
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        held.push_back(fd);
    }
    // Let the client accept them all; the pool of six closes older ones as it goes.
    Settle(1500);
    EXPECT_LE(client.state.g_acceptCount, NotificationListener::kPoolEntries);
    EXPECT_EQ(client.state.g_link.g_connected, 1);
    ExpectDeliveryStillShown(server, client, QStringLiteral("after-flood"));
    for (const int fd : held)
        ::close(fd);
}

TEST(LinkFaults, GarbageAndOversizedTextsLeaveTheStateSane)
{
    FakeServer server;
    ClientUnderTest client(server.port());
    client.Open();
    const quint16 port = client.listener.port();

    QByteArray random(4096, '\0');
    QRandomGenerator generator(20240601);
    for (char& byte : random)
        byte = char(generator.bounded(256));
    const QByteArray noNul(10 * 1024, 'x');
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const std::vector<Case> cases = {
        {"random bytes", random},
        {"10 KB without NUL", noNul},
        {"10 KB message text", "message mallory " + noNul},
        {"10 KB getbuddy name", "getbuddy true " + noNul},
        {"NUL runs only", QByteArray(3000, '\0')},
        {"keyword soup", QByteArray("getbuddy\0message\0getdata\0set_mode\0getbuddy true\0", 49)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(DeliverAndHold(server, port, c.bytes));
        // The same bytes on the request link go through the same receive path.
        server.WriteOnRequest(c.bytes);
        Settle(50);
        EXPECT_LE(client.state.g_presence.onlineCount(), 1u);
        EXPECT_LE(client.state.g_messages.size(), Mailbox::kCapacity);
        EXPECT_EQ(client.state.g_link.g_connected, 1);
        EXPECT_EQ(client.contacts(), kContacts);
    }
    // A long text is cut at the notification size, never run on into a second message.
    EXPECT_FALSE(client.conversation().contains(QString(300, 'x')));
    ExpectDeliveryStillShown(server, client, QStringLiteral("after-garbage"));
}

TEST(LinkFaults, DeliveriesFromAnotherAddressAreNotShown)
{
    FakeServer server;
    ClientUnderTest client(server.port());
    client.Open();
    int rejected = 0;
    QObject::connect(&client.listener, &NotificationListener::rejected, [&](const QHostAddress& peer) {
        rejected += peer.isEqual(QHostAddress("127.0.0.2"), QHostAddress::TolerantConversion) ? 1 : 0;
    });
    // The client may cut the connection before the sender even sees it up: the outcome is unread.
    (void)DeliverAndHold(server, client.listener.port(), QByteArray("message forger hi\0", 18),
                         QHostAddress("127.0.0.2"));
    EXPECT_TRUE(WaitFor([&] { return rejected == 1; }));
    EXPECT_FALSE(client.conversation().contains("forger"));
    ExpectDeliveryStillShown(server, client, QStringLiteral("genuine"));
}
