#include "StateFile.h"

#include "LineFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qornc::server {

namespace {

// The whole of `content` in a new file of mode 0600, on disk when this returns true.
bool writeSynced(const std::string& path, const std::string& content)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    // A leftover file of an earlier crash may have had wider permissions.
    bool ok = ::fchmod(fd, 0600) == 0;
    for (std::size_t done = 0; ok && done < content.size();) {
        const ssize_t written = ::write(fd, content.data() + done, content.size() - done);
        ok = written > 0 || (written < 0 && errno == EINTR);
        done += written > 0 ? static_cast<std::size_t>(written) : 0;
    }
    ok = ok && ::fsync(fd) == 0;
    const int firstError = errno;
    const bool closed = ::close(fd) == 0;
    if (!ok)
        errno = firstError;
    return ok && closed;
}

bool syncFolder(const std::string& file)
{
    const std::string folder = std::filesystem::path(file).parent_path().string();
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Some file systems cannot sync a folder at all; there is nothing more to do on them.
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return ok;
}

bool fail(std::string& error, const std::string& what)
{
    error = what + ": " + std::strerror(errno);
    return false;
}

} // namespace

std::string followLinks(const std::string& path)
{
    // As the kernel does, but a dangling last link still names the file to create.
    std::filesystem::path current(path);
    std::error_code error;
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(std::filesystem::symlink_status(current, error));
         ++hops) {
        const std::filesystem::path target = std::filesystem::read_symlink(current, error);
        if (error)
            break;
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return current.string();
}

bool readStateFile(const std::string& path, std::string& content, std::string& error)
{
    std::error_code ignored;
    content.clear();
    if (!std::filesystem::exists(std::filesystem::symlink_status(followLinks(path), ignored)))
        return true;
    return readWholeFile(path, "state file", content, error);
}

bool replaceStateFile(const std::string& path, const std::string& content, std::string& error)
{
    // Through a link: the link stays, its target gets the new content.
    const std::string target = followLinks(path);
    const std::string temporary = target + ".new";
    if (!writeSynced(temporary, content) || ::rename(temporary.c_str(), target.c_str()) != 0) {
        const int saved = errno;
        ::unlink(temporary.c_str());
        errno = saved;
        return fail(error, "cannot write state file " + path);
    }
    // The rename itself is only durable once the folder is on disk.
    if (!syncFolder(target))
        return fail(error, "cannot sync the folder of state file " + path);
    return true;
}

} // namespace qornc::server
