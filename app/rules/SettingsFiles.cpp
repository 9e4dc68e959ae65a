#include "app/rules/SettingsFiles.h"

#include <array>
#include <cstddef>
#include <optional>

#include "presence/rules/ContactText.h"
#include "presence/rules/SettingsFileRead.h"

namespace {

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

}  // namespace

IdentityFile ReadIdentity(const std::filesystem::path& file)
{
    IdentityFile identity;
    const BoundedRead read = ReadBounded(file, kIdentityReadLimit);
    identity.state = read.state;
    const std::array<std::string*, 3> targets{&identity.userId, &identity.password, &identity.serverIp};
    const std::array<std::size_t, 3> capacities{kUserIdCapacity, kPasswordCapacity, kServerIpCapacity};
    std::size_t pos = 0;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        std::optional<ValueScan> scan = ScanValue(read.bytes, pos, capacities[i]);
        if (!scan)
            break;
        *targets[i] = std::move(scan->value);
        identity.cut = identity.cut || scan->cut;
        ++identity.valuesRead;
    }
    return identity;
}

std::string IdentityFileBytes(std::string_view userId, std::string_view password, std::string_view serverIp)
{
    std::string text = "userid ";
    text.append(userId).append("\npassword ").append(password).append("\nserverip ").append(serverIp) += '\n';
    return WithCrLf(text);
}
