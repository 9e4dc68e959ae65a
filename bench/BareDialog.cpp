#include "BareDialog.h"

#include <QHash>
#include <QMenuBar>

#include "res/Resources.h"
#include "ui/DialogBuilder.h"

BareDialog::BareDialog()
{
    setWindowTitle(QString::fromUtf8(kClientDialog.caption.data(), qsizetype(kClientDialog.caption.size())));
    auto* menuBar = new QMenuBar(this);
    QHash<QString, QMenu*> menus;
    for (const MenuItemTemplate& item : kClientMenu) {
        const QString title = QString::fromUtf8(item.menu.data(), qsizetype(item.menu.size()));
        QMenu*& menu = menus[title];
        if (menu == nullptr)
            menu = menuBar->addMenu(title);
        menu->addAction(QString::fromUtf8(item.item.data(), qsizetype(item.item.size())));
    }
    const DialogUnits units = DialogUnits::ForFont(font());
    const int menuHeight = menuBar->sizeHint().height();
    BuildControls(kClientDialog, this, units, QPoint(0, menuHeight));
    const QSize client = units.ToPixels(kClientDialog.width, kClientDialog.height);
    setFixedSize(client.width(), client.height() + menuHeight);
}
