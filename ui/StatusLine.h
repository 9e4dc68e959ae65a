// The status line of the main window. A text that says why the link is down stays while the link
// is down: a request failing for that very reason has nothing to add, and would hide the cause.
// A text that says why an action was refused or failed goes once that action succeeds, so the
// line never tells of a trouble that is over. Every text comes in English and is shown in the
// user's language.
#pragma once

#include <QString>

class QLineEdit;

// What a refusal or error on the line is about.
enum class UserAction { None, Send, Refresh };

class StatusLine {
public:
    explicit StatusLine(QLineEdit* line);

    void Show(const QString& text);
    // Why the link is down: a failed connect, a lost link, an attempt under way.
    void ShowLinkDown(const QString& text);
    // A request that could not be sent: shown unless the link is down and the line says why.
    void ShowSendError(const QString& text, bool connected, UserAction action = UserAction::Refresh);
    // Why an action was refused or failed; it stays until that action succeeds or another text comes.
    void ShowRefusal(const QString& text, UserAction action);
    // The action went through: a line still telling why it did not is set back to the quiet text.
    void Succeeded(UserAction action);

private:
    QLineEdit* m_line;
    bool m_showsLinkDown = false;
    UserAction m_refused = UserAction::None;
};
