#include "presence/OnlineList.h"

#include <QListWidget>

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

QStringList Rows(const QListWidget& list)
{
    QStringList rows;
    for (int index = 0; index < list.count(); ++index)
        rows << list.item(index)->text();
    return rows;
}

}  // namespace

// What the user reads and what a send goes to: rows in the list box's order, shown as characters
// but sent as the very bytes the server reported, the selection kept through every rebuild.
TEST(OnlineList, ShowsEachOnlineNameOnceInListOrderAndKeepsTheSelection)
{
    QListWidget widget;
    widget.setSelectionMode(QAbstractItemView::MultiSelection);
    OnlineList list(&widget);

    EXPECT_EQ(list.Show("carol\r\nAnn\r\nbob\r\n"), 3);
    EXPECT_EQ(Rows(widget), (QStringList{"Ann", "bob", "carol"}));

    widget.item(1)->setSelected(true);
    // A rebuild that adds and removes others leaves bob's row, and so his selection, in place.
    EXPECT_EQ(list.Show("bob\r\ncarol\r\ndave\r\n"), 2);
    EXPECT_EQ(Rows(widget), (QStringList{"bob", "carol", "dave"}));
    EXPECT_EQ(list.SelectedNames(2000), (std::vector<std::string>{"bob"}));
    EXPECT_EQ(list.Show("bob\r\ncarol\r\ndave\r\n"), 0);

    // A Windows-1252 peer's name reads as its characters and is sent back as its own bytes.
    EXPECT_EQ(list.Show("Ren\xe9\r\n"), 4);
    EXPECT_EQ(Rows(widget), (QStringList{QString::fromUtf8("Ren\xc3\xa9")}));
    widget.item(0)->setSelected(true);
    EXPECT_EQ(list.SelectedNames(2000), (std::vector<std::string>{"Ren\xe9"}));
    EXPECT_TRUE(list.SelectedNames(0).empty());

    EXPECT_EQ(list.Show(""), 1);
    EXPECT_TRUE(list.empty());
}
