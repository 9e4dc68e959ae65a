// Keeps a window where the user left it when it is hidden and shown again. Some window managers
// (openbox among them) hand a re-shown window's frame position back as its client position, so
// each show would move it by the frame's size.
#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

class WindowPlace : public QObject {
    Q_OBJECT

public:
    explicit WindowPlace(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_window;
    QPoint m_clientTopLeft;
    bool m_placed = false;
    bool m_shown = false;
};
