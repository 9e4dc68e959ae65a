// The shared fixture: a temporary working folder, a fake server on loopback, recorded message
// boxes and the client application started with every port injected.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "app/CClientApp.h"
#include "app/rules/ClientState.h"
#include "common/NotificationParser.h"
#include "presence/rules/NotificationHandler.h"
#include "res/Resources.h"
#include "support/FakeServer.h"
#include "support/RecordingBoxes.h"
#include "support/TempDir.h"
#include "support/WaitFor.h"
#include "ui/CClientDlg.h"

// Failures show texts, not code units.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// Acts on the next modal dialog, from inside its exec(), while the watcher lives: a test is never
// blocked by one.
class ModalWatcher : public QObject {
public:
    explicit ModalWatcher(std::function<void(QDialog*)> action);
    [[nodiscard]] bool seen() const { return m_seen; }

private:
    QTimer m_poll;
    std::function<void(QDialog*)> m_action;
    bool m_seen = false;
};

// Types text character by character, as key presses a layout has no key for: each goes through
// the control's own limits, which a paste or setText would pass by.
void TypeKeys(QWidget* control, const QString& text);

class UiFixture : public ::testing::Test {
protected:
    void WriteInfo(const std::string& name, const std::string& password, const std::string& server = "127.0.0.1");
    void WriteList(std::string_view bytes);
    [[nodiscard]] std::string ReadList() const { return ReadBytes(dir / "list.cfg"); }

    // Creates the application and opens the main window (server up unless a port is given).
    void Start(bool trayAvailable = false);
    [[nodiscard]] CClientDlg& window() { return *app->mainWindow(); }
    [[nodiscard]] ClientState& state() { return app->state(); }
    // Stores a notification as a delivery would, leaving the pump to show it.
    void Store(std::string_view text) { HandleNotification(state(), state(), ParseNotification(text)); }

    template <class Control> [[nodiscard]] Control* control(int id) { return qobject_cast<Control*>(window().control(id)); }
    [[nodiscard]] QPlainTextEdit* contacts() { return control<QPlainTextEdit>(IDC_CONTACTS); }
    [[nodiscard]] QPlainTextEdit* conversation() { return control<QPlainTextEdit>(IDC_CONVERSATION); }
    [[nodiscard]] QListWidget* online() { return control<QListWidget>(IDC_ONLINE); }
    [[nodiscard]] QLineEdit* input() { return control<QLineEdit>(IDC_INPUT); }
    [[nodiscard]] QString status() { return control<QLineEdit>(IDC_STATUS)->text(); }
    [[nodiscard]] QPushButton* button(int id) { return control<QPushButton>(id); }

    // The server tells the client; waits until the client's pump has applied it.
    void Deliver(const QByteArray& text);
    void DeliverPresence(const QStringList& names, bool online);
    // Selects exactly the given rows of the Online list.
    void SelectRows(std::initializer_list<int> rows);
    [[nodiscard]] std::vector<int> SelectedRows();

    TempDir dir;
    FakeServer server;
    RecordingBoxes boxes;
    ClientAppOptions options;
    bool awaitConnect = true; // Start returns once the start-up connect has ended
    std::unique_ptr<CClientApp> app;
};
