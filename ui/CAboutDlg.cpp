#include "ui/CAboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include "res/Resources.h"
#include "res/Version.h"
#include "ui/DialogBuilder.h"
#include "ui/TextCatalog.h"

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(Translated(kAboutDialog.caption));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    const DialogUnits units = DialogUnits::ForFont(font());
    const QHash<int, QWidget*> controls = BuildControls(kAboutDialog, this, units);
    setFixedSize(units.ToPixels(kAboutDialog.width, kAboutDialog.height));
    qobject_cast<QLabel*>(controls.value(IDC_ABOUT_TEXT))->setText(AboutText());
    connect(qobject_cast<QPushButton*>(controls.value(IDOK)), &QPushButton::clicked, this, &QDialog::accept);
}

QString CAboutDlg::AboutText()
{
    return Translated(QStringLiteral("%1\nVersion %2\nby %3").arg(QLatin1String(kProductName), QLatin1String(kVersionText),
                                                      QLatin1String(kMakerText)));
}
