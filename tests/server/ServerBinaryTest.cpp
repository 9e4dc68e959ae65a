#include "LoopbackHarness.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>

#include <tuple>

#include <sys/stat.h>

using namespace qornc::server::test;

namespace {

constexpr int kTimeoutMs = 10'000;

struct ProcessResult {
    int exitCode = -1;
    QString out;
    QString err;
};

ProcessResult runToEnd(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(QORNC_SERVER_BINARY), args);
    ProcessResult run;
    if (!process.waitForFinished(kTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// Starts the program on a free loopback port; returns that port, 0 on failure.
quint16 startServer(QProcess& process, QStringList args)
{
    args << "--listen" << "127.0.0.1" << "--port" << "0";
    process.start(QStringLiteral(QORNC_SERVER_BINARY), args);
    QString out;
    const QRegularExpression listening(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
    QRegularExpressionMatch match;
    waitFor([&] {
        out += QString::fromUtf8(process.readAllStandardOutput());
        match = listening.match(out);
        return match.hasMatch() || process.state() == QProcess::NotRunning;
    }, kTimeoutMs);
    return match.hasMatch() ? match.captured(1).toUShort() : 0;
}

} // namespace

// Exit codes: 0 for help and version, 2 for a bad command line, accounts or state file, 1 when the port is taken.
TEST(ServerBinary, ExitCodesAsDocumented)
{
    QTcpServer occupant;
    ASSERT_TRUE(occupant.listen(QHostAddress::LocalHost, 0));
    const QString taken = QString::number(occupant.serverPort());
    QTemporaryDir dir;
    QFile broken(dir.filePath(QStringLiteral("broken")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly) && broken.write("alice s3cret\n") > 0 && broken.flush());
    const std::tuple<QStringList, int, const char*> cases[] = {
        {{"--help"}, 0, "--max-connections-per-host N"},
        {{"--version"}, 0, "qornc-server 1."},
        {{"--bogus"}, 2, "unknown option '--bogus'"},
        {{"--max-queued-per-host", "0"}, 2, "bad value '0' for --max-queued-per-host"},
        {{"--port", "65536"}, 2, "bad port '65536'"},
        {{"--accounts", "/nonexistent/accounts"}, 2, "cannot read accounts file"},
        {{"--state-file", dir.path()}, 2, "cannot read state file"},
        {{"--state-file", broken.fileName()}, 2, "line 1"},
        {{"--state-file", "/nonexistent/state"}, 2, "cannot write state file"},
        {{"--listen", "127.0.0.1", "--port", taken}, 1, "cannot listen"},
    };
    for (const auto& [args, exitCode, textPart] : cases) {
        const ProcessResult run = runToEnd(args);
        EXPECT_EQ(run.exitCode, exitCode) << textPart;
        EXPECT_TRUE((run.out + run.err).contains(QLatin1String(textPart))) << (run.out + run.err).toStdString();
    }
}

// The manual page lists exactly the options and defaults that --help does.
TEST(ServerBinary, ManualPageMatchesHelp)
{
    QFile page(QStringLiteral(QORNC_SERVER_MANUAL));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString manual = QString::fromUtf8(page.readAll()).replace(QLatin1String("\\-"), QLatin1String("-"));
    const QString help = runToEnd({"--help"}).out;
    const QRegularExpression pattern(QStringLiteral("--[a-z-]+|default \\d+"));
    const auto found = [&](const QString& text) {
        QStringList all; // as one text, so a failure shows readable names
        for (const auto& match : pattern.globalMatch(text))
            all << match.captured();
        all.removeDuplicates();
        all.sort();
        return all.join(QLatin1Char(' ')).toStdString();
    };
    EXPECT_FALSE(found(help).empty());
    EXPECT_EQ(found(manual), found(help));
}

TEST(ServerBinary, RegisteredNameKeepsItsPasswordAcrossARestart)
{
    NotifySink sink;
    QTemporaryDir dir;
    const QString state = dir.filePath(QStringLiteral("state"));
    QFile accounts(dir.filePath(QStringLiteral("accounts")));
    ASSERT_TRUE(accounts.open(QIODevice::WriteOnly) && accounts.write("bob preset pw\n") > 0 && accounts.flush());
    const QStringList args = {"--notify-port", QString::number(sink.port()), "--state-file", state,
                              "--accounts", accounts.fileName(), "--bot", "echo"};
    QProcess first;
    quint16 port = startServer(first, args);
    ASSERT_NE(port, 0) << first.readAllStandardError().toStdString();
    RequestClient alice(port);
    alice.send("login alice s3cret word");
    alice.send("getbuddy alice s3cret word alice");
    ASSERT_TRUE(sink.waitForCount(1, kTimeoutMs));
    first.terminate();
    ASSERT_TRUE(first.waitForFinished(kTimeoutMs));
    EXPECT_EQ(first.exitCode(), 0);

    QFile file(state);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    struct stat status{};
    EXPECT_TRUE(::stat(state.toLocal8Bit().constData(), &status) == 0 && (status.st_mode & 0777) == 0600);
    EXPECT_FALSE(saved.contains("s3cret")) << saved.toStdString();
    EXPECT_TRUE(saved.contains(" alice\n")) << saved.toStdString();

    QProcess second;
    port = startServer(second, args);
    ASSERT_NE(port, 0);
    RequestClient thief(port);
    thief.send("login alice stolen");
    thief.send("getbuddy alice stolen alice");
    RequestClient owner(port);
    owner.send("getbuddy alice s3cret word alice");
    owner.send("message bob preset pw echo hi");
    ASSERT_TRUE(sink.waitForCount(3, kTimeoutMs));
    waitFor([] { return false; }, 200);
    EXPECT_EQ(sink.received(), (std::vector<QByteArray>{QByteArray("getbuddy true alice", 20),
                                                        QByteArray("getbuddy false alice", 21),
                                                        QByteArray("message echo hi", 16)}));
    second.terminate();
    ASSERT_TRUE(second.waitForFinished(kTimeoutMs));
    EXPECT_TRUE(second.readAllStandardOutput().contains("wrong password for alice"));
}
