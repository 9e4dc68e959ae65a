// What the fault tests share: the client started as the program starts it, in a folder of its
// own, against a scripted server, with every port injected and every message box recorded.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QTemporaryDir>

#include <memory>

#include "app/CClientApp.h"
#include "support/FakeServer.h"
#include "support/RecordingBoxes.h"
#include "support/TempDir.h"
#include "support/WaitFor.h"

inline const QByteArray kInfo = "userid tester\r\npassword secret\r\nserverip 127.0.0.1\r\n";

class ClientUnderTest {
public:
    ClientUnderTest(const QByteArray& info = kInfo, const QByteArray& list = "alice\nbob\ncarol\n");
    // Start-up as the program does it, with options; a setup dialog for an unusable info.cfg is
    // cancelled.
    void Open();

    [[nodiscard]] CClientDlg& window() { return *app->mainWindow(); }
    [[nodiscard]] ClientState& state() { return app->state(); }
    [[nodiscard]] QString text(int controlId);
    [[nodiscard]] QString listPath() const { return folder.filePath(QStringLiteral("list.cfg")); }
    // Delivers bytes to the listener and holds the connection until the client has had its
    // chance to read, as a server's delivery is; false if no connection could be made.
    bool DeliverAndHold(const QByteArray& bytes, const QHostAddress& from = QHostAddress::LocalHost);

    QTemporaryDir folder;
    FakeServer server;
    RecordingBoxes boxes;
    ClientAppOptions options;
    std::unique_ptr<CClientApp> app;
};
