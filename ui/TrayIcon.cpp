#include "ui/TrayIcon.h"

#include <QImage>
#include <QPixmap>

#include "res/Resources.h"
#include "ui/TextCatalog.h"
#include "ui/rules/WindowState.h"

namespace {
const QString kNormalTip = QStringLiteral("QORNC");
const QString kOfflineTip = QStringLiteral("QORNC - Not connected");
const QString kAlertTip = QStringLiteral("QORNC - New message(s)");
}

// The icons are compiled into the static Qt library, where no code refers to them: unless they
// are registered by name, the linker leaves them out and every icon loads empty. Every size the
// package installs goes in, so a panel or a dense screen that asks for a large one gets it drawn
// at that size rather than a small one blown up.
static QIcon LoadIcon(int iconId)
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    Q_UNUSED(registered);
    QIcon icon;
    for (const int size : kIconSizes)
        icon.addFile(QString::fromStdString(IconResourcePath(iconId, size)), QSize(size, size));
    return icon;
}

TrayIcon::TrayIcon(WindowState& state, bool assumeTray, QObject* parent)
    : QObject(parent)
    , m_state(state)
    , m_assumeTray(assumeTray)
{
    m_blink.setInterval(kBlinkIntervalMs);
    connect(&m_blink, &QTimer::timeout, this, &TrayIcon::BlinkTimerProc);
    connect(&m_click, &TrayClick::clicked, this, &TrayIcon::activated);
    connect(&m_watch, &TrayWatch::iconNeeded, this, &TrayIcon::Create);
    connect(&m_watch, &TrayWatch::lost, this, &TrayIcon::lost);
}

QIcon TrayIcon::NormalIcon()
{
    return LoadIcon(IDR_MAINFRAME);
}

QIcon TrayIcon::AlertIcon()
{
    return LoadIcon(IDI_ALERT);
}

// Grey and lighter, as a disabled control looks: the same shape, plainly not the live icon.
QIcon TrayIcon::OfflineIcon()
{
    const QIcon normal = NormalIcon();
    QIcon offline;
    for (const int size : kIconSizes) {
        QImage image = normal.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int grey = 128 + qGray(line[x]) / 2;
                line[x] = qRgba(grey, grey, grey, qAlpha(line[x]));
            }
        }
        offline.addPixmap(QPixmap::fromImage(image));
    }
    return offline;
}

void TrayIcon::Add()
{
    m_added = true;
    if (m_assumeTray)
        Create();
    else
        m_watch.Start();
}

// Qt picks the kind of notification area an icon goes to when the icon is made: a tray that
// came later gets an icon made anew, with what the old one showed.
void TrayIcon::Create()
{
    if (!m_added)
        return;
    Drop();
    m_tray = new QSystemTrayIcon(this);
    m_watch.IconCreated();
    Render();
    connect(m_tray, &QSystemTrayIcon::activated, &m_click, &TrayClick::OnActivated);
    if (m_menu != nullptr)
        m_tray->setContextMenu(m_menu);
    m_tray->show();
}

void TrayIcon::SetMenu(QMenu* menu)
{
    m_menu = menu;
    if (m_tray != nullptr)
        m_tray->setContextMenu(m_menu);
}

void TrayIcon::Remove()
{
    m_added = false;
    Drop();
}

void TrayIcon::Drop()
{
    if (m_tray == nullptr)
        return;
    m_tray->hide();
    m_tray->deleteLater();
    m_tray = nullptr;
}

void TrayIcon::ShowLink(bool connected)
{
    m_linkUp = connected;
    Render();
}

void TrayIcon::StartAlert()
{
    m_state.g_alertActive = 1;
    m_state.g_blinkPhase = 1;
    Render();
    m_blink.start(); // restarting puts the next blink a full second after the latest message
}

void TrayIcon::StopAlert()
{
    m_state.g_alertActive = 0;
    m_blink.stop();
    m_state.g_blinkPhase = 1;
    Render();
}

void TrayIcon::BlinkTimerProc()
{
    m_state.g_blinkPhase = m_state.g_blinkPhase == 1 ? 0 : 1;
    Render();
}

// The alert's picture takes its turns with the link's picture, and its tooltip stays.
void TrayIcon::Render()
{
    if (m_tray == nullptr)
        return;
    const bool alert = m_state.g_alertActive == 1;
    if (alert && m_state.g_blinkPhase == 1)
        m_tray->setIcon(AlertIcon());
    else
        m_tray->setIcon(m_linkUp ? NormalIcon() : OfflineIcon());
    m_tray->setToolTip(Translated(alert ? kAlertTip : m_linkUp ? kNormalTip : kOfflineTip));
}
