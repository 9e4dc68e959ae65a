// What counts as a click on the tray icon: a left press and its release over the icon. Qt's
// embedded (XEmbed) tray reports a click at the press, and a double click as two; a tray host
// that speaks StatusNotifierItem sends a whole click, which Qt reports as one activation.
#pragma once

#include <QObject>
#include <QSystemTrayIcon>

class TrayClick : public QObject {
    Q_OBJECT

public:
    explicit TrayClick(QObject* parent = nullptr);
    ~TrayClick() override;

    // Qt's activation of the icon; a whole click only when no embedded icon reported the press.
    void OnActivated(QSystemTrayIcon::ActivationReason reason);

signals:
    void clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_embedded = false;
    bool m_pressed = false;
};
