#include "StateRecords.h"

#include "LineParsing.h"
#include "PasswordHasher.h"

#include <charconv>
#include <vector>

namespace qornc::server {

namespace {

constexpr std::string_view kHeader =
    "# qornc-server state: \"HASH NAME\" per registered account, \"held ID SECONDS RECIPIENT TEXT\" per kept "
    "message, \"released ID\" once it went; written by the server\n";

bool needsEscape(unsigned char byte)
{
    return byte <= ' ' || byte == 0x7f || byte == '%';
}

std::string escaped(std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (needsEscape(byte))
            out += {'%', kHex[byte >> 4], kHex[byte & 0xf]};
        else
            out += c;
    }
    return out;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool unescape(std::string_view text, std::string& out)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte != '%') {
            if (needsEscape(byte))
                return false;
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return false;
        const int high = hexValue(text[i + 1]);
        const int low = hexValue(text[i + 2]);
        if (high < 0 || low < 0)
            return false;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

std::vector<std::string_view> fields(std::string_view line)
{
    std::vector<std::string_view> out;
    for (;;) {
        const auto space = line.find(' ');
        out.push_back(line.substr(0, space));
        if (space == std::string_view::npos)
            return out;
        line.remove_prefix(space + 1);
    }
}

template <typename Number>
bool number(std::string_view text, Number& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool parseHeld(const std::vector<std::string_view>& parts, JournalState& state, std::string& error)
{
    HeldMessage message;
    if (parts.size() != 5 || !number(parts[1], message.id) || !number(parts[2], message.heldAtSeconds)
        || !unescape(parts[3], message.recipient) || message.recipient.empty()
        || !unescape(parts[4], message.notification)) {
        error = "expected \"held ID SECONDS RECIPIENT TEXT\"";
        return false;
    }
    state.held.insert_or_assign(message.id, std::move(message));
    return true;
}

bool parseReleased(const std::vector<std::string_view>& parts, JournalState& state, std::string& error)
{
    std::uint64_t id = 0;
    if (parts.size() != 2 || !number(parts[1], id)) {
        error = "expected \"released ID\"";
        return false;
    }
    state.held.erase(id);
    return true;
}

bool parseAccount(const std::vector<std::string_view>& parts, JournalState& state, std::string& error)
{
    std::string name;
    const std::string hash(parts[0]);
    if (parts.size() != 2 || !PasswordHasher::isHash(hash) || !unescape(parts[1], name) || name.empty()) {
        error = "expected \"HASH NAME\"";
        return false;
    }
    state.accounts.insert_or_assign(std::move(name), hash);
    return true;
}

bool parseRecord(std::string_view line, JournalState& state, std::string& error)
{
    const auto parts = fields(line);
    if (parts[0] == "held")
        return parseHeld(parts, state, error);
    if (parts[0] == "released")
        return parseReleased(parts, state, error);
    return parseAccount(parts, state, error);
}

} // namespace

std::string accountRecord(std::string_view name, std::string_view hash)
{
    std::string record(hash);
    return record + ' ' + escaped(name) + '\n';
}

std::string heldRecord(const HeldMessage& message)
{
    return "held " + std::to_string(message.id) + ' ' + std::to_string(message.heldAtSeconds) + ' '
        + escaped(message.recipient) + ' ' + escaped(message.notification) + '\n';
}

std::string releasedRecord(std::uint64_t id)
{
    return "released " + std::to_string(id) + '\n';
}

std::string formatSnapshot(const JournalState& state)
{
    std::string out(kHeader);
    for (const auto& [name, hash] : state.accounts)
        out += accountRecord(name, hash);
    for (const auto& [id, message] : state.held)
        out += heldRecord(message);
    return out;
}

Replay replayRecords(std::string_view content, JournalState& state)
{
    Replay replay;
    const auto lastEnd = content.rfind('\n');
    replay.usedBytes = lastEnd == std::string_view::npos ? 0 : lastEnd + 1;
    replay.tornTail = replay.usedBytes < content.size();
    replay.ok = parseLines(
        content.substr(0, replay.usedBytes),
        [&state](std::string_view line, std::string& error) { return parseRecord(line, state, error); }, replay.error);
    return replay;
}

} // namespace qornc::server
