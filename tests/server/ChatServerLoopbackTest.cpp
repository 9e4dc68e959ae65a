#include "ChatServer.h"
#include "LoopbackHarness.h"
#include "RecordingHeldLog.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace qornc::server;
using namespace qornc::server::test;

// Routing decisions are the router's tests; these check what reaches the wire while hosts
// misbehave. Crowds come from 127.1/16 and 127.2/16.
namespace {

AccountBook cheapBook(const PasswordHasher& hasher = PasswordHasher(PasswordHasher::cheapestCost()))
{
    return AccountBook(AccountBook::kDefaultCapacity, hasher);
}

class ChatServerLoopback : public ::testing::Test {
protected:
    void start(ServerConfig config = {}, AccountBook book = cheapBook())
    {
        config.listenAddress = "127.0.0.1";
        config.port = 0;
        config.notifyPort = sink.port();
        server = std::make_unique<ChatServer>(serverLoop(),
                                              ChatRouter(std::move(book), {"echo"}, {}, std::chrono::steady_clock::now,
                                                         &heldLog, config.hold),
                                              config, [this](const std::string& line) { logs += line + "\n"; });
        std::string error;
        ASSERT_TRUE(server->listen(error)) << error;
    }

    std::unique_ptr<RequestClient> loggedIn(const std::string& name, const char* from = "127.0.0.1",
                                            const std::string& password = "pw")
    {
        auto client = std::make_unique<RequestClient>(server->port(), from);
        client->send("login " + name + " " + password);
        EXPECT_TRUE(waitFor([&] { return server->router().isOnline(name); })) << name;
        return client;
    }

    // A new connection from 127.0.0.1 logs in as `name` and has the echo bot answer in time.
    bool chats(const std::string& name, const std::string& password, int timeoutMs)
    {
        const std::size_t before = sink.received().size();
        RequestClient client(server->port());
        client.send("login " + name + " " + password, 256);
        client.send("message " + name + " " + password + " echo hi");
        return sink.waitForCount(before + 1, timeoutMs);
    }

    std::size_t logged(const std::string& part) const
    {
        std::size_t count = 0;
        for (auto at = logs.find(part); at != std::string::npos; at = logs.find(part, at + 1))
            ++count;
        return count;
    }

    RecordingHeldLog heldLog;
    NotifySink sink;
    std::unique_ptr<ChatServer> server;
    std::string logs;
};

// What reached a host so far, the empty connections of probes left out.
std::vector<QByteArray> textsAt(const NotifySink& host)
{
    std::vector<QByteArray> texts = host.received();
    std::erase(texts, QByteArray());
    return texts;
}

std::vector<QByteArray> notes(std::initializer_list<std::string> texts)
{
    std::vector<QByteArray> all;
    for (const std::string& text : texts)
        all.push_back(note(text));
    return all;
}

// Idle connections, `each` from every one of `hosts` addresses, opened again as soon as one closes.
class IdleCrowd : public QObject {
public:
    IdleCrowd(quint16 port, int hosts, int each)
        : port_(port)
    {
        for (int host = 1; host <= hosts; ++host)
            for (int i = 0; i < each; ++i)
                open(QHostAddress(QStringLiteral("127.1.0.%1").arg(host)));
    }

private:
    void open(const QHostAddress& from)
    {
        auto* socket = new QTcpSocket(this);
        socket->bind(from);
        connect(socket, &QTcpSocket::disconnected, this, [this, socket, from] {
            socket->deleteLater();
            QTimer::singleShot(200, this, [this, from] { open(from); });
        });
        socket->connectToHost(QHostAddress::LocalHost, port_);
    }

    quint16 port_;
};

} // namespace

