// Naming socket failures by their Windows Sockets codes, so every status text reads the same
// whatever the platform reports.
#pragma once

#include <QAbstractSocket>

[[nodiscard]] int WsaCodeFor(QAbstractSocket::SocketError error);
// The code of the socket's last error. Qt reports an unreachable host and an unreachable network
// as one kind of error; only its text tells them apart.
[[nodiscard]] int WsaCodeFor(const QAbstractSocket& socket);
