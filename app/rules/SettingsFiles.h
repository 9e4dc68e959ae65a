// info.cfg and list.cfg. info.cfg: three lines "userid", "password", "serverip", each a key word,
// one space and the value; the reader skips to the next space, wherever it is, and takes the rest
// up to LF, dropping CR. list.cfg: one contact per line; CR LF, LF and a lone CR each end a line
// on reading, CR LF in memory and on disk. Values and names are bytes, kept as they are.
// This side reads and produces the bytes; writing them is the Qt layer's (SettingsWriter).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

inline constexpr std::size_t kUserIdCapacity = 128;
inline constexpr std::size_t kPasswordCapacity = 128;
inline constexpr std::size_t kServerIpCapacity = 24;
// No info.cfg this program writes comes near this; a bigger one is read only this far.
inline constexpr std::size_t kIdentityReadLimit = 4096;

enum class SettingsFileState {
    Missing,  // no such file: the normal first run
    Read,
    Unusable, // a folder, a FIFO, a device, or unreadable: treated as missing, but worth telling
};

struct IdentityFile {
    SettingsFileState state = SettingsFileState::Missing;
    int valuesRead = 0;  // 0 to 3: name, password, server address, in this order
    bool cut = false;    // some value was longer than its buffer and was cut
    std::string userId;
    std::string password;
    std::string serverIp;
};

// A value ended by the end of the file instead of a LF still counts; a value whose separating
// space never comes is not read, and the caller keeps what it held for it and for the rest.
[[nodiscard]] IdentityFile ReadIdentity(const std::filesystem::path& file);

// "userid %s\npassword %s\nserverip %s\n" with CR LF line ends.
[[nodiscard]] std::string IdentityFileBytes(std::string_view userId, std::string_view password,
                                            std::string_view serverIp);

struct ContactListFile {
    SettingsFileState state = SettingsFileState::Missing;
    bool truncated = false;  // the file held more than fits: only the whole lines that fit were loaded
    std::string text;        // CR LF line ends, at most kContactListMaxLength bytes
};

// Reads no more than one byte past what the list can hold, however big the file is.
[[nodiscard]] ContactListFile ReadContactList(const std::filesystem::path& file);
// Drops every CR of text and writes each LF as CR LF.
[[nodiscard]] std::string ContactListFileBytes(std::string_view text);
