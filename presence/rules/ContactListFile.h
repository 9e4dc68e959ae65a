// list.cfg: one contact per line; CR LF, LF and a lone CR each end a line on reading, CR LF in
// memory and on disk. Names are bytes, kept as they are. This side reads and produces the bytes;
// writing them is the Qt layer's (SettingsWriter).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "presence/rules/SettingsFileRead.h"

struct ContactListFile {
    SettingsFileState state = SettingsFileState::Missing;
    bool truncated = false;  // the file held more than fits: only the whole lines that fit were loaded
    std::string text;        // CR LF line ends, at most kContactListMaxLength bytes
};

// Reads no more than one byte past what the list can hold, however big the file is.
[[nodiscard]] ContactListFile ReadContactList(const std::filesystem::path& file);
// Drops every CR of text and writes each LF as CR LF.
[[nodiscard]] std::string ContactListFileBytes(std::string_view text);
