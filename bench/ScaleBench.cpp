// Presence at scale and the message flood, with the client's window driven in-process
// (offscreen) and each figure set against the bare loopback cost of the same traffic.
// Prints "key value" lines for scripts/bench.sh.
//   qornc_bench_scale presence N...   (against qornc-server with N bots)
//   qornc_bench_scale flood COUNT
//   qornc_bench_scale burst SENDERS COUNT PAUSE_MS   (each connects, pauses, then writes)
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <thread>

#include "BenchClock.h"
#include "LoopbackFloor.h"
#include "app/rules/ClientState.h"
#include "net/NotificationListener.h"
#include "net/ServerConnection.h"
#include "presence/rules/NotificationHandler.h"
#include "res/Resources.h"
#include "ui/CClientDlg.h"
#include "ui/MessageBoxes.h"

using namespace std::chrono_literals;

namespace {

class PrintedBoxes : public MessageBoxes {
public:
    void Information(QWidget*, const QString& text) override { std::fprintf(stderr, "box: %s\n", qPrintable(text)); }
    void Stop(QWidget*, const QString& text) override { std::fprintf(stderr, "box: %s\n", qPrintable(text)); }
};

// The client wired as CClientApp wires it, without the files' identity.
struct Client {
    Client(quint16 serverPort, quint16 notifyPort)
        : server(state, Apply(), serverPort)
        , listener(state, Apply())
    {
        QFile(folder.filePath("list.cfg")).open(QIODevice::WriteOnly); // empty: no start-up refresh
        state.g_userId.assign("bench");
        state.g_password.assign("bench-pass");
        state.g_serverIp.assign("127.0.0.1");
        ClientDlgOptions options;
        options.configDir = folder.path().toStdString();
        options.notifyPort = notifyPort;
        window = std::make_unique<CClientDlg>(state, state, state, server, listener, boxes, options);
        window->Open();
    }
    NotificationSink Apply()
    {
        return [this](Notification parsed) { HandleNotification(state, state, std::move(parsed)); };
    }
    QListWidget* online() const { return qobject_cast<QListWidget*>(window->control(IDC_ONLINE)); }
    QPlainTextEdit* conversation() const
    {
        return qobject_cast<QPlainTextEdit*>(window->control(IDC_CONVERSATION));
    }

