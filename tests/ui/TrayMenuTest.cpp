// The tray icon's menu and pictures as the notification area gets them: Show or Hide, Connect or
// Disconnect as things stand, Exit as File > Exit; every size of the pictures the package ships.
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include "support/UiFixture.h"

namespace {

class TrayMenuTest : public UiFixture {
protected:
    [[nodiscard]] QStringList Entries()
    {
        QStringList texts;
        for (const QAction* action : window().tray().contextMenu()->actions())
            texts.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        return texts;
    }
    void Choose(const QString& text)
    {
        for (QAction* action : window().tray().contextMenu()->actions()) {
            if (action->text() == text && action->isEnabled()) {
                action->trigger();
                return;
            }
        }
        ADD_FAILURE() << "no enabled entry " << text.toStdString();
    }
};

QImage Shipped(const char* name, int size)
{
    return QImage(QStringLiteral(QORNC_SOURCE_DIR "/res/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(name))
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace

TEST_F(TrayMenuTest, TheMenuOffersWhatTheWindowAndTheLinkAllowAndExitEndsTheClient)
{
    Start(true);
    ASSERT_NE(window().tray().contextMenu(), nullptr);
    EXPECT_EQ(Entries(), QStringList({"&Show", "&Disconnect", "-", "E&xit"}));
    Choose("&Show");
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(Entries().first(), QStringLiteral("&Hide"));
    Choose("&Disconnect");
    ASSERT_TRUE(server.WaitForBlocks("logout", 1));
    EXPECT_EQ(Entries().at(1), QStringLiteral("&Connect"));
    Choose("&Connect");
    ASSERT_TRUE(server.WaitForBlocks("login", 2));
    EXPECT_TRUE(WaitFor([this] { return Entries().at(1) == QStringLiteral("&Disconnect"); }));
    Choose("&Hide");
    EXPECT_FALSE(window().isVisible());
    QSignalSpy exited(&window(), &CClientDlg::exited);
    Choose("E&xit");
    EXPECT_EQ(exited.count(), 1);
    EXPECT_TRUE(window().tray().icon().isNull()) << "the icon outlived Exit";
}

TEST_F(TrayMenuTest, TheWindowAndTheTrayCarryEveryShippedSize)
{
    Start(true);
    window().tray().StartAlert();
    struct Picture {
        const char* name;
        QIcon icon;
    };
    const Picture pictures[] = {{"qornc", window().windowIcon()}, {"qornc-alert", window().tray().icon()}};
    for (const Picture& picture : pictures) {
        for (const int size : {16, 32, 48, 64, 128, 256}) {
            SCOPED_TRACE(std::string(picture.name) + " " + std::to_string(size));
            const QImage drawn = picture.icon.pixmap(QSize(size, size)).toImage().convertToFormat(
                QImage::Format_ARGB32_Premultiplied);
            EXPECT_EQ(drawn.size(), QSize(size, size));
            EXPECT_TRUE(drawn == Shipped(picture.name, size)) << "not the shipped picture of that size";
        }
    }
    window().tray().StopAlert();
    window().tray().ShowLink(false);
    EXPECT_EQ(window().tray().icon().pixmap(QSize(128, 128)).size(), QSize(128, 128)) << "the greyed picture";
}
