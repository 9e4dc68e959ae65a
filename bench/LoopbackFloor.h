// The bare loopback cost of the traffic the client's scale runs cause, with no client and no
// chat server behind it: the floor those runs are divided by.
#pragma once

#include <QByteArray>
#include <QHostAddress>

#include <vector>

// requests blocks of blockSize bytes written on one connection to a reader thread, which for
// every second block (and the first) opens one connection back and writes one NUL-ended text
// into a plain QTcpServer here; returns the seconds until every text was read.
double PresenceFloorSeconds(int requests, int deliveries, int blockSize);
// count connections, each carrying one NUL-ended text, into a plain QTcpServer here.
double FloodFloorSeconds(int count);

// Opens one connection per text to 127.0.0.1:port and writes it; blocking, for a sender thread.
// Returns how many connections failed.
int SendEachOnItsOwnConnection(quint16 port, const std::vector<QByteArray>& texts);
