// Keeps a multi-line edit within a byte capacity by refusing any change that would exceed it,
// so nothing the user types or pastes is cut later when the text is saved.
#pragma once

#include <QObject>
#include <QString>

#include <cstddef>

class QPlainTextEdit;

class TextCapacityGuard : public QObject {
    Q_OBJECT

public:
    // capacity counts bytes of the text as stored: its own bytes with CR LF line ends.
    TextCapacityGuard(QPlainTextEdit* edit, std::size_t capacity);

signals:
    // A change of the user's was undone: it did not fit.
    void refused();

private:
    void OnTextChanged();
    [[nodiscard]] QString RawText() const;

    QPlainTextEdit* m_edit;
    std::size_t m_capacity;
    QString m_accepted;
    int m_acceptedCursor = 0;
    bool m_reverting = false;
};
