#include "net/SocketErrors.h"

#include <QCoreApplication>

#include "net/rules/ErrorNames.h"

int WsaCodeFor(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return wsa::kConnRefused;
    case QAbstractSocket::RemoteHostClosedError: return wsa::kConnReset;
    case QAbstractSocket::HostNotFoundError: return wsa::kHostNotFound;
    case QAbstractSocket::SocketAccessError: return wsa::kAccess;
    case QAbstractSocket::SocketResourceError: return wsa::kTooManyFiles;
    case QAbstractSocket::SocketTimeoutError: return wsa::kTimedOut;
    case QAbstractSocket::DatagramTooLargeError: return wsa::kMessageSize;
    case QAbstractSocket::NetworkError: return wsa::kNetUnreachable;
    case QAbstractSocket::AddressInUseError: return wsa::kAddrInUse;
    case QAbstractSocket::SocketAddressNotAvailableError: return wsa::kAddrNotAvailable;
    case QAbstractSocket::UnsupportedSocketOperationError: return wsa::kOpNotSupported;
    case QAbstractSocket::UnfinishedSocketOperationError: return wsa::kInProgress;
    case QAbstractSocket::OperationError: return wsa::kInvalid;
    case QAbstractSocket::TemporaryError: return wsa::kWouldBlock;
    default: return 0;
    }
}

int WsaCodeFor(const QAbstractSocket& socket)
{
    // The socket engine's own wording, through the same translation its text went through.
    static const char* const kHostUnreachableText = "Host unreachable";
    if (socket.error() == QAbstractSocket::NetworkError &&
        socket.errorString() == QCoreApplication::translate("QNativeSocketEngine", kHostUnreachableText))
        return wsa::kHostUnreachable;
    return WsaCodeFor(socket.error());
}
