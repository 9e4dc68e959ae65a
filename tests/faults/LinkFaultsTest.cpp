// The client against a server that cannot be reached, drops the link, stops reading, stays
// silent, or shares the listener with strangers: the window says what happened at once, and the
// user is never left stuck.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QProcess>
#include <QTcpServer>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

#include "FaultHarness.h"
#include "net/ServerConnection.h"
#include "net/rules/ErrorNames.h"
#include "res/Resources.h"
#include "support/ClosedPort.h"
#include "support/NulText.h"

namespace {

QByteArray InfoFor(const QByteArray& serverIp)
{
    return "userid tester\r\npassword secret\r\nserverip " + serverIp + "\r\n";
}

QStringList OnlineRows(ClientUnderTest& client)
{
    QStringList rows;
    auto* list = qobject_cast<QListWidget*>(client.window().control(IDC_ONLINE));
    for (int row = 0; row < list->count(); ++row)
        rows.append(list->item(row)->text());
    return rows;
}

// A delivery the client must still take after the fault: proof it keeps working.
void ExpectDeliveryStillShown(ClientUnderTest& client, const QString& marker)
{
    ASSERT_TRUE(client.DeliverAndHold("message server " + marker.toUtf8() + '\0'));
    EXPECT_TRUE(WaitFor([&] { return client.text(IDC_CONVERSATION).contains("server: " + marker); }))
        << client.text(IDC_CONVERSATION).toStdString();
}

// Inside a network namespace of its own: 127.150/16 has no route, 127.200/16 is marked
// unreachable and no name resolves: each fails at once, long before the connect's bound.
// (A connect that hangs until its bound is the connect-attempt test's.)
void RunUnreachableRows()
{
    const std::pair<QByteArray, const char*> rows[] = {
        {"127.150.0.1", "WSAENETUNREACH"},
        {"127.200.0.1", "WSAEHOSTUNREACH"},
        {"qornc-nowhere.invalid", "WSAHOST_NOT_FOUND"},
    };
    for (const auto& [server, name] : rows) {
        SCOPED_TRACE(server.toStdString());
        ClientUnderTest client(InfoFor(server));
        client.options.connectTimeoutMs = 10000;
        QElapsedTimer shown;
        shown.start();
        client.Open();
        EXPECT_TRUE(client.window().isVisible());
        EXPECT_LT(shown.elapsed(), 2000);
        Settle(100); // the start-up refresh, which fails as well, has run
        EXPECT_EQ(client.text(IDC_STATUS), QStringLiteral("Can't connect: Error code %1.").arg(name));
    }
}

}  // namespace

TEST(LinkFaults, UnreachableServerFailsAtOnceWithItsName)
{
    if (qEnvironmentVariableIsSet("QORNC_IN_NETNS")) {
        RunUnreachableRows();
        return;
    }
    if (QProcess::execute(QStringLiteral("unshare"), {"--net", "--mount", "true"}) != 0)
        GTEST_SKIP() << "needs root and network namespaces";
    QTemporaryDir dir;
    WriteBytes(dir.filePath("resolv.conf").toStdString(), "nameserver 127.0.0.1\n");
    const QString script = QStringLiteral(
        "ip link set lo up && ip route del local 127.0.0.0/8 dev lo table local &&"
        " ip route add local 127.0.0.0/9 dev lo table local && ip route add unreachable 127.200.0.0/16 &&"
        " mount --bind \"$1\" /etc/resolv.conf || exit 77;"
        " exec \"$0\" --gtest_filter=LinkFaults.UnreachableServerFailsAtOnceWithItsName");
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QORNC_IN_NETNS"), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QStringLiteral("unshare"), QStringList{"--net", "--mount", "sh", "-c", script,
                                                       QCoreApplication::applicationFilePath(),
                                                       dir.filePath("resolv.conf")});
    ASSERT_TRUE(child.waitForFinished(60000));
    if (child.exitCode() == 77)
        GTEST_SKIP() << "the namespace's routes could not be set up";
    EXPECT_EQ(child.exitCode(), 0) << child.readAll().toStdString();
}

TEST(LinkFaults, LostLinkOrDisconnectEmptiesTheOnlineListAndConnectWorksAgain)
{
    enum class End { Reset, Disconnect };
    for (const End end : {End::Reset, End::Disconnect}) {
        SCOPED_TRACE(int(end));
        ClientUnderTest client;
        client.Open();
        ASSERT_TRUE(client.DeliverAndHold(NulText("getbuddy true alice")));
        ASSERT_TRUE(WaitFor([&] { return OnlineRows(client) == QStringList{"alice"}; }));
        if (end == End::Reset)
            client.server.ResetRequest();
        else
            client.window().OnDisconnectButton();
        ASSERT_TRUE(WaitFor([&] { return client.state().g_link.g_connected == 0; }));
        EXPECT_TRUE(WaitFor([&] { return OnlineRows(client).isEmpty(); })) << "contacts still shown online";
        EXPECT_EQ(client.text(IDC_STATUS).startsWith("Connection to the server lost"), end == End::Reset);
        EXPECT_EQ(client.state().g_queryPending, 0) << "sending would stay refused";

        const std::size_t asked = client.server.BlocksStarting("getbuddy").size();
        client.window().OnConnectButton();
        EXPECT_TRUE(WaitFor([&] { return client.state().g_link.g_connected == 1; }));
        ASSERT_TRUE(client.server.WaitForBlocks("getbuddy", asked + 5)) << "nobody asked who is online again";
        ASSERT_TRUE(client.DeliverAndHold(NulText("getbuddy true alice")));
        // A listed contact who writes is online until the server says otherwise.
        ASSERT_TRUE(client.DeliverAndHold(NulText("message bob back")));
        EXPECT_TRUE(WaitFor([&] { return OnlineRows(client) == QStringList({"alice", "bob"}); }));
        EXPECT_TRUE(client.text(IDC_CONVERSATION).contains("bob: back"));
        ASSERT_TRUE(client.DeliverAndHold(NulText("getbuddy false bob")));
        EXPECT_TRUE(WaitFor([&] { return OnlineRows(client) == QStringList{"alice"}; }));
    }
}

