#include "ui/EnterKeySend.h"

#include <QDialog>
#include <QKeyEvent>

EnterKeySend::EnterKeySend(QDialog* dialog, std::function<void()> send)
    : QObject(dialog)
    , m_dialog(dialog)
    , m_send(std::move(send))
{
    dialog->installEventFilter(this);
}

// A key a child did not take reaches the dialog itself: Enter arrives here only from controls
// where it means nothing.
bool EnterKeySend::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_dialog || event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return false;
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    m_send();
    return true;
}
