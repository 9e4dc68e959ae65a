#include "ui/MessageBoxes.h"

#include <QMessageBox>

#include "ui/TextCatalog.h"

namespace {
const QString kBoxCaption = QStringLiteral("QORNC");
}

void QtMessageBoxes::Information(QWidget* owner, const QString& text)
{
    QMessageBox::information(owner, kBoxCaption, Translated(text));
}

void QtMessageBoxes::Stop(QWidget* owner, const QString& text)
{
    QMessageBox::critical(owner, kBoxCaption, Translated(text));
}
