// The state file on disk: read whole at the start, replaced whole by a snapshot. What its lines
// mean is in StateRecords.h; appending to it is StateJournal's.
#pragma once

#include <string>

namespace qornc::server {

// Where `path` leads once its symbolic links are followed; the file to write.
std::string followLinks(const std::string& path);

// A missing file is a first start and reads as empty.
bool readStateFile(const std::string& path, std::string& content, std::string& error);

// Replaces the file in one step (a crash leaves the old or the new file, never a mix), keeps it
// readable by the owner alone, and returns only once the file and its folder are on disk. A
// symbolic link is written through: it stays, and its target changes.
bool replaceStateFile(const std::string& path, const std::string& content, std::string& error);

} // namespace qornc::server
