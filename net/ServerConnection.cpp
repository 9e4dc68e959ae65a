#include "net/ServerConnection.h"

#include <QEventLoop>
#include <QTimer>

#include "common/Protocol.h"
#include "common/RequestBlock.h"
#include "net/SocketErrors.h"
#include "net/rules/ErrorNames.h"
#include "net/rules/LinkState.h"

namespace {

constexpr int kExitLogoutWaitMs = 1000;

QString FromStd(const std::string& text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

}  // namespace

ServerConnection::ServerConnection(LinkState& state, NotificationSink sink, quint16 port, int connectTimeoutMs,
                                   QObject* parent)
    : QObject(parent)
    , m_state(state)
    , m_serverSocket(std::move(sink), this)
    , m_port(port)
    , m_connectTimeoutMs(connectTimeoutMs)
{
    connect(&m_serverSocket, &CLinkSocket::received, this, &ServerConnection::received);
    connect(&m_serverSocket, &CLinkSocket::linkLost, this, &ServerConnection::OnLinkLost);
}

QString ServerConnection::ConnectAndLogin(std::size_t loginBlockSize)
{
    m_serverSocket.Close(); // a failed attempt's socket never outlives the next attempt
    const auto block = LoginBlock(m_state.g_userId.view(), m_state.g_password.view(), loginBlockSize);
    if (!block) {
        // Connected without a login, the client would look logged in and never hear a thing.
        m_state.g_link.OnConnectFailed();
        return QString::fromLatin1(kLoginTooLongText);
    }
    m_serverSocket.ConnectTo(QString::fromStdString(m_state.g_serverIp.str()), m_port);
    const int errorCode = WaitForConnection();
    if (errorCode != 0) {
        m_serverSocket.Close();
        m_state.g_link.OnConnectFailed();
        return FromStd(ConnectFailedText(errorCode));
    }
    m_serverSocket.KeepAlive();
    (void)m_serverSocket.Send(*block); // as ever, the login's result is not examined
    m_loginWatch.LoggedIn(LoginWatch::Clock::now());
    m_state.g_link.OnConnected();
    return QString::fromLatin1(kNoStatusText.data(), qsizetype(kNoStatusText.size()));
}

int ServerConnection::WaitForConnection()
{
    QTcpSocket* socket = m_serverSocket.socket();
    if (socket->state() == QAbstractSocket::ConnectedState)
        return 0;
    // A failure Qt meets inside connectToHost (no route, say) is reported there and then, before
    // anything below listens for it: waiting would only wait out the bound.
    if (socket->state() == QAbstractSocket::UnconnectedState)
        return WsaCodeFor(*socket);
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    int errorCode = 0;
    connect(socket, &QTcpSocket::connected, &loop, &QEventLoop::quit);
    connect(socket, &QTcpSocket::errorOccurred, &loop, [&] {
        errorCode = WsaCodeFor(*socket);
        loop.quit();
    });
    connect(&timeout, &QTimer::timeout, &loop, [&] {
        errorCode = wsa::kTimedOut;
        loop.quit();
    });
    m_connecting = true;
    m_connectWait = &loop;
    timeout.start(m_connectTimeoutMs);
    if (const int cancelledWith = loop.exec(QEventLoop::ExcludeUserInputEvents); cancelledWith != 0)
        errorCode = cancelledWith;
    m_connecting = false;
    if (errorCode == 0 && socket->state() != QAbstractSocket::ConnectedState)
        errorCode = WsaCodeFor(*socket);
    return errorCode;
}

void ServerConnection::CancelConnect()
{
    if (m_connectWait != nullptr)
        m_connectWait->exit(wsa::kTimedOut);
}

bool ServerConnection::LogoutAndClose()
{
    // The link ends whatever the logout did: a user must always be able to get out.
    const auto block = LogoutBlock(m_state.g_userId.view(), m_state.g_password.view());
    const bool loggedOut = block && !m_serverSocket.Send(*block).failed();
    if (loggedOut)
        m_serverSocket.CloseGracefully();
    else
        m_serverSocket.Close();
    m_state.g_link.OnDisconnected();
    m_state.g_queryPending = 0;
    return loggedOut;
}

void ServerConnection::LogoutAtExit()
{
    if (const auto block = LogoutBlock(m_state.g_userId.view(), m_state.g_password.view())) {
        if (!m_serverSocket.Send(*block).failed())
            m_serverSocket.WaitForBytesWritten(kExitLogoutWaitMs);
    }
}

void ServerConnection::OnLinkLost(int errorCode)
{
    if (m_connecting || m_state.g_link.g_connected != 1)
        return;
    // The client would otherwise go on believing it is connected, and Connect stays refused.
    // Marked first, so that an error raised while closing finds the link already down.
    m_state.g_link.OnDisconnected();
    m_serverSocket.Close(); // what the server wrote before it closed is taken in here
    m_state.g_queryPending = 0;
    if (m_serverSocket.hasTakenBytes())
        m_loginWatch.Answered();
    if (m_loginWatch.EndedUnanswered(LoginWatch::Clock::now())) {
        emit linkLost(QString::fromLatin1(kLoginRefusedText));
        return;
    }
    const std::string_view name = SendErrorName(errorCode);
    emit linkLost(QString::fromLatin1(kLinkLostText).arg(QString::fromLatin1(name.data(), qsizetype(name.size()))));
}
