// info.cfg and list.cfg. info.cfg: three lines "userid", "password", "serverip", each a key word,
// one space and the value; the reader skips to the next space, wherever it is, and takes the rest
// up to LF, dropping CR. list.cfg: one contact per line, CR LF on disk, CR LF in memory.
// Both files are replaced atomically, so a failed write leaves the old file intact.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

inline constexpr std::size_t kUserIdCapacity = 128;
inline constexpr std::size_t kPasswordCapacity = 128;
inline constexpr std::size_t kServerIpCapacity = 24;

struct IdentityFile {
    bool opened = false;
    int valuesRead = 0;  // 0 to 3: name, password, server address, in this order
    bool cut = false;    // some value was longer than its buffer and was cut
    std::string userId;
    std::string password;
    std::string serverIp;
};

// A value ended by the end of the file instead of a LF still counts; a value whose separating
// space never comes is not read, and the caller keeps what it held for it and for the rest.
[[nodiscard]] IdentityFile ReadIdentity(const std::filesystem::path& file);

// Writes "userid %s\npassword %s\nserverip %s\n" with CR LF line ends, mode 0600.
[[nodiscard]] bool WriteIdentity(const std::filesystem::path& file, std::string_view userId,
                                 std::string_view password, std::string_view serverIp);

struct ContactListFile {
    bool opened = false;
    bool truncated = false;  // the file held more than fits: only the whole lines that fit were loaded
    std::string text;        // CR LF line ends, at most kContactListMaxLength bytes
};

[[nodiscard]] ContactListFile ReadContactList(const std::filesystem::path& file);
// Drops every CR of text and writes each LF as CR LF.
[[nodiscard]] bool WriteContactList(const std::filesystem::path& file, std::string_view text);
