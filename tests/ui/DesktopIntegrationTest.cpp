// Where the desktop has no tray: a notification per sender on a private bus with a recording
// notification service. And the names a screen reader says for every control.
#include <QAccessible>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include "app/CSetupDlg.h"
#include "res/Resources.h"
#include "support/UiFixture.h"
#include "ui/CAboutDlg.h"

namespace {

const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

// Answers as a notification server that takes markup: a new id, or the one being replaced.
class FakeNotifications : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& call, const QDBusConnection& bus) override
    {
        calls[call.member()].push_back(call.arguments());
        if (call.member() == QLatin1String("GetCapabilities"))
            bus.send(call.createReply(QStringList{"body", "body-markup", "actions"}));
        else if (call.member() == QLatin1String("Notify"))
            bus.send(call.createReply(call.arguments()[1].toUInt() != 0 ? call.arguments()[1].toUInt() : ++lastId));
        return true;
    }
    QHash<QString, QList<QVariantList>> calls; // the arguments of each call, by method
    uint lastId = 0;
};

using DesktopNotifyTest = UiFixture;

TEST_F(DesktopNotifyTest, UnseenMessagesWithoutTrayNotifyOncePerSenderUntilTheWindowIsActive)
{
    QProcess bus; // a private session bus, with the recording service on it
    bus.start(QStringLiteral("dbus-daemon"), {"--session", "--print-address", "--nofork"});
    ASSERT_TRUE(bus.waitForReadyRead(5000));
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();
    FakeNotifications fake;
    QDBusConnection service = QDBusConnection::connectToBus(address, "service " + address);
    ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.Notifications")));
    ASSERT_TRUE(service.registerVirtualObject(kPath, &fake));
    const QDBusConnection client = QDBusConnection::connectToBus(address, "client " + address);

    Start(true); // with a tray the icon alone alerts
    window().notifier().UseBus(client);
    Deliver("message bob hi");
    Settle(200);
    EXPECT_TRUE(fake.calls.isEmpty());
    app.reset();

    Start(false);
    window().notifier().UseBus(client);
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    Deliver("message bob <b>hi</b> & \x1b\xe2\x80\xae" + QByteArray(100, 'x'));
    ASSERT_TRUE(WaitFor([&] { return fake.calls.value("Notify").size() == 1; }));
    const QVariantList first = fake.calls["Notify"][0];
    const QString body = "&lt;b&gt;hi&lt;/b&gt; &amp;   " + QString(86, 'x') + QChar(0x2026);
    EXPECT_EQ(first.mid(0, 6), (QVariantList{"QORNC", 0u, "qornc", "bob", body, QStringList{"default", "Show"}}));
    EXPECT_EQ(qdbus_cast<QVariantMap>(first[6]).value("desktop-entry"), "qornc");

    Deliver("message bob caf\xe9"); // replaces his first, in a single-byte code page
    ASSERT_TRUE(WaitFor([&] { return fake.calls.value("Notify").size() == 2; }));
    Deliver("message carol yo"); // gets her own
    ASSERT_TRUE(WaitFor([&] { return fake.calls.value("Notify").size() == 3; }));
    EXPECT_EQ(fake.calls["Notify"][1].mid(1, 4), (QVariantList{1u, "qornc", "bob", QStringLiteral("caf\u00e9")}));
    EXPECT_EQ(fake.calls["Notify"][2].mid(1, 3), (QVariantList{0u, "qornc", "carol"}));

    service.send(QDBusMessage::createSignal(kPath, "org.freedesktop.Notifications", "ActionInvoked") << 1u
                                                                                                   << "default");
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    ASSERT_TRUE(WaitFor([&] { return fake.calls.value("CloseNotification").size() == 2; }));
    EXPECT_TRUE(fake.calls["CloseNotification"].contains(QVariantList{1u}));
    EXPECT_TRUE(fake.calls["CloseNotification"].contains(QVariantList{2u}));
    bus.kill();
    bus.waitForFinished();
}

// What a screen reader says, control by control, as Tab goes round the window from first.
QStringList NamesInTabOrder(QWidget* first)
{
    QStringList names;
    QWidget* widget = first;
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) != 0 && widget->isVisibleTo(first->window()))
            names << QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
        widget = widget->nextInFocusChain();
    } while (widget != first && names.size() < 50);
    return names;
}

using AccessibleNamesTest = UiFixture;

TEST_F(AccessibleNamesTest, EveryControlIsNamedInTabOrder)
{
    Start(false);
    EXPECT_EQ(NamesInTabOrder(window().control(IDOK)),
              QStringList({"Exit", "Update list", "Online", "Contact list", "Connect", "Disconnect", "Message to send",
                           "Messages", "Edit list"}));
    QWidget* status = window().control(IDC_STATUS); // no tab stop, but a reader finds it
    EXPECT_EQ(QAccessible::queryAccessibleInterface(status)->text(QAccessible::Name), "Status");
    CSetupDlg setup(state(), dir.path(), boxes);
    EXPECT_EQ(NamesInTabOrder(setup.findChild<QPushButton*>()), QStringList({"OK", "Name", "Password", "Show password", "Server IP"}));
    CAboutDlg about;
    EXPECT_EQ(NamesInTabOrder(about.findChild<QPushButton*>()), QStringList{"OK"});
}

}  // namespace