    QTemporaryDir folder;
    ClientState state;
    PrintedBoxes boxes;
    ServerConnection server;
    NotificationListener listener;
    std::unique_ptr<CClientDlg> window;
};

QString BotName(int i)
{
    return QStringLiteral("b%1").arg(i, 4, 10, QLatin1Char('0'));
}

// The reference server with one echo bot per contact, so every contact is online.
class ReferenceServer {
public:
    ReferenceServer(int bots, quint16 notifyPort)
    {
        QStringList args{"--listen", "127.0.0.1", "--port", "0", "--notify-port", QString::number(notifyPort)};
        for (int i = 0; i < bots; ++i)
            args << "--bot" << BotName(i);
        m_log = m_folder.filePath("server.log");
        m_process.setStandardOutputFile(m_log);
        m_process.setStandardErrorFile(m_folder.filePath("server.err"));
        m_process.start(QStringLiteral(QORNC_SERVER_BINARY), args);
        const QRegularExpression listening(QStringLiteral("listening on [^:]+:(\\d+)"));
        SpinUntil([&] {
            QFile log(m_log);
            log.open(QIODevice::ReadOnly);
            const auto match = listening.match(QString::fromUtf8(log.readAll()));
            if (match.hasMatch())
                m_port = quint16(match.captured(1).toUInt());
            return m_port != 0;
        }, 10s);
    }
    ~ReferenceServer()
    {
        m_process.terminate();
        m_process.waitForFinished(3000);
    }
    quint16 port() const { return m_port; }

private:
    QTemporaryDir m_folder;
    QString m_log;
    QProcess m_process;
    quint16 m_port = 0;
};

void RunPresence(int contacts)
{
    const quint16 notifyPort = FreePort();
    ReferenceServer server(contacts, notifyPort);
    if (server.port() == 0) {
        std::printf("presence_%d_error server did not start\n", contacts);
        return;
    }
    Client client(server.port(), notifyPort);
    SpinUntil([&] { return !client.server.isConnecting(); }, 10s); // the connect runs on with the window
    if (client.state.g_link.g_connected != 1) {
        std::printf("presence_%d_error not connected\n", contacts);
        return;
    }
    QStringList names;
    for (int i = 0; i < contacts; ++i)
        names << BotName(i);
    // Put in while locked, as a loaded list is: the editor's own limit is for typing.
    qobject_cast<QPlainTextEdit*>(client.window->control(IDC_CONTACTS))->setPlainText(names.join('\n') + '\n');
    SpinUntil([] { return false; }, 200ms);

    QElapsedTimer timer;
    timer.start();
    client.window->OnUpdateListButton();
    const bool all = SpinUntil([&] { return client.online()->count() >= contacts; }, 60s);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const double floor = PresenceFloorSeconds(2 * contacts - 1, contacts, 128);
    std::printf("presence_%d_seconds %.4f\npresence_%d_rows %d\npresence_%d_complete %d\n"
                "presence_%d_floor_seconds %.4f\n",
                contacts, seconds, contacts, client.online()->count(), contacts, all ? 1 : 0, contacts, floor);
    std::fflush(stdout);
}

// Every text the conversation showed, checked for order as it changes.
struct ConversationWatch {
    std::set<int> seen;
    int outOfOrder = 0;
    int last = -1;
    void Take(const QString& text)
    {
        static const QRegularExpression line(QStringLiteral("flood: m(\\d+)"));
        for (auto it = line.globalMatch(text); it.hasNext();) {
            const int n = it.next().captured(1).toInt();
            if (seen.insert(n).second) {
                if (n < last)
                    ++outOfOrder;
                last = n;
            }
        }
    }
};

void RunFlood(int count)
{
    const quint16 notifyPort = FreePort();
    Client client(FreePort(), notifyPort); // no server: only deliveries matter here
    ConversationWatch watch;
    QPlainTextEdit* conversation = client.conversation();
    QObject::connect(conversation, &QPlainTextEdit::textChanged, [&] { watch.Take(conversation->toPlainText()); });
    std::vector<QByteArray> texts;
    for (int i = 0; i < count; ++i)
        texts.push_back(QStringLiteral("message flood m%1").arg(i, 5, 10, QLatin1Char('0')).toUtf8());
    for (QByteArray& text : texts)
        text.append('\0');

    QElapsedTimer timer;
    timer.start();
    int failed = 0;
    std::thread sender([&] { failed = SendEachOnItsOwnConnection(notifyPort, texts); });
    const bool last = SpinUntil([&] { return watch.seen.count(count - 1) == 1; }, 120s);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    sender.join();
    SpinUntil([] { return false; }, 300ms);
    const double floor = FloodFloorSeconds(count);
    std::printf("flood_count %d\nflood_seconds %.4f\nflood_last_shown %d\nflood_shown %zu\nflood_out_of_order %d\n"
                "flood_send_failures %d\nflood_floor_seconds %.4f\nflood_status %s\n",
                count, seconds, last ? 1 : 0, watch.seen.size(), watch.outOfOrder, failed, floor,
                qPrintable(qobject_cast<QLineEdit*>(client.window->control(IDC_STATUS))->text().replace(' ', '_')));
    std::fflush(stdout);
}

// One connection per text, with a pause between the connect and the write, as a server under
// load delivers: the connections of several such senders overlap, their texts not yet arrived.
int SendAfterPauses(quint16 port, const std::vector<QByteArray>& texts, std::chrono::milliseconds pause)
{
    int failed = 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (const QByteArray& text : texts) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        std::this_thread::sleep_for(pause);
        if (!connected || ::write(fd, text.constData(), std::size_t(text.size())) != text.size())
            ++failed;
        ::close(fd);
    }
    return failed;
}

void RunBurst(int senders, int count, int pauseMs)
{
    const quint16 notifyPort = FreePort();
    Client client(FreePort(), notifyPort);
    ConversationWatch watch;
    QPlainTextEdit* conversation = client.conversation();
    QObject::connect(conversation, &QPlainTextEdit::textChanged, [&] { watch.Take(conversation->toPlainText()); });
    std::vector<std::vector<QByteArray>> texts(static_cast<std::size_t>(senders));
    for (int i = 0; i < count; ++i) {
        QByteArray text = QStringLiteral("message flood m%1").arg(i, 5, 10, QLatin1Char('0')).toUtf8();
        texts[static_cast<std::size_t>(i % senders)].push_back(text.append('\0'));
    }
    QElapsedTimer timer;
    timer.start();
    std::atomic<int> failed = 0;
    std::vector<std::thread> threads;
    for (const auto& own : texts)
        threads.emplace_back([&, own] { failed += SendAfterPauses(notifyPort, own, std::chrono::milliseconds(pauseMs)); });
    SpinUntil([&] { return int(watch.seen.size()) == count; }, 120s);
    for (std::thread& thread : threads)
        thread.join();
    SpinUntil([&] { return int(watch.seen.size()) == count; }, 2s);
    std::printf("burst_senders %d\nburst_count %d\nburst_pause_ms %d\nburst_seconds %.4f\nburst_shown %zu\n"
                "burst_lost %d\nburst_send_failures %d\n",
                senders, count, pauseMs, double(timer.nsecsElapsed()) / 1e9, watch.seen.size(),
                count - int(watch.seen.size()), failed.load());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[])
{
    std::signal(SIGPIPE, SIG_IGN);
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    if (argc >= 3 && std::strcmp(argv[1], "presence") == 0) {
        for (int i = 2; i < argc; ++i)
            RunPresence(std::atoi(argv[i]));
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "flood") == 0) {
        RunFlood(std::atoi(argv[2]));
        return 0;
    }
    if (argc == 5 && std::strcmp(argv[1], "burst") == 0) {
        RunBurst(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
        return 0;
    }
    std::fprintf(stderr, "usage: qornc_bench_scale presence N... | flood COUNT | burst SENDERS COUNT PAUSE_MS\n");
    return 2;
}
