#include "app/SettingsFiles.h"

#include <array>
#include <cstddef>
#include <fstream>
#include <iterator>
#include <optional>

#include "app/AtomicFile.h"
#include "presence/ContactText.h"

namespace {

std::optional<std::string> ReadWholeFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct ValueScan {
    std::string value;
    bool cut = false;
};

// The key words are never checked, so a renamed or misspelt key still yields its value; what
// matters is the space before each value. Past the capacity the rest of the line is dropped
// rather than taken as the start of the next entry.
std::optional<ValueScan> ScanValue(std::string_view bytes, std::size_t& pos, std::size_t capacity)
{
    const std::size_t space = bytes.find(' ', pos);
    if (space == std::string_view::npos) {
        pos = bytes.size();
        return std::nullopt;
    }
    std::size_t end = bytes.find('\n', space + 1);
    if (end == std::string_view::npos)
        end = bytes.size();
    ValueScan scan{DropCarriageReturns(bytes.substr(space + 1, end - space - 1)), false};
    if (scan.value.size() > capacity - 1) {
        scan.value.resize(capacity - 1);
        scan.cut = true;
    }
    pos = end < bytes.size() ? end + 1 : end;
    return scan;
}

std::string WithCrLf(std::string_view text)
{
    std::string result;
    result.reserve(text.size() + 8);
    for (const char c : text) {
        if (c == '\n')
            result.push_back('\r');
        result.push_back(c);
    }
    return result;
}

// Only whole lines are kept, so a name is never loaded half and then saved half.
std::string WholeLinesWithin(const std::string& text, std::size_t limit)
{
    const std::size_t lastEnd = text.rfind('\n', limit - 1);
    return lastEnd == std::string::npos ? std::string() : text.substr(0, lastEnd + 1);
}

}  // namespace

IdentityFile ReadIdentity(const std::filesystem::path& file)
{
    IdentityFile identity;
    const std::optional<std::string> bytes = ReadWholeFile(file);
    if (!bytes)
        return identity;
    identity.opened = true;
    const std::array<std::string*, 3> targets{&identity.userId, &identity.password, &identity.serverIp};
    const std::array<std::size_t, 3> capacities{kUserIdCapacity, kPasswordCapacity, kServerIpCapacity};
    std::size_t pos = 0;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        std::optional<ValueScan> scan = ScanValue(*bytes, pos, capacities[i]);
        if (!scan)
            break;
        *targets[i] = std::move(scan->value);
        identity.cut = identity.cut || scan->cut;
        ++identity.valuesRead;
    }
    return identity;
}

bool WriteIdentity(const std::filesystem::path& file, std::string_view userId, std::string_view password,
                   std::string_view serverIp)
{
    std::string text = "userid ";
    text.append(userId).append("\npassword ").append(password).append("\nserverip ").append(serverIp) += '\n';
    // The password lives here in clear, so the file is private whatever mode it had before.
    return WriteFileAtomically(file, WithCrLf(text), 0600, true);
}

ContactListFile ReadContactList(const std::filesystem::path& file)
{
    ContactListFile list;
    const std::optional<std::string> bytes = ReadWholeFile(file);
    if (!bytes)
        return list;
    list.opened = true;
    list.text = ToCrLf(*bytes);
    if (list.text.size() > kContactListMaxLength) {
        list.text = WholeLinesWithin(list.text, kContactListMaxLength);
        list.truncated = true;
    }
    return list;
}

bool WriteContactList(const std::filesystem::path& file, std::string_view text)
{
    return WriteFileAtomically(file, WithCrLf(DropCarriageReturns(text)), 0644, false);
}
