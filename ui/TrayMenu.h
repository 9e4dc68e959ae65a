// The tray icon's menu, the same for a right click on an X panel's icon and for a StatusNotifier
// host's menu: Show or Hide as the window stands, Connect or Disconnect as the link stands, and
// Exit. Each entry does what the window's own control does.
#pragma once

#include <QObject>

#include <memory>

class QAction;
class QMenu;
class QPushButton;
class QWidget;

class TrayMenu : public QObject {
    Q_OBJECT

public:
    TrayMenu(QWidget& window, QPushButton* connectButton, QPushButton* disconnectButton);
    ~TrayMenu() override;

    [[nodiscard]] QMenu* menu() const { return m_menu.get(); }

signals:
    void showOrHideChosen();
    void exitChosen();

protected:
    // Keeps the entries' words true as the window shows and hides and the buttons change.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Update();
    void OnLinkChosen();

    QWidget& m_window;
    QPushButton* m_connect;
    QPushButton* m_disconnect;
    std::unique_ptr<QMenu> m_menu;
    QAction* m_showOrHide = nullptr;
    QAction* m_link = nullptr;
};
