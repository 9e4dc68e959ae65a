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
    return {"ignored: " + why, std::nullopt};
}

std::string bytesNote(std::string_view text)
{
    return " (" + std::to_string(text.size()) + " bytes)";
}

} // namespace

ChatRouter::ChatRouter(AccountBook accounts, const std::vector<std::string>& bots, RouterLimits limits,
                       const Clock& clock)
    : accounts_(std::move(accounts))
    , bots_(bots.begin(), bots.end())
    , registrations_(limits.registrationsPerHost, limits.registrationWindow, clock)
    , passwordChecks_(limits.passwordChecksPerHost, limits.passwordCheckWindow, clock)
{
}

RouteResult ChatRouter::handle(ConnectionId connection, const std::string& peerHost, std::string_view text)
{
    const RequestHead head = parseHead(text);
    if (head.keyword == "login")
        return login(connection, peerHost, head);
    if (head.keyword == "logout")
        return logout(connection, peerHost, head);
    if (head.keyword == "getbuddy")
        return getBuddy(connection, peerHost, head);
    if (head.keyword == "message")
        return message(connection, peerHost, head);
    return ignored("unknown request '" + shown(head.keyword) + "' from " + peerHost);
}

RouteResult ChatRouter::login(ConnectionId connection, const std::string& peerHost, const RequestHead& head)
{
    if (!head.hasName || head.afterName.empty())
        return ignored("malformed login from " + peerHost);
    const std::string name = shown(head.name);
    if (isBot(head.name))
        return ignored("login as bot " + name + " from " + peerHost);
    if (!accounts_.contains(head.name))
        return registerName(connection, peerHost, head);
    if (std::string whyNot; !passwordHolds(connection, peerHost, head.name, head.afterName, whyNot))
        return ignored(whyNot);
    online_.insert_or_assign(std::string(head.name), Presence{connection, peerHost});
    return {"login " + name + " from " + peerHost, std::nullopt};
}

RouteResult ChatRouter::registerName(ConnectionId connection, const std::string& peerHost, const RequestHead& head)
{
    const std::string refused = "login " + shown(head.name) + " refused: ";
    if (accounts_.full())
        return ignored(refused + "too many accounts");
    if (!registrations_.allow(peerHost))
        return ignored(refused + "too many new names from " + peerHost);
    if (!accounts_.registerName(head.name, head.afterName))
        return ignored(refused + "cannot hash the password");
    proven_[connection].insert_or_assign(std::string(head.name), std::string(head.afterName));
    online_.insert_or_assign(std::string(head.name), Presence{connection, peerHost});
    return {"login " + shown(head.name) + " from " + peerHost, std::nullopt, true};
}

RouteResult ChatRouter::logout(ConnectionId connection, const std::string& peerHost, const RequestHead& head)
{
    if (!head.hasName || head.afterName.empty())
        return ignored("malformed logout");
    const std::string name = shown(head.name);
    if (std::string whyNot; !passwordHolds(connection, peerHost, head.name, head.afterName, whyNot))
        return ignored(whyNot);
    const auto found = online_.find(head.name);
    if (found == online_.end())
        return {"logout " + name + " (was not online)", std::nullopt};
    online_.erase(found);
    return {"logout " + name, std::nullopt};
}

RouteResult ChatRouter::getBuddy(ConnectionId connection, const std::string& peerHost, const RequestHead& head)
{
    std::string whyNot;
    const auto contact = authenticate(connection, peerHost, head, whyNot);
    if (!contact)
        return ignored(whyNot);
    if (contact->empty())
        return ignored("malformed getbuddy from " + shown(head.name));
    const bool present = isOnline(*contact);
    const std::string state = present ? "true" : "false";
    return notify("getbuddy " + shown(head.name) + " -> " + shown(*contact) + ": " + state,
                  hostOf(head.name, peerHost),
                  "getbuddy " + state + " " + std::string(*contact));
}

RouteResult ChatRouter::message(ConnectionId connection, const std::string& peerHost, const RequestHead& head)
{
    std::string whyNot;
    const auto rest = authenticate(connection, peerHost, head, whyNot);
    if (!rest)
        return ignored(whyNot);
    const auto fields = parseMessageFields(*rest);
    const std::string sender = shown(head.name);
    if (!fields)
        return ignored("malformed message from " + sender);
    const std::string route = "message " + sender + " -> " + shown(fields->recipient) + bytesNote(fields->text);
    if (isBot(fields->recipient)) {
        const std::string host = hostOf(head.name, peerHost);
        return notify(route + " echoed to " + host, host,
                      "message " + std::string(fields->recipient) + " " + std::string(fields->text));
    }
    const auto recipient = online_.find(fields->recipient);
    if (recipient == online_.end())
        return {route + " dropped: recipient offline", std::nullopt};
    const std::string& host = recipient->second.host;
    return notify(route + " delivered to " + host, host,
                  "message " + std::string(head.name) + " " + std::string(fields->text));
}

