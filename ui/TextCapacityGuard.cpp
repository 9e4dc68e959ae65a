#include "ui/TextCapacityGuard.h"

#include <QPlainTextEdit>
#include <QTextCursor>

TextCapacityGuard::TextCapacityGuard(QPlainTextEdit* edit, std::size_t capacity)
    : QObject(edit)
    , m_edit(edit)
    , m_capacity(capacity)
    , m_accepted(edit->toPlainText())
{
    connect(edit, &QPlainTextEdit::textChanged, this, &TextCapacityGuard::OnTextChanged);
    connect(edit, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (!m_reverting)
            m_acceptedCursor = m_edit->textCursor().position();
    });
}

std::size_t TextCapacityGuard::StoredSize(const QString& text)
{
    return std::size_t(text.toUtf8().size() + text.count(QLatin1Char('\n')));
}

void TextCapacityGuard::OnTextChanged()
{
    if (m_reverting)
        return;
    const QString text = m_edit->toPlainText();
    // Only the user's edits are refused; text the program puts in while locked is taken as is.
    if (m_edit->isReadOnly() || StoredSize(text) <= m_capacity) {
        m_accepted = text;
        return;
    }
    m_reverting = true;
    m_edit->setPlainText(m_accepted);
    QTextCursor cursor = m_edit->textCursor();
    cursor.setPosition(std::min(m_acceptedCursor, int(m_accepted.size())));
    m_edit->setTextCursor(cursor);
    m_reverting = false;
}
