#include "ui/TextCapacityGuard.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include "ui/QtBytes.h"

TextCapacityGuard::TextCapacityGuard(QPlainTextEdit* edit, std::size_t capacity)
    : QObject(edit)
    , m_edit(edit)
    , m_capacity(capacity)
    , m_accepted(RawText())
{
    connect(edit, &QPlainTextEdit::textChanged, this, &TextCapacityGuard::OnTextChanged);
    connect(edit, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (!m_reverting)
            m_acceptedCursor = m_edit->textCursor().position();
    });
}

// Not toPlainText(): putting back what it gives would turn no-break spaces into spaces.
QString TextCapacityGuard::RawText() const
{
    return m_edit->document()->toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

void TextCapacityGuard::OnTextChanged()
{
    if (m_reverting)
        return;
    const QString text = RawText();
    const std::size_t stored = ToBytes(text).size() + std::size_t(text.count(QLatin1Char('\n')));
    // Only the user's edits are refused; text the program puts in while locked is taken as is.
    if (m_edit->isReadOnly() || stored <= m_capacity) {
        m_accepted = text;
        return;
    }
    m_reverting = true;
    m_edit->setPlainText(m_accepted);
    QTextCursor cursor = m_edit->textCursor();
    cursor.setPosition(std::min(m_acceptedCursor, int(m_accepted.size())));
    m_edit->setTextCursor(cursor);
    m_reverting = false;
    emit refused();
}
