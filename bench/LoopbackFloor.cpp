#include "LoopbackFloor.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "BenchClock.h"
#include "net/NotificationListener.h"

using namespace std::chrono_literals;

namespace {

int ConnectTo(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Counts NUL-ended texts arriving on accepted connections, as a client's listener reads them.
class CountingListener : public QObject {
public:
    CountingListener()
    {
        // The same accept queue as the client's listener, so the floor and the client differ
        // only in what happens after the accept.
        m_server.setListenBacklogSize(NotificationListener::kListenBacklog);
        m_server.listen(QHostAddress::LocalHost, 0);
        m_server.setMaxPendingConnections(1000);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                Read(socket);
            }
        });
    }
    quint16 port() const { return m_server.serverPort(); }
    int texts = 0;

private:
    void Read(QTcpSocket* socket) { texts += int(socket->readAll().count('\0')); }
    QTcpServer m_server;
};

}  // namespace

int SendEachOnItsOwnConnection(quint16 port, const std::vector<QByteArray>& texts)
{
    int failed = 0;
    for (const QByteArray& text : texts) {
        const int fd = ConnectTo(port);
        if (fd < 0 || ::write(fd, text.constData(), std::size_t(text.size())) != text.size())
            ++failed;
        if (fd >= 0)
            ::close(fd);
    }
    return failed;
}

double PresenceFloorSeconds(int requests, int deliveries, int blockSize)
{
    CountingListener listener;
    // A raw listening socket: a QTcpServer would race the far thread for the connection.
    const int listenFd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(listenFd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ::listen(listenFd, 1);
    ::getsockname(listenFd, reinterpret_cast<sockaddr*>(&address), &length);
    const quint16 requestPort = ntohs(address.sin_port);
    const quint16 deliveryPort = listener.port();
    QElapsedTimer timer;
    timer.start();
    // The far side: reads the request blocks and answers on fresh connections, as a server does.
    std::thread far([=] {
        const int link = ::accept(listenFd, nullptr, nullptr);
        std::vector<char> block(static_cast<std::size_t>(blockSize));
        int answered = 0;
        for (int i = 0; i < requests; ++i) {
            std::size_t got = 0;
            while (got < block.size()) {
                const ssize_t n = ::read(link, block.data() + got, block.size() - got);
                if (n <= 0)
                    break;
                got += std::size_t(n);
            }
            if (answered < deliveries && (i == 0 || i % 2 == 1)) {
                SendEachOnItsOwnConnection(deliveryPort, {QByteArray("getbuddy true b0000", 20)});
                ++answered;
            }
        }
        ::close(link);
    });
    QTcpSocket requestLink;
    requestLink.connectToHost(QHostAddress::LocalHost, requestPort);
    requestLink.waitForConnected(2000);
    const QByteArray block(blockSize, 'g');
    for (int i = 0; i < requests; ++i)
        requestLink.write(block);
    requestLink.flush();
    SpinUntil([&] { return listener.texts >= deliveries; }, 60s);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    far.join();
    ::close(listenFd);
    return seconds;
}

double FloodFloorSeconds(int count)
{
    CountingListener listener;
    std::vector<QByteArray> texts(std::size_t(count), QByteArray("message sender m00000 text\0", 27));
    QElapsedTimer timer;
    timer.start();
    std::thread sender([&, port = listener.port()] { SendEachOnItsOwnConnection(port, texts); });
    SpinUntil([&] { return listener.texts >= count; }, 120s);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    sender.join();
    return seconds;
}
