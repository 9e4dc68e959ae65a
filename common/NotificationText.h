// The notification texts a server writes to a client: "message SENDER TEXT" and
// "getbuddy true|false NAME". The client's parser reads back exactly these.
#pragma once

#include <string>
#include <string_view>

[[nodiscard]] std::string MessageNotificationText(std::string_view sender, std::string_view text);
[[nodiscard]] std::string GetBuddyNotificationText(bool online, std::string_view contact);
