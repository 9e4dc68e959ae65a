// What the fault tests share: the client wired as the program wires it (ports injected, boxes
// recorded) and deliveries held open the way a server's are.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <string>

#include "app/ClientState.h"
#include "net/NotificationListener.h"
#include "net/ServerConnection.h"
#include "support/FakeServer.h"
#include "support/RecordingBoxes.h"
#include "support/WaitFor.h"
#include "ui/CClientDlg.h"

class QPlainTextEdit;
class QListWidget;
class QLineEdit;

// The client as CClientApp wires it, with a fast query timeout, in its own folder.
class ClientUnderTest {
public:
    ClientUnderTest(quint16 serverPort, const std::string& listText = "alice\nbob\ncarol\n");

    void Open(); // start-up: list.cfg, listener on a free port, connect, first refresh

    ClientState state;
    RecordingBoxes boxes;
    QTemporaryDir folder;
    ServerConnection server;
    NotificationListener listener;
    std::unique_ptr<CClientDlg> window;

    [[nodiscard]] QString conversation() const;
    [[nodiscard]] QString status() const;
    [[nodiscard]] QStringList online() const;
    [[nodiscard]] QString contacts() const;
};

// Delivers bytes from 'from' to the listener and holds the connection until the client has had
// its chance to read, then closes it; false if the connection could not be made.
bool DeliverAndHold(FakeServer& server, quint16 port, const QByteArray& bytes,
                    const QHostAddress& from = QHostAddress::LocalHost);

void WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);
