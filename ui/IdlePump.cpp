#include "ui/IdlePump.h"

#include <QCoreApplication>
#include <QEvent>

namespace {
const QEvent::Type kWakeEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
}

IdlePump::IdlePump(std::function<void()> pass, QObject* parent)
    : QObject(parent)
    , m_pass(std::move(pass))
{
}

IdlePump::~IdlePump()
{
    Uninstall();
}

void IdlePump::Install()
{
    if (!m_installed && QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->installEventFilter(this);
        m_installed = true;
    }
}

void IdlePump::Uninstall()
{
    if (m_installed && QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->removeEventFilter(this);
    m_installed = false;
}

void IdlePump::Schedule()
{
    if (m_scheduled)
        return;
    m_scheduled = true;
    QCoreApplication::postEvent(this, new QEvent(kWakeEvent));
}

void IdlePump::RunPass()
{
    if (m_running || m_suspended > 0)
        return;
    m_running = true;
    ++m_passes;
    m_pass();
    m_running = false;
}

void IdlePump::Resume()
{
    if (--m_suspended == 0)
        Schedule(); // whatever arrived meanwhile is applied now
}

bool IdlePump::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == this && event->type() == kWakeEvent)
        m_scheduled = false; // before the pass, so a step that stores again schedules again
    RunPass();
    return false;
}

void IdlePump::customEvent(QEvent* event)
{
    if (event->type() != kWakeEvent)
        return;
    if (m_installed)
        return; // the filter has already run the pass for this event
    m_scheduled = false;
    RunPass();
}
