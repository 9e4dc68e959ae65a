#include "LoopbackHarness.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>

#include <tuple>

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

// Exit codes: 0 for help, 2 for a bad command line or accounts file, 1 when the port is taken.
TEST(ServerBinary, ExitCodesAsDocumented)
{
    const ProcessResult help = runToEnd({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QLatin1String("--notify-port"))) << help.out.toStdString();

    QTcpServer occupant;
    ASSERT_TRUE(occupant.listen(QHostAddress::LocalHost, 0));
    const QString taken = QString::number(occupant.serverPort());
    const std::tuple<QStringList, int, const char*> cases[] = {
        {{"--bogus"}, 2, "unknown option '--bogus'"},
        {{"--accounts", "/nonexistent/accounts"}, 2, "cannot read accounts file"},
        {{"--listen", "127.0.0.1", "--port", taken}, 1, "cannot listen"},
    };
    for (const auto& [args, exitCode, errorPart] : cases) {
        const ProcessResult bad = runToEnd(args);
        EXPECT_EQ(bad.exitCode, exitCode) << errorPart;
        EXPECT_TRUE(bad.err.contains(QLatin1String(errorPart))) << bad.err.toStdString();
    }
}

TEST(ServerBinary, ServesABotAndStopsCleanlyOnSigterm)
{
    NotifySink sink;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString accounts = dir.filePath(QStringLiteral("accounts"));
    QFile file(accounts);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("alice preset pw\n") > 0 && file.flush());
    QProcess process;
    const quint16 port = startServer(process, {"--notify-port", QString::number(sink.port()), "--bot", "echo",
                                               "--accounts", accounts});
    ASSERT_NE(port, 0) << process.readAllStandardError().toStdString();

    RequestClient alice(port);
    alice.send("message alice preset pw echo hi there");
    ASSERT_TRUE(sink.waitForCount(1, kTimeoutMs));
    EXPECT_EQ(sink.received().front(), QByteArray("message echo hi there", 22));

    process.terminate();
    ASSERT_TRUE(process.waitForFinished(kTimeoutMs));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    const QString log = QString::fromUtf8(process.readAllStandardOutput());
    EXPECT_TRUE(log.contains(QStringLiteral("message alice -> echo (8 bytes)"))) << log.toStdString();
    EXPECT_FALSE(log.contains(QStringLiteral("preset pw")));
}
