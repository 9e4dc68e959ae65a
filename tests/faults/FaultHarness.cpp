#include "FaultHarness.h"

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTcpSocket>

#include "res/Resources.h"

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

bool DeliverAndHold(FakeServer& server, quint16 port, const QByteArray& bytes, const QHostAddress& from)
{
    QTcpSocket* socket = server.Deliver(port, bytes, from);
    if (socket == nullptr)
        return false;
    (void)server.WaitDelivered(5000);
    // Held until the client has had its chance to read, as a server's delivery is.
    Settle(50);
    socket->abort();
    socket->deleteLater();
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
