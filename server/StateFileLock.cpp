#include "StateFileLock.h"

#include "StateFile.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace qornc::server {

StateFileLock::~StateFileLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool StateFileLock::acquire(const std::string& stateFile, std::string& error)
{
    const std::string path = followLinks(stateFile) + ".lock";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = "cannot lock state file " + stateFile + ": " + path + ": " + std::strerror(errno);
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int why = errno;
        ::close(fd);
        error = why == EWOULDBLOCK ? "state file " + stateFile + " is in use by another qornc-server (" + path + ")"
                                   : "cannot lock state file " + stateFile + ": " + std::strerror(why);
        return false;
    }
    fd_ = fd;
    return true;
}

} // namespace qornc::server
