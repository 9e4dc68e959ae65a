#include "ui/ByteLimitValidator.h"

#include "ui/QtBytes.h"

ByteLimitValidator::ByteLimitValidator(std::size_t limit, QObject* parent)
    : QValidator(parent)
    , m_limit(limit)
{
}

QValidator::State ByteLimitValidator::validate(QString& input, int& /*pos*/) const
{
    return ToBytes(input).size() <= m_limit ? Acceptable : Invalid;
}
