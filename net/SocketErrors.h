// Naming socket failures by their Windows Sockets codes, so every status text reads the same
// whatever the platform reports.
#pragma once

#include <QAbstractSocket>

inline constexpr int kHostNotFoundCode = 11001; // not in either name table: shown as "Unknown error"

[[nodiscard]] int WsaCodeFor(QAbstractSocket::SocketError error);
