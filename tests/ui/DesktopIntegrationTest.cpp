// Where the desktop has no tray: a notification per sender on a private bus with a recording
// notification service. And the names a screen reader says for every control.
#include <QAccessible>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QTest>

#include "UiFixture.h"
#include "app/CSetupDlg.h"
#include "res/Resources.h"
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
    [[nodiscard]] qsizetype Count(const QString& member) const { return calls.value(member).size(); }
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
    QDBusConnection service = QDBusConnection::connectToBus(address, QStringLiteral("fake-service"));
    ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.Notifications")));
    ASSERT_TRUE(service.registerVirtualObject(kPath, &fake));
    const QDBusConnection client = QDBusConnection::connectToBus(address, QStringLiteral("client"));

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
    ASSERT_TRUE(WaitFor([&] { return fake.Count("Notify") == 1; }));
    const QVariantList first = fake.calls["Notify"][0];
    const QString body = "&lt;b&gt;hi&lt;/b&gt; &amp;   " + QString(86, 'x') + QChar(0x2026);
    EXPECT_EQ(first.mid(0, 6), (QVariantList{"QORNC", 0u, "qornc", "bob", body, QStringList{"default", "Show"}}));
    EXPECT_EQ(qdbus_cast<QVariantMap>(first[6]).value("desktop-entry"), "qornc");

    Deliver("message bob again"); // replaces his first
    ASSERT_TRUE(WaitFor([&] { return fake.Count("Notify") == 2; }));
    Deliver("message carol yo"); // gets her own
    ASSERT_TRUE(WaitFor([&] { return fake.Count("Notify") == 3; }));
    EXPECT_EQ(fake.calls["Notify"][1].mid(1, 4), (QVariantList{1u, "qornc", "bob", "again"}));
    EXPECT_EQ(fake.calls["Notify"][2].mid(1, 3), (QVariantList{0u, "qornc", "carol"}));

    service.send(QDBusMessage::createSignal(kPath, "org.freedesktop.Notifications", "ActionInvoked") << 1u
                                                                                                   << "default");
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    ASSERT_TRUE(WaitFor([&] { return fake.Count("CloseNotification") == 2; }));
    EXPECT_TRUE(fake.calls["CloseNotification"].contains(QVariantList{1u}));
    EXPECT_TRUE(fake.calls["CloseNotification"].contains(QVariantList{2u}));
    bus.kill();
    bus.waitForFinished();
}

using AccessibleNamesTest = UiFixture;

TEST_F(AccessibleNamesTest, EveryFocusableControlHasAUniqueName)
{
    Start(false);
    CSetupDlg setup(state(), dir.path(), boxes);
    CAboutDlg about;
    QWidget* status = window().control(IDC_STATUS);
    for (QWidget* top : std::initializer_list<QWidget*>{&window(), &setup, &about}) {
        QStringList names;
        for (QWidget* control : top->findChildren<QWidget*>()) {
            if ((control->focusPolicy() & Qt::TabFocus) == 0 && control != status)
                continue;
            const QString name = QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
            EXPECT_FALSE(name.isEmpty()) << control->metaObject()->className();
            EXPECT_FALSE(names.contains(name)) << name.toStdString();
            names << name;
        }
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(status)->text(QAccessible::Name), "Status");
}

}  // namespace
