// The message input line's limit in bytes, made visible: a keystroke or paste that does not fit
// is left out, as before, and the status line now says why nothing appeared.
#pragma once

#include <QObject>

#include <cstddef>

class QLineEdit;
class StatusLine;

class InputLineLimit : public QObject {
public:
    // Lives as a child of input; status must outlive input.
    InputLineLimit(QLineEdit* input, std::size_t limit, StatusLine& status);
};
