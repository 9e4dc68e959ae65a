#include "ChatRouter.h"

#include <algorithm>
#include <utility>

namespace qornc::server {

namespace {

// Names and keywords come straight off the wire; keep control bytes and
// runaway lengths out of the log.
std::string shown(std::string_view text)
{
    constexpr std::size_t kLimit = 64;
    std::string out;
    for (const char c : text.substr(0, kLimit)) {
        const auto byte = static_cast<unsigned char>(c);
        out += (byte < 0x20 || byte == 0x7f) ? '?' : c;
    }
    if (text.size() > kLimit)
        out += "...";
    return out;
}

RouteResult ignored(const std::string& why)
{
    return {.log = "ignored: " + why};
}

// A refused password or login ends its connection: the client learns at once that it is not
// logged in, and a guesser gets one guess per connection. The lines are a kind of their own, so
// that a flood of them cannot crowd the logins out of the log.
RouteResult refused(const std::string& what, const std::string& why)
{
    return {.log = "refused " + what + ": " + why, .endConnection = true};
}

RouteResult unlessHeld(const std::string& what, Authenticator::Verdict verdict)
{
    if (verdict.kind == Authenticator::Verdict::Kind::Refused)
        return refused(what, verdict.why);
    RouteResult result;
    result.work = std::move(verdict.work);
    result.work->what = what;
    return result;
}

} // namespace

ChatRouter::ChatRouter(AccountBook accounts, const std::vector<std::string>& bots, AuthLimits limits,
                       const Clock& clock, HeldMessageLog* heldLog, HoldLimits holdLimits, WallClock wallClock)
    : auth_(std::move(accounts), limits, clock)
    , ownHeldLog_(heldLog ? nullptr : std::make_unique<ForgetfulHeldMessageLog>())
    , held_(holdLimits, heldLog ? *heldLog : *ownHeldLog_, std::move(wallClock))
    , bots_(bots.begin(), bots.end())
{
}

std::int64_t ChatRouter::unixSeconds()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

RouteResult ChatRouter::handle(ConnectionId connection, const std::string& peerHost, std::string_view text)
{
    const RequestHead head = ParseRequestHead(text);
    if (head.keyword == kLoginKeyword)
        return login(connection, peerHost, head);
    if (head.keyword == kLogoutKeyword)
        return logout(connection, peerHost, head);
    if (head.keyword == kGetBuddyKeyword)
        return getBuddy(connection, peerHost, head);
    if (head.keyword == kMessageKeyword)
        return message(connection, peerHost, head);
    return ignored("unknown request '" + shown(head.keyword) + "' from " + peerHost);
}

RouteResult ChatRouter::finish(std::optional<ConnectionId> connection, const std::string& peerHost,
                               const PasswordWork& work, const WorkOutcome& outcome)
{
    if (auto why = auth_.finish(connection, peerHost, work, outcome))
        return refused(work.what, *why);
    return {.registered = work.kind == PasswordWork::Kind::Hash,
            .rehashed = work.kind == PasswordWork::Kind::Verify && outcome.hash.has_value()};
}

RouteResult ChatRouter::login(ConnectionId connection, const std::string& peerHost, const RequestHead& head)
{
    if (!head.hasName || head.afterName.empty())
        return refused("login from " + peerHost, "malformed");
    const std::string what = "login " + shown(head.name) + " from " + peerHost;
    if (isBot(head.name))
        return refused(what, "the name of a bot");
    auto verdict = auth_.knows(head.name) ? auth_.authorize(connection, peerHost, head.name, head.afterName, true)
                                          : auth_.registerName(connection, peerHost, head.name, head.afterName);
    if (verdict.kind != Authenticator::Verdict::Kind::Held)
        return unlessHeld(what, std::move(verdict));
    goOnline(head.name, connection, peerHost);
    RouteResult result{.log = what};
    // What waited for this login goes first, in the order it came.
    for (HeldMessage& message : held_.takeFor(head.name)) {
        result.notifications.push_back({.host = peerHost,
                                        .text = std::move(message.notification),
                                        .label = "held message for " + shown(head.name),
                                        .recipient = std::move(message.recipient),
                                        .heldId = message.id,
                                        .heldAtSeconds = message.heldAtSeconds});
    }
    if (!result.notifications.empty())
        result.log += ", " + std::to_string(result.notifications.size()) + " held message(s) queued for " + peerHost;
    return result;
}

RouteResult ChatRouter::logout(ConnectionId connection, const std::string& peerHost, const RequestHead& head)
{
    if (!head.hasName || head.afterName.empty())
        return ignored("malformed logout");
    const std::string name = shown(head.name);
    if (isBot(head.name) || !auth_.knows(head.name))
        return ignored("unknown name " + name);
    auto verdict = auth_.authorize(connection, peerHost, head.name, head.afterName, true);
    if (verdict.kind != Authenticator::Verdict::Kind::Held)
        return unlessHeld("logout " + name + " from " + peerHost, std::move(verdict));
    if (!online_.contains(head.name))
        return {.log = "logout " + name + " (was not online)"};
    goOffline(head.name);
    return {.log = "logout " + name};
}

RouteResult ChatRouter::getBuddy(ConnectionId connection, const std::string& peerHost, const RequestHead& head)
{
    RouteResult instead;
    const auto contact = authenticate(connection, peerHost, head, instead);
    if (!contact)
        return instead;
    if (contact->empty())
        return ignored("malformed getbuddy from " + shown(head.name));
    const std::string state(isOnline(*contact) ? kOnlineWord : kOfflineWord);
    return notify("getbuddy " + shown(head.name) + " -> " + shown(*contact) + ": " + state,
                  hostOf(head.name, peerHost), std::string(kGetBuddyNotification) + " " + state + " " + std::string(*contact));
}

RouteResult ChatRouter::message(ConnectionId connection, const std::string& peerHost, const RequestHead& head)
{
    RouteResult instead;
    const auto rest = authenticate(connection, peerHost, head, instead);
    if (!rest)
        return instead;
    const auto fields = ParseMessageFields(*rest);
    const std::string sender = shown(head.name);
    if (!fields)
        return ignored("malformed message from " + sender);
    const std::string size = " (" + std::to_string(fields->text.size()) + " bytes)";
    const std::string route = "message " + sender + " -> " + shown(fields->recipient) + size;
    if (isBot(fields->recipient)) {
        const std::string host = hostOf(head.name, peerHost);
        return notify(route + " echoed to " + host, host,
                      std::string(kMessageNotification) + " " + std::string(fields->recipient) + " " + std::string(fields->text),
                      "message " + shown(fields->recipient) + " -> " + sender + size);
    }
    std::string text = std::string(kMessageNotification) + " " + std::string(head.name) + " " + std::string(fields->text);
    const auto recipient = online_.find(fields->recipient);
    // Behind messages already held for the recipient, a new one waits too, so that none overtakes.
    if (recipient == online_.end() || held_.holdsFor(fields->recipient)) {
        if (!auth_.knows(fields->recipient))
            return {.log = route + " dropped: recipient offline"};
        if (text.size() > kMaxNotification)
            return {.log = route + " (not sent: too long)"};
        const std::string why = recipient == online_.end() ? "recipient offline" : "earlier messages held";
        if (auto refused = held_.hold(std::string(fields->recipient), std::move(text)))
            return {.log = route + " dropped: " + *refused};
        return {.log = route + " held: " + why};
    }
    const std::string& host = recipient->second.host;
    RouteResult result = notify(route + " queued for " + host, host, std::move(text), route);
    for (Notification& notification : result.notifications)
        notification.recipient = std::string(fields->recipient);
    return result;
}

std::optional<std::string_view> ChatRouter::authenticate(ConnectionId connection, const std::string& peerHost,
                                                         const RequestHead& head, RouteResult& instead)
{
    const std::string name = shown(head.name);
    if (!head.hasName || !head.hasAfterName) {
        instead = ignored("malformed " + shown(head.keyword));
        return std::nullopt;
    }
    if (isBot(head.name) || !auth_.knows(head.name)) {
        instead = ignored("unknown name " + name);
        return std::nullopt;
    }
    auto verdict = auth_.authorize(connection, peerHost, head.name, head.afterName, false);
    if (verdict.kind != Authenticator::Verdict::Kind::Held) {
        instead = unlessHeld(shown(head.keyword) + " " + name + " from " + peerHost, std::move(verdict));
        return std::nullopt;
    }
    if (auto fields = FieldsAfterPassword(head.afterName, verdict.password))
        return fields;
    instead = ignored("malformed " + shown(head.keyword) + " from " + name);
    return std::nullopt;
}

void ChatRouter::goOnline(std::string_view name, ConnectionId connection, const std::string& host)
{
    goOffline(name);
    online_.emplace(std::string(name), Presence{connection, host});
    namesOn_[connection].emplace(name);
}

void ChatRouter::goOffline(std::string_view name)
{
    const auto found = online_.find(name);
    if (found == online_.end())
        return;
    const auto names = namesOn_.find(found->second.connection);
    names->second.erase(names->second.find(name));
    if (names->second.empty())
        namesOn_.erase(names);
    online_.erase(found);
}

std::string ChatRouter::hostOf(std::string_view name, const std::string& fallback) const
{
    const auto found = online_.find(name);
    return found == online_.end() ? fallback : found->second.host;
}

RouteResult ChatRouter::notify(std::string log, std::string host, std::string text, std::string label)
{
    if (text.size() > kMaxNotification)
        return {.log = std::move(log) + " (not sent: too long)"};
    return {.log = std::move(log), .notifications = {Notification{std::move(host), std::move(text), std::move(label)}}};
}

std::vector<std::string> ChatRouter::holdUndelivered(std::vector<Notification> notifications)
{
    std::vector<std::string> logs;
    for (Notification& notification : notifications) {
        if (notification.recipient.empty())
            continue;
        if (notification.heldId != 0) {
            held_.holdAgain({notification.heldId, std::move(notification.recipient), std::move(notification.text),
                             notification.heldAtSeconds});
        } else if (auto refused = held_.hold(notification.recipient, std::move(notification.text))) {
            logs.push_back("message for " + shown(notification.recipient) + " dropped: " + *refused);
        }
    }
    return logs;
}

void ChatRouter::delivered(const Notification& notification)
{
    if (notification.heldId != 0)
        held_.released(notification.heldId);
}

std::vector<std::string> ChatRouter::expireHeld()
{
    std::vector<std::string> logs;
    for (const auto& [recipient, count] : held_.expire())
        logs.push_back("expired: " + std::to_string(count) + " message(s) held for " + shown(recipient) + " longer than "
                       + std::to_string(held_.limits().keep.count()) + " s");
    return logs;
}

std::vector<std::string> ChatRouter::connectionClosed(ConnectionId connection)
{
    std::vector<std::string> logs;
    const auto names = namesOn_.find(connection);
    if (names != namesOn_.end()) {
        for (const std::string& name : names->second) {
            logs.push_back("offline " + shown(name) + " (connection closed)");
            online_.erase(name);
        }
        namesOn_.erase(names);
    }
    auth_.connectionClosed(connection);
    return logs;
}

bool ChatRouter::isOnline(std::string_view name) const
{
    return online_.contains(name) || isBot(name);
}

bool ChatRouter::isBot(std::string_view name) const
{
    return bots_.contains(name);
}

} // namespace qornc::server
