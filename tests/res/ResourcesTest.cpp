#include "res/Resources.h"

#include <QImage>

#include <set>

#include <gtest/gtest.h>

// Outside any namespace: the resource registration is a global function of the library.
static QImage IconImage(int iconId, int size)
{
    Q_INIT_RESOURCE(resources);
    return QImage(QString::fromStdString(IconResourcePath(iconId, size)));
}

// Both icons the tray swaps are linked in under their ids, in every size at that size, and tell apart.
TEST(Resources, IconsAreFoundByTheirIds)
{
    for (const int size : kIconSizes) {
        const QImage normal = IconImage(IDR_MAINFRAME, size);
        const QImage alert = IconImage(IDI_ALERT, size);
        ASSERT_FALSE(normal.isNull()) << size;
        ASSERT_FALSE(alert.isNull()) << size;
        EXPECT_EQ(normal.size(), QSize(size, size));
        EXPECT_EQ(alert.size(), QSize(size, size));
        EXPECT_NE(normal, alert);
    }
    EXPECT_TRUE(IconImage(IDD_CLIENT, 32).isNull());
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
