#include "support/ReceivedNotifications.h"

NotificationSink ReceivedNotifications::Sink()
{
    return [this](Notification parsed) { m_all.push_back(std::move(parsed)); };
}

std::vector<std::string> ReceivedNotifications::MessageTexts() const
{
    std::vector<std::string> texts;
    for (const Notification& parsed : m_all) {
        if (parsed.kind == NotificationKind::Message)
            texts.push_back(parsed.senderName + " " + parsed.messageText);
    }
    return texts;
}
