// What a link reported, recorded as the application's notification sink would take it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/NotificationParser.h"
#include "net/CLinkSocket.h"

class ReceivedNotifications {
public:
    [[nodiscard]] NotificationSink Sink();
    [[nodiscard]] const std::vector<Notification>& all() const { return m_all; }
    // "sender text" of every message, in arrival order.
    [[nodiscard]] std::vector<std::string> MessageTexts() const;
    [[nodiscard]] std::size_t MessageCount() const { return MessageTexts().size(); }

private:
    std::vector<Notification> m_all;
};
