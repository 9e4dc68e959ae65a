#include "ui/StatusLine.h"

#include <QLineEdit>

StatusLine::StatusLine(QLineEdit* line)
    : m_line(line)
{
}

void StatusLine::Show(const QString& text)
{
    m_line->setText(text);
    m_line->setCursorPosition(0);
    m_line->setToolTip(text); // a long address can still run past the line's end
    m_showsLinkDown = false;
}

void StatusLine::ShowLinkDown(const QString& text)
{
    Show(text);
    m_showsLinkDown = true;
}

void StatusLine::ShowSendError(const QString& text, bool connected)
{
    if (connected || !m_showsLinkDown)
        Show(text);
}