// 70 hosts hold 15 idle connections each, under the limit of 16 per host, and open them again as
// the login timeout or a newcomer closes them.
TEST_F(ChatServerLoopback, IdleCrowdFromManyHostsCannotKeepAUserOut)
{
    QORNC_IN_OWN_NAMESPACE();
    ServerConfig config;
    config.loginTimeoutMs = 1000;
    start(config);
    auto alice = loggedIn("alice");
    IdleCrowd crowd(server->port(), 70, 15);
    ASSERT_TRUE(waitFor([&] { return server->connectionCount() == config.maxConnections; }, 20'000));
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(chats("carol", "pw", 3000)) << "try " << i;
    EXPECT_TRUE(waitFor([&] { return logged("no login within 1 s") > 0; }));
    EXPECT_TRUE(server->router().isOnline("alice")) << "a logged-in user lost the connection";
}

TEST_F(ChatServerLoopback, GuessesFromOneHostGoUncheckedAndTheVictimsKeepTheirMessages)
{
    QORNC_IN_OWN_NAMESPACE();
    const PasswordHasher hasher(PasswordHasher::cheapestCost());
    AccountBook book = cheapBook(hasher);
    book.preset("alice", "right pw");                     // as the accounts file gives it
    book.addHashed("bob", hasher.hash("bob pw").value()); // as the state file gives it
    start({}, std::move(book));
    NotifySink aliceHost("127.0.0.2", sink.port()), bobHost("127.0.0.3", sink.port());
    auto alice = loggedIn("alice", "127.0.0.2", "right pw");
    auto bob = loggedIn("bob", "127.0.0.3", "bob pw");

    // 200,000 wrong passwords, a thousand on each connection, ten connections at a time.
    for (int batch = 0; batch < 20; ++batch) {
        std::vector<std::unique_ptr<RequestClient>> guessers;
        for (int i = 0; i < 10; ++i) {
            QByteArray guesses;
            for (int guess = 0; guess < 1000; ++guess)
                guesses += block((i % 2 ? "login alice " : "login bob ") + std::to_string(guess));
            guessers.push_back(std::make_unique<RequestClient>(server->port(), "127.0.0.66"));
            guessers.back()->sendRaw(guesses);
        }
        ASSERT_TRUE(waitFor([&] { return std::none_of(guessers.begin(), guessers.end(), [](auto& g) { return g->isOpen(); }); },
                            3000))
            << "a connection outlived its wrong password";
    }
    for (const char* right : {"login alice right pw", "login bob bob pw"})
        RequestClient(server->port(), "127.0.0.66").send(right);
    ASSERT_TRUE(waitFor([&] { return logged("from 127.0.0.66: too many failed logins from that host, next try in 900 s") >= 2; }));
    EXPECT_LE(logged(": wrong password"), 10u) << "guesses were checked, not refused";

    auto carol = loggedIn("carol");
    carol->send("message carol pw alice still yours");
    carol->send("message carol pw bob still yours");
    EXPECT_TRUE(aliceHost.waitForCount(1) && bobHost.waitForCount(1)) << logs;
}

TEST_F(ChatServerLoopback, WrongLoginsFromManyHostsLeaveHonestLoginsFast)
{
    QORNC_IN_OWN_NAMESPACE();
    // The cost a real server hashes at: each check takes tens of milliseconds.
    const PasswordHasher hasher;
    AccountBook book = cheapBook(hasher);
    const std::string hash = hasher.hash("n pw").value();
    for (int i = 0; i < 10; ++i)
        book.addHashed("n" + std::to_string(i), hash);
    start({}, std::move(book));
    loggedIn("n0", "127.0.0.1", "n pw").reset(); // from now on 127.0.0.1 is n0's own host

    // 500 hosts send two wrong logins each for those names.
    QObject crowd;
    for (int login = 0; login < 1000; ++login) {
        const int host = login / 2;
        auto* socket = new QTcpSocket(&crowd);
        socket->bind(QHostAddress(QStringLiteral("127.2.%1.%2").arg(host / 200).arg(host % 200 + 1)));
        socket->connectToHost(QHostAddress::LocalHost, server->port());
        socket->write(block("login n" + std::to_string(host % 10) + " guess", 256));
    }
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer clock;
        clock.start();
        ASSERT_TRUE(chats("n0", "n pw", 10'000)) << "try " << i;
        EXPECT_LT(clock.elapsed(), 2000) << "try " << i;
    }
    EXPECT_GT(logged(": wrong password"), 0u) << "the guesses never got to a check";
}

TEST_F(ChatServerLoopback, RecipientDroppingHandshakesGetsItsMessagesLaterInOrder)
{
    start();
    // Its accept queue full, bob's notification port drops every handshake, as a lossy link would.
    NotifySink bobPort("127.0.0.7", sink.port(), 0);
    bobPort.server().pauseAccepting();
    QTcpSocket filler, probe;
    for (QTcpSocket* socket : {&filler, &probe})
        socket->connectToHost(QHostAddress(QStringLiteral("127.0.0.7")), sink.port());
    ASSERT_TRUE(waitFor([&] { return filler.state() == QAbstractSocket::ConnectedState; }));
    ASSERT_FALSE(waitFor([&] { return probe.state() == QAbstractSocket::ConnectedState; }, 500)) << "not full";
    probe.abort();

    auto bob = loggedIn("bob", "127.0.0.7");
    auto alice = loggedIn("alice");
    auto carol = loggedIn("carol");
    for (const char* text : {"one", "two", "three"})
        alice->send("message alice pw bob " + std::string(text));
    alice->send("message alice pw carol meanwhile");
    EXPECT_TRUE(sink.waitForCount(1, 1000)) << "carol waited for bob's host";
    waitFor([] { return false; }, 8000);
    bobPort.server().resumeAccepting();
    filler.abort();
    ASSERT_TRUE(waitFor([&] { return textsAt(bobPort).size() >= 3; }, 15'000)) << logs;
    EXPECT_EQ(textsAt(bobPort), notes({"message alice one", "message alice two", "message alice three"}));
    // Logged once acknowledged, a moment after the text arrived.
    EXPECT_TRUE(waitFor([&] { return logged("delivered to 127.0.0.7") == 3; })) << logs;
}

// One queued for a host that stopped listening is held past the deadline and comes at its
// recipient's next login from elsewhere; what was still queued at the stop survives it. (Those
// for a user who logged out, across a stop, are the server binary's test.)
TEST_F(ChatServerLoopback, MessagesWaitForTheNextLoginAcrossACleanStop)
{
    const auto book = [] {
        AccountBook accounts = cheapBook();
        for (const char* name : {"alice", "carol", "dave"})
            accounts.preset(name, "pw");
        return accounts;
    };
    ServerConfig config;
    config.dispatch.deadlineMs = 1000;
    start(config, book());
    NotifySink carolHost("127.0.0.9", sink.port());
    auto alice = loggedIn("alice");
    auto carol = loggedIn("carol", "127.0.0.8"); // nothing listens there
    auto dave = loggedIn("dave", "127.0.0.10");  // nor there
    alice->send("message alice pw carol late");
    ASSERT_TRUE(waitFor([&] { return logged("1 message(s) not delivered within 1 s") == 1; }, 5000)) << logs;
    alice->send("message alice pw dave queued");
    ASSERT_TRUE(waitFor([&] { return logged("-> dave (6 bytes) queued") == 1; }));
    server.reset();
    EXPECT_EQ(logged("stopping: 1 queued message(s) held"), 1u) << logs;
    ASSERT_EQ(heldLog.kept.size(), 2u) << logs;

    start(config, book());
    std::vector<HeldMessage> recovered;
    for (const auto& [id, message] : heldLog.kept)
        recovered.push_back(message);
    server->router().restoreHeld(std::move(recovered));
    auto carolAgain = loggedIn("carol", "127.0.0.9");
    ASSERT_TRUE(carolHost.waitForCount(1)) << logs;
    EXPECT_EQ(carolHost.received(), std::vector<QByteArray>{note("message alice late")});
    ASSERT_TRUE(waitFor([&] { return heldLog.kept.size() == 1; })) << "delivered but still kept";
    EXPECT_EQ(heldLog.kept.begin()->second.recipient, "dave");
}

// bob stays logged in while his host takes nothing for longer than the deadline, then listens
// again: without a new login or any request from him, every message arrives once and in order.
TEST_F(ChatServerLoopback, UserStillLoggedInGetsHeldMessagesOnceTheHostIsBack)
{
    ServerConfig config;
    config.dispatch.deadlineMs = 1000;
    config.hold.retry = {.first = std::chrono::milliseconds(500), .max = std::chrono::seconds(4)};
    start(config);
    auto bob = loggedIn("bob", "127.0.0.7"); // nothing listens there yet
    auto alice = loggedIn("alice");
    const std::vector<std::string> texts = {"one", "two", "three", "four"};
    for (std::size_t i = 0; i < 3; ++i)
        alice->send("message alice pw bob " + texts[i]);
    ASSERT_TRUE(waitFor([&] { return logged("tried again at 127.0.0.7") >= 1; }, 5000)) << logs;
    alice->send("message alice pw bob " + texts[3]);
    ASSERT_TRUE(waitFor([&] { return logged("held for their recipients") >= 2; }, 8000)) << logs;

    NotifySink bobHost("127.0.0.7", sink.port());
    waitFor([&] { return textsAt(bobHost).size() >= texts.size(); }, 12'000);
    waitFor([&] { return textsAt(bobHost).size() > texts.size(); }, 1000); // time for a duplicate to show
    EXPECT_EQ(textsAt(bobHost), notes({"message alice one", "message alice two", "message alice three", "message alice four"}))
        << logs;
    EXPECT_TRUE(server->router().isOnline("bob"));
    EXPECT_TRUE(heldLog.kept.empty()) << "delivered but still kept";
}

// bob's host refused for so long that the next try waits out a long pause; a request from bob
// shows that it is back, and what waited for it arrives at once rather than at the pause's end.
TEST_F(ChatServerLoopback, RequestFromTheRecipientEndsThePauseBeforeTheNextTry)
{
    ServerConfig config;
    config.dispatch.maxBackoffMs = 30'000;
    start(config);
    auto bob = loggedIn("bob", "127.0.0.7"); // nothing listens there yet
    auto alice = loggedIn("alice");
    alice->send("message alice pw bob hello");
    ASSERT_TRUE(waitFor([&] { return logged("next try in 8000 ms") == 1; }, 15'000)) << logs;
    NotifySink bobHost("127.0.0.7", sink.port());
    bob->send("getbuddy bob pw alice");
    EXPECT_TRUE(waitFor([&] { return textsAt(bobHost).size() >= 2; }, 1500)) << logs;
    EXPECT_EQ(textsAt(bobHost), notes({"message alice hello", "getbuddy true alice"}));
}
