#include "net/ServerConnection.h"


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
    m_connectBound.setSingleShot(true);
    connect(&m_connectBound, &QTimer::timeout, this, [this] { EndConnect(wsa::kTimedOut); });
}

void ServerConnection::BeginConnect(std::size_t loginBlockSize)
{
    AbandonConnect();
    m_serverSocket.Close(); // a failed attempt's socket never outlives the next attempt
    const auto block = LoginBlock(m_state.g_userId.view(), m_state.g_password.view(), loginBlockSize);
    if (!block) {
        // Connected without a login, the client would look logged in and never hear a thing.
        m_state.g_link.OnConnectFailed();
        emit connectEnded(QString::fromLatin1(kLoginTooLongText));
        return;
    }
    m_loginBlock = *block;
    m_connecting = true;
    m_state.g_link.OnConnecting();
    m_serverSocket.ConnectTo(QString::fromStdString(m_state.g_serverIp.str()), m_port);
    if (!m_connecting)
        return; // failed inside connectToHost (no route, say): its error has ended the attempt
    QTcpSocket* socket = m_serverSocket.socket();
    if (socket->state() == QAbstractSocket::UnconnectedState) {
        EndConnect(WsaCodeFor(*socket));
        return;
    }
    connect(socket, &QTcpSocket::connected, this, &ServerConnection::OnConnected);
    m_connectBound.start(m_connectTimeoutMs);
}

void ServerConnection::OnConnected()
{
    if (!m_connecting)
        return;
    EndConnect(0);
}

// Failures while connecting come through the socket's error signal (OnLinkLost), success
// through OnConnected, the bound through its timer; each ends the attempt once.
void ServerConnection::EndConnect(int errorCode)
{
    m_connecting = false;
    m_connectBound.stop();
    if (errorCode == 0 && !m_serverSocket.isConnected())
        errorCode = WsaCodeFor(*m_serverSocket.socket());
    if (errorCode != 0) {
        m_serverSocket.Close();
        m_state.g_link.OnConnectFailed();
        emit connectEnded(FromStd(ConnectFailedText(errorCode)));
        return;
    }
    m_serverSocket.KeepAlive();
    (void)m_serverSocket.Send(m_loginBlock); // as ever, the login's result is not examined
    m_loginWatch.LoggedIn(LoginWatch::Clock::now());
    m_state.g_link.OnConnected();
    emit connectEnded(QString::fromLatin1(kNoStatusText.data(), qsizetype(kNoStatusText.size())));
}

void ServerConnection::AbandonConnect()
{
    if (!m_connecting)
        return;
    m_connecting = false;
    m_connectBound.stop();
    m_serverSocket.Close();
    m_state.g_link.OnConnectFailed();
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
    if (m_connecting) {
        EndConnect(errorCode != 0 ? errorCode : wsa::kConnRefused);
        return;
    }
    if (m_state.g_link.g_connected != 1)
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