const std::string* ChatRouter::provenPassword(ConnectionId connection, std::string_view name) const
{
    const auto names = proven_.find(connection);
    if (names == proven_.end())
        return nullptr;
    const auto found = names->second.find(name);
    return found == names->second.end() ? nullptr : &found->second;
}

bool ChatRouter::passwordHolds(ConnectionId connection, const std::string& peerHost, std::string_view name,
                               std::string_view password, std::string& whyNot)
{
    if (isBot(name) || !accounts_.contains(name)) {
        whyNot = "unknown name " + shown(name);
        return false;
    }
    // A name has one password for good, so once a connection proved it,
    // anything else is wrong without asking the book.
    if (const std::string* proven = provenPassword(connection, name)) {
        whyNot = "wrong password for " + shown(name);
        return *proven == password;
    }
    if (accounts_.isSlowToCheck(name) && !passwordChecks_.allow(peerHost)) {
        whyNot = "password of " + shown(name) + " not checked: too many checks from " + peerHost;
        return false;
    }
    if (!accounts_.matches(name, password)) {
        whyNot = "wrong password for " + shown(name);
        return false;
    }
    proven_[connection].insert_or_assign(std::string(name), std::string(password));
    return true;
}

std::optional<std::string_view> ChatRouter::authenticate(ConnectionId connection, const std::string& peerHost,
                                                         const RequestHead& head, std::string& whyNot)
{
    if (!head.hasName || !head.hasAfterName) {
        whyNot = "malformed " + shown(head.keyword);
        return std::nullopt;
    }
    if (isBot(head.name) || !accounts_.contains(head.name)) {
        whyNot = "unknown name " + shown(head.name);
        return std::nullopt;
    }
    // The password may hold spaces, so it ends at one of them. A connection
    // that logged in has told us which; otherwise each candidate is tried.
    const std::string_view text = head.afterName;
    whyNot = "wrong password for " + shown(head.name);
    for (auto space = text.find(' '); space != std::string_view::npos && !provenPassword(connection, head.name);
         space = text.find(' ', space + 1)) {
        if (space > 0 && !passwordHolds(connection, peerHost, head.name, text.substr(0, space), whyNot)
            && whyNot.find("too many checks") != std::string::npos)
            return std::nullopt;
    }
    const std::string* proven = provenPassword(connection, head.name);
    if (!proven)
        return std::nullopt;
    if (auto fields = fieldsAfterPassword(text, *proven))
        return fields;
    whyNot = (*proven == text ? "malformed " + shown(head.keyword) + " from " : "wrong password for ")
           + shown(head.name);
    return std::nullopt;
}

std::string ChatRouter::hostOf(std::string_view name, const std::string& fallback) const
{
    const auto found = online_.find(name);
    return found == online_.end() ? fallback : found->second.host;
}

RouteResult ChatRouter::notify(std::string log, std::string host, std::string text)
{
    if (text.size() > kMaxNotification)
        return {std::move(log) + " (not sent: too long)", std::nullopt};
    return {std::move(log), Notification{std::move(host), std::move(text)}};
}

std::vector<std::string> ChatRouter::connectionClosed(ConnectionId connection)
{
    std::vector<std::string> logs;
    for (auto it = online_.begin(); it != online_.end();) {
        if (it->second.connection != connection) {
            ++it;
            continue;
        }
        logs.push_back("offline " + shown(it->first) + " (connection closed)");
        it = online_.erase(it);
    }
    proven_.erase(connection);
    return logs;
}

bool ChatRouter::isOnline(std::string_view name) const
{
    return online_.find(name) != online_.end() || isBot(name);
}

bool ChatRouter::hasLogin(ConnectionId connection) const
{
    return std::any_of(online_.begin(), online_.end(),
                       [connection](const auto& entry) { return entry.second.connection == connection; });
}

bool ChatRouter::isBot(std::string_view name) const
{
    return bots_.find(name) != bots_.end();
}

} // namespace qornc::server
