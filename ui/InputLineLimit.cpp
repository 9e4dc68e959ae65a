#include "ui/InputLineLimit.h"

#include <QLineEdit>

#include "ui/ByteLimitValidator.h"
#include "ui/StatusLine.h"

InputLineLimit::InputLineLimit(QLineEdit* input, std::size_t limit, StatusLine& status)
    : QObject(input)
{
    input->setValidator(new ByteLimitValidator(limit, input));
    // Refused by the validator, or cut by the line's own character limit: the user's input either way.
    connect(input, &QLineEdit::inputRejected, this, [&status, limit] {
        status.ShowRefusal(QStringLiteral("Message full at %1 bytes: the rest was left out.").arg(limit),
                           UserAction::Send);
    });
}
