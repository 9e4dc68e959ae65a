// Replacing a file whole: write a temporary file beside it, flush it to disk, rename it over.
#pragma once

#include <filesystem>
#include <string_view>
#include <sys/types.h>

// mode applies to a newly created file; an existing file keeps its mode unless forceMode is set.
// Returns false, leaving any old file untouched, when any step fails.
[[nodiscard]] bool WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes, mode_t mode,
                                       bool forceMode);
