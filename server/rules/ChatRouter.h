#pragma once

#include "Authenticator.h"
#include "ConnectionId.h"
#include "HeldMessages.h"
#include "PasswordWork.h"

#include "common/Protocol.h"
#include "common/RequestText.h"

#include <map>
#include <memory>
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
    std::string recipient{};     // a message's: where it is held when it cannot be delivered
    std::uint64_t heldId = 0;    // a message that was held: released once delivered
    std::int64_t heldAtSeconds = 0;
};

struct RouteResult {
    std::string log{};
    std::vector<Notification> notifications{}; // in the order they are to arrive
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

    // Without `heldLog`, held messages are kept in memory only.
    ChatRouter(AccountBook accounts, const std::vector<std::string>& bots, AuthLimits limits = {},
               const Clock& clock = std::chrono::steady_clock::now, HeldMessageLog* heldLog = nullptr,
               HoldLimits holdLimits = {}, WallClock wallClock = unixSeconds);

    // `peerHost` is where the request connection comes from.
    RouteResult handle(ConnectionId connection, const std::string& peerHost, std::string_view text);
    // No `connection` when it closed while the work ran.
    RouteResult finish(std::optional<ConnectionId> connection, const std::string& peerHost, const PasswordWork& work,
                       const WorkOutcome& outcome);
    // The account registered as `name` is on disk; returns the connection that waits for that.
    std::optional<ConnectionId> accountSaved(std::string_view name) { return auth_.registrationSaved(name); }

    // Messages that could not be delivered in time, or were still queued at a stop: held for
    // their recipients' next login. One log line for each that cannot be held.
    std::vector<std::string> holdUndelivered(std::vector<Notification> notifications);
    // A held message has arrived: it is not brought back after a restart.
    void delivered(const Notification& notification);
    // Held messages recovered at a start.
    void restoreHeld(std::vector<HeldMessage> messages) { held_.restore(std::move(messages)); }
    // Drops messages held too long; one log line per recipient.
    std::vector<std::string> expireHeld();
    std::size_t heldCount() const { return held_.size(); }

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

    static std::int64_t unixSeconds();

    Authenticator auth_;
    std::unique_ptr<HeldMessageLog> ownHeldLog_;
    HeldMessages held_;
    std::set<std::string, std::less<>> bots_;
    std::map<std::string, Presence, std::less<>> online_;
    std::map<ConnectionId, std::set<std::string, std::less<>>> namesOn_;
};

} // namespace qornc::server
