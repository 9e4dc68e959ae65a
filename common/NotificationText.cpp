#include "common/NotificationText.h"

#include "common/Protocol.h"

namespace {

std::string Join(std::string_view keyword, std::string_view word, std::string_view rest)
{
    std::string text;
    text.reserve(keyword.size() + word.size() + rest.size() + 2);
    text.append(keyword).append(1, ' ').append(word).append(1, ' ').append(rest);
    return text;
}

}  // namespace

std::string MessageNotificationText(std::string_view sender, std::string_view text)
{
    return Join(kMessageNotification, sender, text);
}

std::string GetBuddyNotificationText(bool online, std::string_view contact)
{
    return Join(kGetBuddyNotification, online ? kOnlineWord : kOfflineWord, contact);
}
