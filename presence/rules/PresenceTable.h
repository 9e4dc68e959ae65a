// The presence table: 2000 entries recording which contacts the server last reported online.
// Names are exact byte strings. A name is held at most once; a new name takes the first free
// entry; freeing never moves other entries.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct PresenceEntry {
    int online = 0;    // 1 while the entry holds an online contact
    std::string name;  // meaningful only while online; at most 127 characters
    int spare = 0;
};

class PresenceTable {
public:
    static constexpr std::size_t kSize = 2000;
    static constexpr std::size_t kNameCapacity = 128;

    enum class Change { Added, AlreadyOnline, Removed, NotListed, TableFull };

    // Marks name online or offline. A name longer than 127 characters is cut, as its buffer is.
    Change ApplyPresence(std::string_view name, bool online);
    // Frees every online entry whose name is not among names; returns how many were freed.
    std::size_t PruneToContactList(const std::vector<std::string>& names);
    // Every online name followed by CR LF, in entry order; empty when nobody is online.
    [[nodiscard]] std::string BuildOnlineText() const;

    [[nodiscard]] const PresenceEntry& entry(std::size_t index) const { return m_entries.at(index); }
    [[nodiscard]] std::size_t onlineCount() const;

private:
    std::array<PresenceEntry, kSize> m_entries{};
};
