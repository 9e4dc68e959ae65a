#include "res/Resources.h"

#include <QImage>

#include <set>

#include <gtest/gtest.h>

// Outside any namespace: the resource registration is a global function of the library.
static QImage IconImage(int iconId)
{
    Q_INIT_RESOURCE(resources);
    return QImage(QString::fromStdString(IconResourcePath(iconId)));
}

// Both icons the tray swaps are linked in under their ids, 32 x 32, and tell apart.
TEST(Resources, IconsAreFoundByTheirIds)
{
    const QImage normal = IconImage(IDR_MAINFRAME);
    const QImage alert = IconImage(IDI_ALERT);
    ASSERT_FALSE(normal.isNull());
    ASSERT_FALSE(alert.isNull());
    EXPECT_EQ(normal.size(), QSize(32, 32));
    EXPECT_EQ(alert.size(), QSize(32, 32));
    EXPECT_NE(normal, alert);
    EXPECT_TRUE(IconImage(IDD_CLIENT).isNull());
}

// A control is found by its id, so two controls of one dialog must never share one.
TEST(Resources, EveryControlOfADialogHasAnIdOfItsOwn)
{
    for (const DialogTemplate* dialog : {&kClientDialog, &kSetupDialog, &kAboutDialog}) {
        std::set<int> ids;
        for (const ControlTemplate& control : dialog->controls) {
            if (control.id != IDC_STATIC) {
                EXPECT_TRUE(ids.insert(control.id).second) << dialog->id << ": " << control.id;
            }
        }
    }
}
