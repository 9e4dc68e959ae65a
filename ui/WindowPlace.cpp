#include "ui/WindowPlace.h"

#include <QEvent>
#include <QRect>
#include <QWidget>

WindowPlace::WindowPlace(QWidget& window)
    : QObject(&window)
    , m_window(window)
{
    m_window.installEventFilter(this);
}

bool WindowPlace::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &m_window)
        return false;
    if (event->type() == QEvent::Hide && !event->spontaneous() && !m_window.isMinimized()) {
        m_clientTopLeft = m_window.geometry().topLeft();
        m_placed = true;
    } else if (event->type() == QEvent::Show && !event->spontaneous() && m_placed) {
        // Placed by its client area before it is mapped: the frame is the manager's to add.
        m_window.setGeometry(QRect(m_clientTopLeft, m_window.size()));
    }
    return false;
}
