#include "ui/StatusLine.h"

#include <QLineEdit>

#include "net/rules/ConnectionState.h"
#include "ui/TextCatalog.h"

StatusLine::StatusLine(QLineEdit* line)
    : m_line(line)
{
}

void StatusLine::Show(const QString& text)
{
    const QString shown = Translated(text);
    m_line->setText(shown);
    m_line->setCursorPosition(0);
    m_line->setToolTip(shown); // a long address can still run past the line's end
    m_showsLinkDown = false;
    m_refused = UserAction::None;
}

void StatusLine::ShowLinkDown(const QString& text)
{
    Show(text);
    m_showsLinkDown = true;
}

void StatusLine::ShowSendError(const QString& text, bool connected, UserAction action)
{
    if (connected || !m_showsLinkDown)
        ShowRefusal(text, action);
}

void StatusLine::ShowRefusal(const QString& text, UserAction action)
{
    Show(text);
    m_refused = action;
}

void StatusLine::Succeeded(UserAction action)
{
    if (action != UserAction::None && m_refused == action)
        Show(QString::fromLatin1(kNoStatusText.data(), qsizetype(kNoStatusText.size())));
}
