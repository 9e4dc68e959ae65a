#include "ui/TrayMenu.h"

#include <QEvent>
#include <QMenu>
#include <QPushButton>

#include "ui/TextCatalog.h"

TrayMenu::TrayMenu(QWidget& window, QPushButton* connectButton, QPushButton* disconnectButton)
    : m_window(window)
    , m_connect(connectButton)
    , m_disconnect(disconnectButton)
    , m_menu(std::make_unique<QMenu>())
{
    m_showOrHide = m_menu->addAction(QString());
    m_link = m_menu->addAction(QString());
    m_menu->addSeparator();
    QAction* exit = m_menu->addAction(Translated(QStringLiteral("E&xit")));
    connect(m_showOrHide, &QAction::triggered, this, &TrayMenu::showOrHideChosen);
    connect(m_link, &QAction::triggered, this, &TrayMenu::OnLinkChosen);
    connect(exit, &QAction::triggered, this, &TrayMenu::exitChosen);
    connect(m_menu.get(), &QMenu::aboutToShow, this, &TrayMenu::Update);
    m_window.installEventFilter(this);
    m_connect->installEventFilter(this);
    m_disconnect->installEventFilter(this);
    Update();
}

TrayMenu::~TrayMenu() = default;

bool TrayMenu::eventFilter(QObject* /*watched*/, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::Show || type == QEvent::Hide || type == QEvent::EnabledChange)
        Update();
    return false;
}

// A StatusNotifier host may read the menu without asking first, so the words are kept current
// rather than set only when the menu opens.
void TrayMenu::Update()
{
    m_showOrHide->setText(Translated(m_window.isVisible() ? QStringLiteral("&Hide") : QStringLiteral("&Show")));
    // While an attempt runs Connect is disabled and Disconnect abandons it.
    const bool offerConnect = m_connect->isEnabled() || !m_disconnect->isEnabled();
    m_link->setText(Translated(offerConnect ? QStringLiteral("&Connect") : QStringLiteral("&Disconnect")));
    m_link->setEnabled(offerConnect ? m_connect->isEnabled() : m_disconnect->isEnabled());
}

void TrayMenu::OnLinkChosen()
{
    if (m_connect->isEnabled())
        m_connect->click();
    else if (m_disconnect->isEnabled())
        m_disconnect->click();
}
