#include "ui/TrayClick.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

TrayClick::TrayClick(QObject* parent)
    : QObject(parent)
{
    // The embedded icon is a widget Qt creates privately, reached only through the application.
    qApp->installEventFilter(this);
}

TrayClick::~TrayClick()
{
    qApp->removeEventFilter(this);
}

void TrayClick::OnActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger && !m_embedded)
        emit clicked();
}

bool TrayClick::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick)
        return false;
    auto* icon = qobject_cast<QWidget*>(watched);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (icon == nullptr || !icon->inherits("QSystemTrayIconSys") || mouse->button() != Qt::LeftButton)
        return false;
    m_embedded = true;
    // The second press of a double click arrives as a double-click event: it starts no click.
    const bool wasPressed = m_pressed;
    m_pressed = type == QEvent::MouseButtonPress;
    if (type == QEvent::MouseButtonRelease && wasPressed && icon->rect().contains(mouse->position().toPoint()))
        emit clicked();
    return false;
}
