#include "app/AtomicFile.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// An existing file keeps its permissions unless the caller insists (info.cfg must stay private
// even if someone loosened it).
mode_t ModeFor(const std::filesystem::path& file, mode_t mode, bool forceMode)
{
    struct stat existing {};
    if (forceMode || ::stat(file.c_str(), &existing) != 0)
        return mode;
    return existing.st_mode & 07777;
}

std::filesystem::path FolderOf(const std::filesystem::path& file)
{
    const std::filesystem::path folder = file.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

// The rename is only durable once the folder entry itself reaches the disk; a failure here
// cannot undo the replacement any more, so it is not reported.
void SyncFolder(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

bool FillTemporary(int fd, std::string_view bytes, mode_t mode)
{
    return ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes, mode_t mode, bool forceMode)
{
    const std::filesystem::path folder = FolderOf(file);
    // Same folder as the target, so the rename never crosses a file system.
    std::string name = ".";
    name.append(file.filename().string()).append(".XXXXXX");
    std::string temporary = (folder / name).string();
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool filled = FillTemporary(fd, bytes, ModeFor(file, mode, forceMode));
    const bool closed = ::close(fd) == 0;
    if (!filled || !closed || ::rename(temporary.c_str(), file.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolder(folder);
    return true;
}
