#include "app/SingleCopyHandOver.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QThread>

namespace {

const QByteArray kShow = "show";
const QByteArray kShown = "shown";
// "show", a space, a token and the line end; anything longer is no request of ours.
constexpr qint64 kRequestLimit = 512;
// A socket's address holds 108 bytes, the terminating NUL included.
constexpr qsizetype kSocketPathLimit = 107;
// A copy that holds the folder listens within moments of taking the lock.
constexpr int kConnectWindowMs = 1000;
constexpr unsigned long kConnectRetryMs = 50;

QString CanonicalFolder(const std::filesystem::path& configDir)
{
    const QDir folder(QFile::decodeName(QByteArray::fromStdString(configDir.string())));
    const QString canonical = folder.canonicalPath();
    return canonical.isEmpty() ? folder.absolutePath() : canonical;
}

// A token is printable and has no spaces; anything else is dropped rather than passed on.
QByteArray CleanToken(const QByteArray& token)
{
    for (const char c : token) {
        if (c <= ' ' || c > '~')
            return {};
    }
    return token.left(kRequestLimit - kShow.size() - 2);
}

}  // namespace

SingleCopyHandOver::SingleCopyHandOver(const std::filesystem::path& configDir, QObject* parent)
    : QObject(parent)
    , m_path(SocketPath(configDir))
{
    connect(&m_server, &QLocalServer::newConnection, this, &SingleCopyHandOver::OnConnection);
}

QString SingleCopyHandOver::SocketPath(const std::filesystem::path& configDir)
{
    const QString folder = CanonicalFolder(configDir);
    const QString inFolder = folder + QStringLiteral("/.qornc.sock");
    if (QFile::encodeName(inFolder).size() <= kSocketPathLimit)
        return inFolder;
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty())
        runtime = QDir::tempPath();
    const QByteArray name = QCryptographicHash::hash(QFile::encodeName(folder), QCryptographicHash::Sha256).toHex();
    return runtime + QStringLiteral("/qornc-") + QString::fromLatin1(name.left(32)) + QStringLiteral(".sock");
}

bool SingleCopyHandOver::Listen()
{
    // Only the copy that holds the folder's lock gets here: a socket at the path is a dead copy's.
    QLocalServer::removeServer(m_path);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    return m_server.listen(m_path);
}

void SingleCopyHandOver::OnConnection()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kRequestLimit)
                    socket->abort();
                return;
            }
            const QByteArray request = socket->readLine(kRequestLimit).trimmed();
            if (request == kShow || request.startsWith(kShow + ' ')) {
                emit showRequested(CleanToken(request.mid(kShow.size() + 1)));
                socket->write(kShown + '\n');
            }
            socket->disconnectFromServer();
        });
    }
}

bool SingleCopyHandOver::AskToShow(const QByteArray& activationToken, int timeoutMs) const
{
    const QDeadlineTimer connectDeadline(kConnectWindowMs);
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(m_path);
        if (socket.waitForConnected(int(deadline.remainingTime())))
            break;
        if (connectDeadline.hasExpired())
            return false;
        QThread::msleep(kConnectRetryMs);
    }
    const QByteArray token = CleanToken(activationToken);
    socket.write(token.isEmpty() ? kShow + '\n' : kShow + ' ' + token + '\n');
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    return socket.readLine(kRequestLimit).trimmed() == kShown;
}
