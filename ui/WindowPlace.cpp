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
    if (watched != &m_window || event->spontaneous())
        return false;
    // Only a place the window was shown at is kept: before that the manager has not placed it.
    if (event->type() == QEvent::Hide && m_shown && !m_window.isMinimized()) {
        m_clientTopLeft = m_window.geometry().topLeft();
        m_placed = true;
    } else if (event->type() == QEvent::Show) {
        // Placed by its client area before it is mapped: the frame is the manager's to add.
        if (m_placed)
            m_window.setGeometry(QRect(m_clientTopLeft, m_window.size()));
        m_shown = true;
    }
    return false;
}
