// What the fault tests share: the client wired as the program wires it (ports injected, boxes
// recorded), a scripted stand-in for the chat server, and raw delivery connections.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QStringList>
#include <QTcpServer>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "app/ClientState.h"
#include "net/NotificationListener.h"
#include "net/ServerConnection.h"
#include "ui/CClientDlg.h"
#include "ui/MessageBoxes.h"

class QPlainTextEdit;
class QListWidget;
class QLineEdit;

class RecordingBoxes : public MessageBoxes {
public:
    void Information(QWidget*, const QString& text) override { shown.append(text); }
    void Stop(QWidget*, const QString& text) override { shown.append(text); }
    QStringList shown;
};

// Spins the event loop until done() or the time is up; returns done().
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(5));
// Spins the event loop for a while, for "nothing happens" checks.
void Spin(std::chrono::milliseconds time);

// A chat server that answers as each test scripts it; every request block is recorded.
class FakeServer : public QObject {
public:
    enum class Mode { Silent, CloseAtFirstGetBuddy };

    explicit FakeServer(Mode mode);
    [[nodiscard]] quint16 port() const { return m_server.serverPort(); }
    [[nodiscard]] QStringList requests() const { return m_requests; }
    // Bytes written on the request connection, as a server that has gone mad would.
    void SendOnRequestLink(const QByteArray& bytes);

private:
    void OnConnection();
    void OnBytes(QTcpSocket* socket);

    Mode m_mode;
    QTcpServer m_server;
    QTcpSocket* m_link = nullptr;
    QByteArray m_buffer;
    QStringList m_requests;
};

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

// Opens a delivery connection from 'from' to the listener and writes bytes; false if refused.
bool Deliver(quint16 port, const QByteArray& bytes, const QHostAddress& from = QHostAddress::LocalHost);

void WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);