// A server that refuses a login closes the link without a word: the window names the likely
// cause and offers Connect again. Anything the server said first makes it a plain loss.
TEST(LinkFaults, ALinkEndedUnansweredRightAfterTheLoginBlamesNameOrPassword)
{
    for (const bool answered : {false, true}) {
        SCOPED_TRACE(answered);
        ClientUnderTest client;
        client.Open();
        ASSERT_TRUE(client.server.WaitForBlocks("login", 1));
        if (answered)
            client.server.WriteOnRequest(QByteArray(1, '\0'));
        client.server.CloseRequest();
        EXPECT_TRUE(WaitFor([&] { return client.text(IDC_STATUS) != QLatin1String(kNoStatusText.data()); }, 5000));
        EXPECT_EQ(client.text(IDC_STATUS).startsWith("Connection to the server lost: Error code"), answered);
        EXPECT_EQ(client.text(IDC_STATUS) == QLatin1String(kLoginRefusedText), !answered);
        EXPECT_TRUE(client.window().control(IDCANCEL)->isEnabled());
    }
}

TEST(LinkFaults, ServerThatStopsReadingGetsABoundedQueueAndTheUserIsTold)
{
    ClientUnderTest client;
    client.Open();
    ASSERT_TRUE(client.server.WaitForBlocks("getbuddy", 5));
    EXPECT_TRUE(WaitFor([&] { return client.state().g_queryPending == 0; }, 2000))
        << "a refresh nobody answers refuses sending for good";
    client.server.StopReading();
    CLinkSocket& link = client.app->server().serverSocket();
    int keepAlive = 0; // so that a server gone without a reset is noticed at all
    socklen_t size = sizeof keepAlive;
    ::getsockopt(int(link.socket()->socketDescriptor()), SOL_SOCKET, SO_KEEPALIVE, &keepAlive, &size);
    EXPECT_EQ(keepAlive, 1);
    SendResult result{0, 0};
    for (int i = 0; i < (1 << 18) && !result.failed(); ++i) // 32 MiB at most
        result = link.Send(std::string(128, 'g'));
    ASSERT_TRUE(result.failed()) << "unsent bytes grow without bound";
    EXPECT_EQ(result.errorCode, wsa::kNoBuffers);
    EXPECT_LE(link.socket()->bytesToWrite(), CLinkSocket::kMaxUnsentBytes);
    client.window().OnUpdateListButton();
    EXPECT_EQ(client.text(IDC_STATUS), QStringLiteral("Message send error: WSAENOBUFS."));
    EXPECT_EQ(client.state().g_link.g_connected, 1);
}

TEST(LinkFaults, LoopbackPeersAreTheLoopbackServerAndOthersAreNamed)
{
    struct Case {
        QByteArray serverIp;
        const char* from;
        bool shown;
    };
    for (const Case& c : {Case{"127.0.0.1", "127.0.1.1", true}, Case{"", "127.0.0.2", false}}) {
        SCOPED_TRACE(c.from);
        ClientUnderTest client(InfoFor(c.serverIp));
        client.Open();
        ASSERT_TRUE(client.DeliverAndHold(NulText("message srv hello"), QHostAddress(QString::fromLatin1(c.from))));
        EXPECT_EQ(WaitFor([&] { return client.text(IDC_CONVERSATION).contains("srv: hello"); }, 500), c.shown);
        EXPECT_EQ(client.text(IDC_STATUS).contains(QString::fromLatin1(c.from)), !c.shown)
            << client.text(IDC_STATUS).toStdString();
    }
}

TEST(LinkFaults, ATakenNotifyPortIsToldWhateverTheConnectDidAndRetriedAtConnect)
{
    const QString listenText = QStringLiteral("Can't listen for messages: Error code WSAEADDRINUSE.");
    for (const bool serverUp : {true, false}) {
        SCOPED_TRACE(serverUp);
        ClientUnderTest client;
        auto squatter = std::make_unique<QTcpServer>();
        ASSERT_TRUE(squatter->listen(QHostAddress::Any, 0));
        client.options.notifyPort = squatter->serverPort();
        if (!serverUp)
            client.options.serverPort = ClosedPort();
        client.Open();
        Settle(100); // the start-up refresh has run
        EXPECT_EQ(client.text(IDC_STATUS),
                  serverUp ? listenText : "Can't connect: Error code WSAECONNREFUSED. " + listenText);

        squatter.reset();
        if (serverUp)
            client.window().OnDisconnectButton();
        client.window().OnConnectButton();
        ASSERT_TRUE(WaitFor([&] { return !client.app->server().isConnecting(); }));
        ExpectDeliveryStillShown(client, QStringLiteral("after-retry"));
    }
}
