#include "ui/EndingBoxes.h"

#include <cstdio>

namespace {

void ToStandardError(const QString& text)
{
    std::fprintf(stderr, "QORNC: %s\n", text.toLocal8Bit().constData());
}

}  // namespace

void EndingBoxes::Information(QWidget* owner, const QString& text)
{
    if (m_toStandardError)
        ToStandardError(text);
    else
        m_boxes.Information(owner, text);
}

void EndingBoxes::Stop(QWidget* owner, const QString& text)
{
    if (m_toStandardError)
        ToStandardError(text);
    else
        m_boxes.Stop(owner, text);
}
