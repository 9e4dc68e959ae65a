// Enter runs Send message wherever it means nothing else, as the dialog's hidden default button
// did: from the input line, the Online list and the read-only contact list. A focused button
// takes Enter itself and is pressed; a multi-line edit takes it as a line break.
#pragma once

#include <QObject>

#include <functional>

class QDialog;

class EnterKeySend : public QObject {
public:
    EnterKeySend(QDialog* dialog, std::function<void()> send);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QDialog* m_dialog;
    std::function<void()> m_send;
};
