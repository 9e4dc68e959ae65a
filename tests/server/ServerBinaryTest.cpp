#include "LoopbackHarness.h"
#include "PasswordHasher.h"
#include "StateRecords.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>
#include <set>

#include <sys/resource.h>

using namespace qornc::server;
using namespace qornc::server::test;

namespace {

constexpr int kTimeoutMs = 10'000;

// The program on a free loopback port, with everything it printed.
class RunningServer {
public:
    explicit RunningServer(QStringList args)
    {
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start(QStringLiteral(QORNC_SERVER_BINARY), args << "--listen=127.0.0.1" << "--port=0");
        printed(QStringLiteral(", notifications to port"));
        port_ = QRegularExpression(QStringLiteral("listening on [^:]*:(\\d+)")).match(output_).captured(1).toUShort();
    }
    ~RunningServer() { process_.kill(); process_.waitForFinished(); }

    quint16 port() const { return port_; }
    QProcess& process() { return process_; }
    // Waits until the output holds `text`.
    bool printed(const QString& text)
    {
        const auto seen = [&] { return (output_ += process_.readAll()).contains(text); };
        return waitFor([&] { return seen() || process_.state() == QProcess::NotRunning; }, kTimeoutMs) && seen();
    }

private:
    QProcess process_;
    QString output_;
    quint16 port_ = 0;
};

// The exit code (-1 when it crashed or hung) and everything it printed.
std::pair<int, QString> runToEnd(const QStringList& args)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral(QORNC_SERVER_BINARY), args);
    if (!process.waitForFinished(kTimeoutMs))
        process.kill();
    process.waitForFinished();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAll()};
}

QString writeFile(const QTemporaryDir& dir, const char* name, const QByteArray& content)
{
    QFile file(dir.filePath(QString::fromLatin1(name)));
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() ? file.fileName() : QString();
}

} // namespace

// Exit codes: 0 for help, 1 for a bad value, 2 for a bad accounts or state file, 3 when the port is
// taken; and the manual page that documents them. The installed-program check tries the others.
TEST(ServerBinary, ExitCodesAndOptionsAsDocumented)
{
    QTcpServer occupant;
    ASSERT_TRUE(occupant.listen(QHostAddress::LocalHost, 0));
    QTemporaryDir dir;
    const QString broken = writeFile(dir, "broken", "# fine\nalice\n");
    const std::tuple<QStringList, int, const char*> cases[] = {
        {{"--help"}, 0, "--max-connections-per-host N"},
        {{"--max-queued-per-host", "0"}, 1, "bad value '0' for --max-queued-per-host"},
        {{"--accounts", broken}, 2, "line 2"},
        {{"--state-file", dir.path()}, 2, "cannot read state file"},
        {{"--state-file", broken}, 2, "line 2"},
        {{"--state-file", "/nonexistent/state"}, 2, "cannot lock state file"},
        {{"--listen", "127.0.0.1", "--port", QString::number(occupant.serverPort())}, 3, "cannot listen"},
    };
    for (const auto& [args, exitCode, textPart] : cases) {
        const auto [code, output] = runToEnd(args);
        EXPECT_EQ(code, exitCode) << textPart;
        EXPECT_TRUE(output.contains(QLatin1String(textPart))) << output.toStdString();
    }

    // The manual page lists exactly the options and defaults that --help does.
    QFile page(QStringLiteral(QORNC_SERVER_MANUAL));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const auto found = [](const QString& text) {
        std::set<std::string> all;
        for (const auto& match : QRegularExpression(QStringLiteral("--[a-z-]+|default \\d+")).globalMatch(text))
            all.insert(match.captured().toStdString());
        return all;
    };
    EXPECT_EQ(found(QString::fromUtf8(page.readAll()).replace(QLatin1String("\\-"), QLatin1String("-"))),
              found(runToEnd({"--help"}).second));
}

// The descriptor table is sized for every connection at start: grown later, with the hash and
// journal threads sharing it, each doubling stalled the event loop for 10 to 20 ms.
TEST(ServerBinary, MakesRoomForAllItsConnectionsAtStart)
{
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
    const auto wanted = static_cast<qulonglong>(std::min<rlim_t>(3000, limit.rlim_max));
    RunningServer server({"--max-connections", "3000"});
    QFile status(QStringLiteral("/proc/%1/status").arg(server.process().processId()));
    ASSERT_TRUE(status.open(QIODevice::ReadOnly));
    const auto size = QRegularExpression(QStringLiteral("FDSize:\\s*(\\d+)")).match(QString::fromLatin1(status.readAll()));
    ASSERT_TRUE(size.hasMatch());
    EXPECT_GE(size.captured(1).toULongLong(), wanted);
}

