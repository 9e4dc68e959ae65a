#include "FaultHarness.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTcpSocket>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "res/Resources.h"

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limit.count())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

void Spin(std::chrono::milliseconds time)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < time.count())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

FakeServer::FakeServer(Mode mode)
    : m_mode(mode)
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, &FakeServer::OnConnection);
}

void FakeServer::OnConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        m_link = socket;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { OnBytes(socket); });
    }
}

void FakeServer::OnBytes(QTcpSocket* socket)
{
    m_buffer += socket->readAll();
    // Blocks are NUL filled: every run of non-NUL bytes is one request.
    for (const QByteArray& text : m_buffer.split('\0')) {
        if (!text.isEmpty())
            m_requests.append(QString::fromUtf8(text));
    }
    m_buffer.clear();
    if (m_mode == Mode::CloseAtFirstGetBuddy && !m_requests.filter(QStringLiteral("getbuddy")).isEmpty()) {
        socket->abort();
        m_link = nullptr;
    }
}

void FakeServer::SendOnRequestLink(const QByteArray& bytes)
{
    if (m_link != nullptr) {
        m_link->write(bytes);
        m_link->flush();
    }
}

ClientUnderTest::ClientUnderTest(quint16 serverPort, const std::string& listText)
    : server(state, serverPort, 2000)
    , listener(state)
{
    WriteFile(folder.filePath(QStringLiteral("list.cfg")), QByteArray::fromStdString(listText));
    state.g_userId.assign("tester");
    state.g_password.assign("secret");
    state.g_serverIp.assign("127.0.0.1");
    ClientDlgOptions options;
    options.configDir = folder.path().toStdString();
    options.notifyPort = 0; // any free port; the tests ask the listener which
    options.queryPendingTimeoutMs = 300;
    window = std::make_unique<CClientDlg>(state, server, listener, boxes, options);
}

void ClientUnderTest::Open()
{
    window->Open();
}

QString ClientUnderTest::conversation() const
{
    return qobject_cast<QPlainTextEdit*>(window->control(IDC_CONVERSATION))->toPlainText();
}

QString ClientUnderTest::status() const
{
    return qobject_cast<QLineEdit*>(window->control(IDC_STATUS))->text();
}

QString ClientUnderTest::contacts() const
{
    return qobject_cast<QPlainTextEdit*>(window->control(IDC_CONTACTS))->toPlainText();
}

QStringList ClientUnderTest::online() const
{
    QStringList names;
    const auto* list = qobject_cast<QListWidget*>(window->control(IDC_ONLINE));
    for (int row = 0; row < list->count(); ++row)
        names.append(list->item(row)->text());
    return names;
}

bool Deliver(quint16 port, const QByteArray& bytes, const QHostAddress& from)
{
    QTcpSocket socket;
    if (!socket.bind(from, 0))
        return false;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!WaitUntil([&] { return socket.state() == QAbstractSocket::ConnectedState; }, std::chrono::seconds(1)))
        return false;
    socket.write(bytes);
    WaitUntil([&] { return socket.bytesToWrite() == 0; });
    // Held until the client has had its chance to read, as a server's delivery is.
    Spin(std::chrono::milliseconds(50));
    return true;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}
