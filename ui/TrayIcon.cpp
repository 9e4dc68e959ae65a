#include "ui/TrayIcon.h"

#include "app/ClientState.h"

namespace {
const QString kNormalTip = QStringLiteral("QORNC");
const QString kAlertTip = QStringLiteral("QORNC - New message(s)");
}

// The icons are compiled into the static Qt library, where no code refers to them: unless they
// are registered by name, the linker leaves them out and every icon loads empty.
static QIcon LoadIcon(const QString& path)
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    Q_UNUSED(registered);
    return QIcon(path);
}

TrayIcon::TrayIcon(ClientState& state, bool available, QObject* parent)
    : QObject(parent)
    , m_state(state)
    , m_available(available)
{
    m_blink.setInterval(kBlinkIntervalMs);
    connect(&m_blink, &QTimer::timeout, this, &TrayIcon::BlinkTimerProc);
    connect(&m_click, &TrayClick::clicked, this, &TrayIcon::activated);
}

QIcon TrayIcon::NormalIcon()
{
    return LoadIcon(QStringLiteral(":/icons/128.xpm"));
}

QIcon TrayIcon::AlertIcon()
{
    return LoadIcon(QStringLiteral(":/icons/132.xpm"));
}

void TrayIcon::Add()
{
    if (m_tray != nullptr)
        return;
    m_tray = new QSystemTrayIcon(NormalIcon(), this);
    m_tray->setToolTip(kNormalTip);
    connect(m_tray, &QSystemTrayIcon::activated, &m_click, &TrayClick::OnActivated);
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
    Modify(alertNext, toolTip());
}

void TrayIcon::Modify(bool alertIcon, const QString& toolTip)
{
    if (m_tray == nullptr)
        return;
    m_tray->setIcon(alertIcon ? AlertIcon() : NormalIcon());
    m_tray->setToolTip(toolTip);
}