// A kill right after the registrations loses none of them, nor does the line a crash cut short; a
// second server on the file refuses to start; a symbolic link stays one and its target holds the
// accounts.
TEST(ServerBinary, RegisteredNamesSurviveAKillBehindALinkWithOneServerPerFile)
{
    NotifySink sink;
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("real")));
    ASSERT_FALSE(writeFile(dir, "real/state", "").isEmpty());
    const QString state = dir.filePath(QStringLiteral("state"));
    ASSERT_TRUE(QFile::link(QStringLiteral("real/state"), state));
    const QStringList args = {"--notify-port", QString::number(sink.port()), "--state-file", state, "--bot", "echo",
                              "--accounts", writeFile(dir, "accounts", "# preset\r\nbob preset pw\r\n")};
    {
        RunningServer first(args);
        const auto [code, output] = runToEnd({"--state-file", dir.filePath(QStringLiteral("real/state")), "--listen=127.0.0.1", "--port=0"});
        EXPECT_EQ(code, 2);
        EXPECT_TRUE(output.contains(QLatin1String("in use by another qornc-server"))) << output.toStdString();
        std::vector<std::unique_ptr<RequestClient>> clients;
        for (int i = 0; i < 10; ++i) {
            clients.push_back(std::make_unique<RequestClient>(first.port()));
            clients.back()->send("login alice" + std::to_string(i) + " s3cret word");
        }
        for (int i = 0; i < 10; ++i)
            ASSERT_TRUE(first.printed(QStringLiteral("login alice%1 from").arg(i)));
        first.process().kill();
    }
    EXPECT_TRUE(QFileInfo(state).isSymLink());
    QFile file(state);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(saved.contains(" alice" + QByteArray::number(i) + "\n")) << i << saved.toStdString();
    EXPECT_FALSE(saved.contains("s3cret"));
    EXPECT_EQ(file.permissions(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    file.close();
    // As a crash in the middle of a write leaves it: that line was never confirmed to anyone.
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(saved.mid(saved.indexOf("$argon2id$"), 40));
    file.close();

    RunningServer second(args);
    EXPECT_TRUE(second.printed(QStringLiteral("cut short")));
    RequestClient thief(second.port());
    thief.send("getbuddy alice0 stolen alice0");
    RequestClient owner(second.port());
    owner.send("getbuddy alice9 s3cret word alice9");
    owner.send("message bob preset pw echo hi");
    ASSERT_TRUE(sink.waitForCount(2, kTimeoutMs));
    waitFor([] { return false; }, 200);
    EXPECT_EQ(sink.received(), (std::vector<QByteArray>{note("getbuddy false alice9"), note("message echo hi")}));
}

// Names registered while the disk is full are used only once they are on disk, which they are
// as soon as there is room again, and after a clean stop.
TEST(ServerBinary, RegistrationsOnAFullDiskAreSavedOnceThereIsRoom)
{
    QORNC_IN_OWN_NAMESPACE();
    QTemporaryDir dir;
    ASSERT_EQ(QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=64k", "tmpfs", dir.path()}), 0);
    // A file that ends just short of a page, so that the next line needs room the disk lacks.
    const std::string hash = PasswordHasher(PasswordHasher::cheapestCost()).hash("pad").value();
    JournalState padded;
    padded.accounts.emplace("pad", hash);
    const std::size_t nameBytes = 4090 - formatSnapshot(padded).size() + 3;
    padded.accounts = {{std::string(nameBytes, 'p'), hash}};
    ASSERT_EQ(formatSnapshot(padded).size(), 4090U);
    ASSERT_FALSE(writeFile(dir, "state", QByteArray::fromStdString(formatSnapshot(padded))).isEmpty());
    NotifySink sink;
    RunningServer server({"--notify-port", QString::number(sink.port()), "--state-file", dir.filePath("state")});
    const QString filler = dir.filePath(QStringLiteral("filler"));
    QProcess::execute(QStringLiteral("sh"), {"-c", "cat /dev/zero > \"$0\" 2>/dev/null", filler});
    std::vector<std::unique_ptr<RequestClient>> clients;
    for (const std::string name : {"n1", "n2", "n3"}) {
        clients.push_back(std::make_unique<RequestClient>(server.port()));
        clients.back()->send("login " + name + " pw");
        clients.back()->send("getbuddy " + name + " pw " + name);
    }
    ASSERT_TRUE(server.printed(QStringLiteral("No space left on device")));
    waitFor([] { return false; }, 1500);
    EXPECT_TRUE(sink.received().empty()) << "a name was used before it was on disk";

    QFile::remove(filler);
    EXPECT_TRUE(sink.waitForCount(3, kTimeoutMs));
    server.process().terminate();
    ASSERT_TRUE(server.process().waitForFinished(kTimeoutMs));
    EXPECT_EQ(server.process().exitCode(), 0);
    QFile state(dir.filePath(QStringLiteral("state")));
    ASSERT_TRUE(state.open(QIODevice::ReadOnly));
    const QByteArray saved = state.readAll();
    EXPECT_TRUE(saved.contains(" n1\n") && saved.contains(" n2\n") && saved.contains(" n3\n")) << saved.toStdString();
    QProcess::execute(QStringLiteral("umount"), {dir.path()});
}

// Messages for a user who logged out wait in the state file through a clean stop and arrive in
// order at that user's next login.
TEST(ServerBinary, MessagesHeldForAUserWhoLoggedOutSurviveARestart)
{
    QTemporaryDir dir;
    NotifySink bobHost("127.0.0.7");
    const QStringList args = {"--notify-port", QString::number(bobHost.port()), "--state-file",
                              dir.filePath(QStringLiteral("state"))};
    {
        RunningServer first(args);
        RequestClient bob(first.port(), "127.0.0.7");
        bob.send("login bob b pw");
        ASSERT_TRUE(first.printed(QStringLiteral("login bob from")));
        bob.send("logout bob b pw");
        RequestClient alice(first.port());
        alice.send("login alice a pw");
        for (const char* text : {"one", "two", "three"})
            alice.send("message alice a pw bob " + std::string(text));
        ASSERT_TRUE(first.printed(QStringLiteral("(5 bytes) held: recipient offline")));
        first.process().terminate();
        ASSERT_TRUE(first.process().waitForFinished(kTimeoutMs));
        EXPECT_EQ(first.process().exitCode(), 0);
    }
    RunningServer second(args);
    RequestClient bob(second.port(), "127.0.0.7");
    bob.send("login bob b pw");
    ASSERT_TRUE(bobHost.waitForCount(3, kTimeoutMs));
    EXPECT_EQ(bobHost.received(), (std::vector<QByteArray>{note("message alice one"), note("message alice two"),
                                                           note("message alice three")}));
}
