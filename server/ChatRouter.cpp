#include "ChatRouter.h"

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

ChatRouter::ChatRouter(AccountBook accounts, const std::vector<std::string>& bots)
    : accounts_(std::move(accounts))
    , bots_(bots.begin(), bots.end())
{
}

RouteResult ChatRouter::handle(ConnectionId connection, const std::string& peerHost, std::string_view text)
{
    const RequestHead head = parseHead(text);
    if (head.keyword == "login")
        return login(connection, peerHost, head);
    if (head.keyword == "logout")
        return logout(head);
    if (head.keyword == "getbuddy")
        return getBuddy(peerHost, head);
    if (head.keyword == "message")
        return message(peerHost, head);
    return ignored("unknown request '" + shown(head.keyword) + "' from " + peerHost);
}

RouteResult ChatRouter::login(ConnectionId connection, const std::string& peerHost, const RequestHead& head)
{
    if (!head.hasName || head.afterName.empty())
        return ignored("malformed login from " + peerHost);
    const std::string name = shown(head.name);
    if (isBot(head.name))
        return ignored("login as bot " + name + " from " + peerHost);
    switch (accounts_.login(head.name, head.afterName)) {
    case AccountBook::Login::WrongPassword:
        return ignored("wrong password for " + name);
    case AccountBook::Login::Full:
        return ignored("login " + name + " refused: too many accounts");
    case AccountBook::Login::Registered:
    case AccountBook::Login::Accepted:
        break;
    }
    online_.insert_or_assign(std::string(head.name), Presence{connection, peerHost});
    return {"login " + name + " from " + peerHost, std::nullopt};
}

RouteResult ChatRouter::logout(const RequestHead& head)
{
    if (!head.hasName || head.afterName.empty())
        return ignored("malformed logout");
    const std::string name = shown(head.name);
    const std::string* password = accounts_.passwordOf(head.name);
    if (!password)
        return ignored("unknown name " + name);
    if (*password != head.afterName)
        return ignored("wrong password for " + name);
    const auto found = online_.find(head.name);
    if (found == online_.end())
        return {"logout " + name + " (was not online)", std::nullopt};
    online_.erase(found);
    return {"logout " + name, std::nullopt};
}

RouteResult ChatRouter::getBuddy(const std::string& peerHost, const RequestHead& head)
{
    std::string whyNot;
    const auto contact = authenticate(head, whyNot);
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

RouteResult ChatRouter::message(const std::string& peerHost, const RequestHead& head)
{
    std::string whyNot;
    const auto rest = authenticate(head, whyNot);
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

std::optional<std::string_view> ChatRouter::authenticate(const RequestHead& head, std::string& whyNot) const
{
    if (!head.hasName || !head.hasAfterName) {
        whyNot = "malformed " + shown(head.keyword);
        return std::nullopt;
    }
    const std::string* password = isBot(head.name) ? nullptr : accounts_.passwordOf(head.name);
    if (!password) {
        whyNot = "unknown name " + shown(head.name);
        return std::nullopt;
    }
    const auto fields = fieldsAfterPassword(head.afterName, *password);
    if (!fields && head.afterName == *password)
        whyNot = "malformed " + shown(head.keyword) + " from " + shown(head.name);
    else if (!fields)
        whyNot = "wrong password for " + shown(head.name);
    return fields;
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
    return logs;
}

bool ChatRouter::isOnline(std::string_view name) const
{
    return online_.find(name) != online_.end() || isBot(name);
}

bool ChatRouter::isBot(std::string_view name) const
{
    return bots_.find(name) != bots_.end();
}

} // namespace qornc::server
