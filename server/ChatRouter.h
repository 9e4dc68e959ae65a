#pragma once

#include "AccountBook.h"
#include "RequestText.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace qornc::server {

using ConnectionId = std::uint64_t;

// A text to be sent to port `notify port` of `host`, on a connection of its own.
struct Notification {
    std::string host;
    std::string text;
};

struct RouteResult {
    std::string log;
    std::optional<Notification> notification;
};

// Decides what every request means: who is online, from which host, which
// password holds, and what gets sent where. It knows nothing about sockets so
// that each decision can be checked without a network.
class ChatRouter {
public:
    // A notification plus its NUL has to fit the client's 256-byte buffer.
    static constexpr std::size_t kMaxNotification = 255;

    ChatRouter(AccountBook accounts, const std::vector<std::string>& bots);

    // `peerHost` is where the request connection comes from.
    RouteResult handle(ConnectionId connection, const std::string& peerHost, std::string_view text);

    // Names logged in over a connection go offline with it; one log line each.
    std::vector<std::string> connectionClosed(ConnectionId connection);

    // Bots count as online: they never log in or out.
    bool isOnline(std::string_view name) const;
    bool isBot(std::string_view name) const;

private:
    struct Presence {
        ConnectionId connection;
        std::string host;
    };

    RouteResult login(ConnectionId connection, const std::string& peerHost, const RequestHead& head);
    RouteResult logout(const RequestHead& head);
    RouteResult getBuddy(const std::string& peerHost, const RequestHead& head);
    RouteResult message(const std::string& peerHost, const RequestHead& head);

    // The fields after the password, or a log line saying why not.
    std::optional<std::string_view> authenticate(const RequestHead& head, std::string& whyNot) const;
    std::string hostOf(std::string_view name, const std::string& fallback) const;
    static RouteResult notify(std::string log, std::string host, std::string text);

    AccountBook accounts_;
    std::set<std::string, std::less<>> bots_;
    std::map<std::string, Presence, std::less<>> online_;
};

} // namespace qornc::server
