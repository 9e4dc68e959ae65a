// The status line of the main window. A text that says why the link is down stays while the link
// is down: a request failing for that very reason has nothing to add, and would hide the cause.
#pragma once

#include <QString>

class QLineEdit;

class StatusLine {
public:
    explicit StatusLine(QLineEdit* line);

    void Show(const QString& text);
    // Why the link is down: a failed connect, a lost link.
    void ShowLinkDown(const QString& text);
    // A request that could not be sent: shown unless the link is down and the line says why.
    void ShowSendError(const QString& text, bool connected);

private:
    QLineEdit* m_line;
    bool m_showsLinkDown = false;
};
