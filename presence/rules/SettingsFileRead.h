// Reading a settings file: bounded, without blocking, plain files only. Both settings files are
// read this way, and written with LF turned into CR LF.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

enum class SettingsFileState {
    Missing,  // no such file: the normal first run
    Read,
    Unusable, // a folder, a FIFO, a device, or unreadable: treated as missing, but worth telling
};

struct BoundedRead {
    SettingsFileState state = SettingsFileState::Missing;
    std::string bytes;  // at most limit bytes
    bool more = false;  // the file goes on past them
};

// Non-blocking, so a FIFO without a writer cannot hang the start; anything that is not a plain
// file after following links is not a settings file, and a device is never read at all.
[[nodiscard]] BoundedRead ReadBounded(const std::filesystem::path& file, std::size_t limit);

// Every LF preceded by a CR; other bytes, CRs included, as they are.
[[nodiscard]] std::string WithCrLf(std::string_view text);
