#include "ui/TrayIcon.h"

#include "app/ClientState.h"

namespace {
const QString kNormalTip = QStringLiteral("QORNC");
const QString kAlertTip = QStringLiteral("QORNC - New message(s)");
}

TrayIcon::TrayIcon(ClientState& state, bool available, QObject* parent)
    : QObject(parent)
    , m_state(state)
    , m_available(available)
{
    m_blink.setInterval(kBlinkIntervalMs);
    connect(&m_blink, &QTimer::timeout, this, &TrayIcon::BlinkTimerProc);
}

QIcon TrayIcon::NormalIcon()
{
    return QIcon(QStringLiteral(":/icons/128.xpm"));
}

QIcon TrayIcon::AlertIcon()
{
    return QIcon(QStringLiteral(":/icons/132.xpm"));
}

void TrayIcon::Add()
{
    Modify(false, kNormalTip);
    if (!m_available || m_tray != nullptr)
        return;
    m_tray = new QSystemTrayIcon(NormalIcon(), this);
    m_tray->setToolTip(kNormalTip);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            emit activated();
    });
    m_tray->show();
}

void TrayIcon::Remove()
{
    if (m_tray == nullptr)
        return;
    m_tray->hide();
    m_tray->deleteLater();
    m_tray = nullptr;
}

void TrayIcon::StartAlert()
{
    m_state.g_alertActive = 1;
    m_state.g_blinkPhase = 1;
    Modify(true, kAlertTip);
    m_blink.start(); // restarting puts the next blink a full second after the latest message
}

void TrayIcon::StopAlert()
{
    m_state.g_alertActive = 0;
    m_blink.stop();
    m_state.g_blinkPhase = 1;
    Modify(false, kNormalTip);
}

void TrayIcon::BlinkTimerProc()
{
    const bool alertNext = m_state.g_blinkPhase != 1;
    m_state.g_blinkPhase = alertNext ? 1 : 0;
    Modify(alertNext, m_toolTip);
}

void TrayIcon::Modify(bool alertIcon, const QString& toolTip)
{
    m_showingAlert = alertIcon;
    m_toolTip = toolTip;
    if (m_tray == nullptr)
        return;
    m_tray->setIcon(alertIcon ? AlertIcon() : NormalIcon());
    m_tray->setToolTip(toolTip);
}
