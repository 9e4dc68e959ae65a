#include "ui/MessageBoxes.h"

#include <QMessageBox>

namespace {
const QString kBoxCaption = QStringLiteral("QORNC");
}

void QtMessageBoxes::Information(QWidget* owner, const QString& text)
{
    QMessageBox::information(owner, kBoxCaption, text);
}

void QtMessageBoxes::Stop(QWidget* owner, const QString& text)
{
    QMessageBox::critical(owner, kBoxCaption, text);
}
