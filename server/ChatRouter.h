#pragma once

#include "AccountBook.h"
#include "HostRateLimiter.h"
#include "RequestText.h"

#include <chrono>
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
    bool registered = false; // a new name joined the book
};

struct RouterLimits {
    std::size_t registrationsPerHost = 10;
    std::chrono::milliseconds registrationWindow = std::chrono::hours(1);
    // Each slow password check costs tens of milliseconds of the one thread.
    std::size_t passwordChecksPerHost = 30;
    std::chrono::milliseconds passwordCheckWindow = std::chrono::minutes(1);
};

// Decides what every request means: who is online, from which host, which
// password holds, and what gets sent where. It knows nothing about sockets so
// that each decision can be checked without a network.
class ChatRouter {
public:
    // A notification plus its NUL has to fit the client's 256-byte buffer.
    static constexpr std::size_t kMaxNotification = 255;

    ChatRouter(AccountBook accounts, const std::vector<std::string>& bots, RouterLimits limits = {},
               const Clock& clock = std::chrono::steady_clock::now);

    // `peerHost` is where the request connection comes from.
    RouteResult handle(ConnectionId connection, const std::string& peerHost, std::string_view text);

    // Names logged in over a connection go offline with it; one log line each.
    // The passwords it proved are forgotten.
    std::vector<std::string> connectionClosed(ConnectionId connection);

    // Bots count as online: they never log in or out.
    bool isOnline(std::string_view name) const;
    bool isBot(std::string_view name) const;
    bool hasLogin(ConnectionId connection) const;
    const AccountBook& accounts() const { return accounts_; }

private:
    struct Presence {
        ConnectionId connection;
        std::string host;
    };

    RouteResult login(ConnectionId connection, const std::string& peerHost, const RequestHead& head);
    RouteResult registerName(ConnectionId connection, const std::string& peerHost, const RequestHead& head);
    RouteResult logout(ConnectionId connection, const std::string& peerHost, const RequestHead& head);
    RouteResult getBuddy(ConnectionId connection, const std::string& peerHost, const RequestHead& head);
    RouteResult message(ConnectionId connection, const std::string& peerHost, const RequestHead& head);

    // Whether `password` is the name's, asking the book at most once per
    // connection; a log line saying why not otherwise.
    bool passwordHolds(ConnectionId connection, const std::string& peerHost, std::string_view name,
                       std::string_view password, std::string& whyNot);
    // The fields after the password, or a log line saying why not.
    std::optional<std::string_view> authenticate(ConnectionId connection, const std::string& peerHost,
                                                 const RequestHead& head, std::string& whyNot);
    const std::string* provenPassword(ConnectionId connection, std::string_view name) const;
    std::string hostOf(std::string_view name, const std::string& fallback) const;
    static RouteResult notify(std::string log, std::string host, std::string text);

    AccountBook accounts_;
    std::set<std::string, std::less<>> bots_;
    std::map<std::string, Presence, std::less<>> online_;
    // Passwords already checked, by connection and name: later requests on
    // the same connection compare bytes instead of hashing again.
    std::map<ConnectionId, std::map<std::string, std::string, std::less<>>> proven_;
    HostRateLimiter registrations_;
    HostRateLimiter passwordChecks_;
};

} // namespace qornc::server
