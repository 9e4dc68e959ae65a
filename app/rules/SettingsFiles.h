// info.cfg: three lines "userid", "password", "serverip", each a key word, one space and the
// value; the reader skips to the next space, wherever it is, and takes the rest up to LF, dropping
// CR. Values are bytes, kept as they are. This side reads and produces the bytes; writing them is
// the Qt layer's (SettingsWriter). list.cfg is the contact list's: presence/rules/ContactListFile.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "net/rules/LinkState.h"
#include "presence/rules/SettingsFileRead.h"

// No info.cfg this program writes comes near this; a bigger one is read only this far.
inline constexpr std::size_t kIdentityReadLimit = 4096;

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
