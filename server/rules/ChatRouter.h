#pragma once

#include "Authenticator.h"
#include "ConnectionId.h"
#include "PasswordWork.h"

#include "common/Protocol.h"
#include "common/RequestText.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace qornc::server {

// A text to be sent to port `notify port` of `host`, on a connection of its own.
struct Notification {
    std::string host;
    std::string text;
    std::string label; // when set, "LABEL delivered to HOST" is logged once the text is out
};

struct RouteResult {
    std::string log{};
    std::optional<Notification> notification{};
    // Needed before the request can be answered: run it, hand its outcome to finish(), and unless
    // that ends the connection, handle the same text again.
    std::optional<PasswordWork> work{};
    bool endConnection = false; // a password or a login was refused
    bool registered = false;    // a new account waits to be saved, then for accountSaved()
    bool rehashed = false;      // a stronger hash replaced a weaker one: worth saving, nobody waits
};

// Decides what every request means: who is online, from which host, and what gets sent where.
// It knows nothing about sockets or threads, so that each decision can be checked without a
// network; slow password work is handed out and its outcome taken back.
class ChatRouter {
public:
    // A notification plus its NUL has to fit the client's 256-byte buffer.
    static constexpr std::size_t kMaxNotification = kNotifyReadSize - 1;

    ChatRouter(AccountBook accounts, const std::vector<std::string>& bots, AuthLimits limits = {},
               const Clock& clock = std::chrono::steady_clock::now);

    // `peerHost` is where the request connection comes from.
    RouteResult handle(ConnectionId connection, const std::string& peerHost, std::string_view text);
    // No `connection` when it closed while the work ran.
    RouteResult finish(std::optional<ConnectionId> connection, const std::string& peerHost, const PasswordWork& work,
                       const WorkOutcome& outcome);
    // The account registered as `name` is on disk; returns the connection that waits for that.
    std::optional<ConnectionId> accountSaved(std::string_view name) { return auth_.registrationSaved(name); }

    // Names logged in over a connection go offline with it; one log line each.
    // The passwords it proved are forgotten.
    std::vector<std::string> connectionClosed(ConnectionId connection);

    // Bots count as online: they never log in or out.
    bool isOnline(std::string_view name) const;
    bool isBot(std::string_view name) const;
    bool hasLogin(ConnectionId connection) const { return namesOn_.contains(connection); }
    const AccountBook& accounts() const { return auth_.accounts(); }

private:
    struct Presence {
        ConnectionId connection;
        std::string host;
    };

    RouteResult login(ConnectionId connection, const std::string& peerHost, const RequestHead& head);
    RouteResult logout(ConnectionId connection, const std::string& peerHost, const RequestHead& head);
    RouteResult getBuddy(ConnectionId connection, const std::string& peerHost, const RequestHead& head);
    RouteResult message(ConnectionId connection, const std::string& peerHost, const RequestHead& head);

    // The fields after the password, or what to do instead in `instead`.
    std::optional<std::string_view> authenticate(ConnectionId connection, const std::string& peerHost,
                                                 const RequestHead& head, RouteResult& instead);
    void goOnline(std::string_view name, ConnectionId connection, const std::string& host);
    void goOffline(std::string_view name);
    std::string hostOf(std::string_view name, const std::string& fallback) const;
    static RouteResult notify(std::string log, std::string host, std::string text, std::string label = {});

    Authenticator auth_;
    std::set<std::string, std::less<>> bots_;
    std::map<std::string, Presence, std::less<>> online_;
    std::map<ConnectionId, std::set<std::string, std::less<>>> namesOn_;
};

} // namespace qornc::server
