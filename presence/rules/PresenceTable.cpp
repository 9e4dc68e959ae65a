#include "presence/rules/PresenceTable.h"

#include <algorithm>
#include <unordered_set>

namespace {

std::string_view Stored(std::string_view name)
{
    return name.substr(0, PresenceTable::kNameCapacity - 1);
}

// A refresh applies one answer per contact, each scanning the table: the size test keeps most
// comparisons from touching the bytes.
bool SameName(const std::string& held, std::string_view name)
{
    return held.size() == name.size() && std::string_view(held) == name;
}

void Free(PresenceEntry& entry)
{
    entry.online = 0;
    entry.name.clear();
}

}  // namespace

PresenceTable::Change PresenceTable::ApplyPresence(std::string_view name, bool online)
{
    name = Stored(name);
    PresenceEntry* firstFree = nullptr;
    for (PresenceEntry& entry : m_entries) {
        if (entry.online == 0) {
            if (firstFree == nullptr)
                firstFree = &entry;
            continue;
        }
        if (!SameName(entry.name, name))
            continue;
        if (!online) {
            Free(entry);
            return Change::Removed;
        }
        return Change::AlreadyOnline;
    }
    if (!online)
        return Change::NotListed;
    if (firstFree == nullptr)
        return Change::TableFull;
    firstFree->online = 1;
    firstFree->name.assign(name);
    return Change::Added;
}

std::size_t PresenceTable::PruneToContactList(const std::vector<std::string>& names)
{
    std::unordered_set<std::string_view> listed;
    listed.reserve(names.size());
    for (const std::string& name : names)
        listed.insert(Stored(name));
    std::size_t freed = 0;
    for (PresenceEntry& entry : m_entries) {
        if (entry.online == 0 || listed.contains(entry.name))
            continue;
        Free(entry);
        entry.spare = 0;
        ++freed;
    }
    return freed;
}

std::string PresenceTable::BuildOnlineText() const
{
    std::string text;
    for (const PresenceEntry& entry : m_entries) {
        if (entry.online != 0)
            text.append(entry.name).append("\r\n");
    }
    return text;
}

std::size_t PresenceTable::onlineCount() const
{
    return static_cast<std::size_t>(
        std::count_if(m_entries.begin(), m_entries.end(), [](const PresenceEntry& e) { return e.online != 0; }));
}
