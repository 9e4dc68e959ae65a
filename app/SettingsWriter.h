// Writing a settings file the way its user set it up: replaced whole where the folder allows,
// written in place where only the file is writable, through a symlink to its target (the link
// stays). A new file gets the umask's mode; an existing one keeps its own, unless private.
#pragma once

#include <filesystem>
#include <string_view>

enum class FileAccess { Kept, OwnerOnly };

// False, leaving the old file as it was where the folder allows, when any step fails or when
// the path names something that is not a plain file.
[[nodiscard]] bool WriteSettingsFile(const std::filesystem::path& file, std::string_view bytes, FileAccess access);
