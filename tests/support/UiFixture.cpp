#include "support/UiFixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>

#include "support/NulText.h"

ModalWatcher::ModalWatcher(std::function<void(QDialog*)> action)
    : m_action(std::move(action))
{
    connect(&m_poll, &QTimer::timeout, this, [this] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            m_seen = true;
            m_poll.stop();
            m_action(dialog);
        }
    });
    m_poll.start(10);
}

void TypeKeys(QWidget* control, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(control, &press);
    }
}

void UiFixture::WriteInfo(const std::string& name, const std::string& password, const std::string& server_)
{
    WriteBytes(dir / "info.cfg", "userid " + name + "\r\npassword " + password + "\r\nserverip " + server_ + "\r\n");
}

void UiFixture::WriteList(std::string_view bytes)
{
    WriteBytes(dir / "list.cfg", bytes);
}

void UiFixture::Start(bool trayAvailable)
{
    options.configDir = dir.path();
    if (options.serverPort == kServerPort)
        options.serverPort = server.port();
    options.notifyPort = 0;
    if (options.connectTimeoutMs == ServerConnection::kDefaultConnectTimeoutMs)
        options.connectTimeoutMs = 3000;
    options.trayAvailable = trayAvailable;
    if (!std::filesystem::exists(dir / "info.cfg"))
        WriteInfo("me", "pw");
    app = std::make_unique<CClientApp>(options, boxes);
    app->InitInstance();
    app->mainWindow()->Open();
    if (awaitConnect)
        WaitFor([this] { return !app->server().isConnecting(); }, options.connectTimeoutMs + 2000);
    QTest::qWait(20); // the first pass of the pump
}

void UiFixture::Deliver(const QByteArray& text)
{
    int handled = 0;
    const QMetaObject::Connection counting =
        QObject::connect(&app->listener(), &NotificationListener::received, [&handled] { ++handled; });
    server.DeliverAndClose(app->listener().port(), NulText(text));
    const bool arrived = QTest::qWaitFor([&] { return handled > 0; }, 3000);
    QObject::disconnect(counting);
    ASSERT_TRUE(arrived) << text.toStdString();
    QTest::qWait(10); // the pump's pass that applies it
}

void UiFixture::DeliverPresence(const QStringList& names, bool isOnline)
{
    for (const QString& name : names)
        Deliver(QByteArray(isOnline ? "getbuddy true " : "getbuddy false ") + name.toUtf8());
    // Rebuilds of the Online list are spaced out under a burst of answers: wait for the last.
    EXPECT_TRUE(QTest::qWaitFor([this] { return state().g_onlineRebuildDue == 0; }, 1000));
}

void UiFixture::SelectRows(std::initializer_list<int> rows)
{
    online()->clearSelection();
    for (const int row : rows)
        online()->item(row)->setSelected(true);
}

std::vector<int> UiFixture::SelectedRows()
{
    std::vector<int> rows;
    for (int row = 0; row < online()->count(); ++row) {
        if (online()->item(row)->isSelected())
            rows.push_back(row);
    }
    return rows;
}
