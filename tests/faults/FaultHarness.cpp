#include "FaultHarness.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTcpSocket>
#include <QTimer>

ClientUnderTest::ClientUnderTest(const QByteArray& info, const QByteArray& list)
{
    WriteBytes(folder.filePath(QStringLiteral("info.cfg")).toStdString(), info.toStdString());
    WriteBytes(listPath().toStdString(), list.toStdString());
    options.configDir = folder.path().toStdString();
    options.serverPort = server.port();
    options.notifyPort = 0;
    options.connectTimeoutMs = 1000;
    options.queryPendingTimeoutMs = 300;
}

void ClientUnderTest::Open()
{
    QTimer canceller;
    QObject::connect(&canceller, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    canceller.start(20);
    app = std::make_unique<CClientApp>(options, boxes);
    app->InitInstance();
    window().Open();
    // The connect runs on with the window; the faults are about what follows its end.
    WaitFor([this] { return !app->server().isConnecting(); }, options.connectTimeoutMs + 2000);
}

QString ClientUnderTest::text(int controlId)
{
    QWidget* control = window().control(controlId);
    if (auto* line = qobject_cast<QLineEdit*>(control))
        return line->text();
    return qobject_cast<QPlainTextEdit*>(control)->toPlainText();
}

bool ClientUnderTest::DeliverAndHold(const QByteArray& bytes, const QHostAddress& from)
{
    QTcpSocket* socket = server.Deliver(app->listener().port(), bytes, from);
    if (socket == nullptr)
        return false;
    Settle(100);
    socket->abort();
    socket->deleteLater();
    return true;
}
