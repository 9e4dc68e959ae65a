// "text" with its terminating NUL, as a notification travels.
#pragma once

#include <QByteArray>

[[nodiscard]] inline QByteArray NulText(const QByteArray& text)
{
    QByteArray bytes(text);
    bytes.append('\0');
    return bytes;
}
