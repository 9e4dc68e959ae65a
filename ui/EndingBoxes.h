// Message boxes that stop asking once the client is being ended from outside (a termination
// signal, the session's end): nobody is there to click them, so their texts go to standard error.
#pragma once

#include "ui/MessageBoxes.h"

class EndingBoxes : public MessageBoxes {
public:
    explicit EndingBoxes(MessageBoxes& boxes) : m_boxes(boxes) {}

    void SendToStandardError() { m_toStandardError = true; }

    void Information(QWidget* owner, const QString& text) override;
    void Stop(QWidget* owner, const QString& text) override;

private:
    MessageBoxes& m_boxes;
    bool m_toStandardError = false;
};
