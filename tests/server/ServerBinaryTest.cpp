#include "LoopbackHarness.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>

#include <set>

using namespace qornc::server::test;

namespace {

constexpr int kTimeoutMs = 10'000;

// Starts the program on a free loopback port; returns that port, 0 on failure.
quint16 start(QProcess& process, QStringList args)
{
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral(QORNC_SERVER_BINARY), args << "--listen=127.0.0.1" << "--port=0");
    QString out;
    const QRegularExpression ready(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
    waitFor([&] { return ready.match(out += process.readAll()).hasMatch() || process.state() == QProcess::NotRunning; },
            kTimeoutMs);
    return ready.match(out).captured(1).toUShort();
}

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

// Exit codes: 0 for help and version, 2 for a bad command line, accounts or state file, 1 when
// the port is taken; and the manual page that documents them.
TEST(ServerBinary, ExitCodesAndOptionsAsDocumented)
{
    QTcpServer occupant;
    ASSERT_TRUE(occupant.listen(QHostAddress::LocalHost, 0));
    QTemporaryDir dir;
    const QString broken = writeFile(dir, "broken", "# fine\nalice\n");
    const std::tuple<QStringList, int, const char*> cases[] = {
        {{"--help"}, 0, "--max-connections-per-host N"},
        {{"--version"}, 0, "qornc-server 1."},
        {{"--bogus"}, 2, "unknown option '--bogus'"},
        {{"--max-queued-per-host", "0"}, 2, "bad value '0' for --max-queued-per-host"},
        {{"--accounts", broken}, 2, "line 2"},
        {{"--state-file", dir.path()}, 2, "cannot read state file"},
        {{"--state-file", broken}, 2, "line 2"},
        {{"--state-file", "/nonexistent/state"}, 2, "cannot write state file"},
        {{"--listen", "127.0.0.1", "--port", QString::number(occupant.serverPort())}, 1, "cannot listen"},
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

TEST(ServerBinary, RegisteredNameKeepsItsPasswordAcrossARestart)
{
    NotifySink sink;
    QTemporaryDir dir;
    const QString state = dir.filePath(QStringLiteral("state"));
    const QStringList args = {"--notify-port", QString::number(sink.port()), "--state-file", state, "--bot", "echo",
                              "--accounts", writeFile(dir, "accounts", "# preset\r\nbob preset pw\r\n")};
    QProcess first;
    RequestClient alice(start(first, args));
    alice.send("login alice s3cret word");
    alice.send("getbuddy alice s3cret word alice");
    ASSERT_TRUE(sink.waitForCount(1, kTimeoutMs));
    first.terminate();
    ASSERT_TRUE(first.waitForFinished(kTimeoutMs));
    EXPECT_EQ(first.exitCode(), 0);

    QFile file(state);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    EXPECT_TRUE(!saved.contains("s3cret") && saved.contains(" alice\n")) << saved.toStdString();
    EXPECT_EQ(QFile::permissions(state), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);

    QProcess second;
    const quint16 port = start(second, args);
    RequestClient thief(port);
    thief.send("getbuddy alice stolen alice");
    RequestClient owner(port);
    owner.send("getbuddy alice s3cret word alice");
    owner.send("message bob preset pw echo hi");
    ASSERT_TRUE(sink.waitForCount(3, kTimeoutMs));
    waitFor([] { return false; }, 200);
    EXPECT_EQ(sink.received(), (std::vector<QByteArray>{note("getbuddy true alice"), note("getbuddy false alice"),
                                                        note("message echo hi")}));
}
