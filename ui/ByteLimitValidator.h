// Keeps a line edit within a capacity in bytes, as its text is sent and saved, rather than in
// characters: an é takes two. An edit or paste that would go past it is refused whole.
#pragma once

#include <QValidator>

#include <cstddef>

class ByteLimitValidator : public QValidator {
    Q_OBJECT

public:
    ByteLimitValidator(std::size_t limit, QObject* parent);

    State validate(QString& input, int& pos) const override;

private:
    std::size_t m_limit;
};
