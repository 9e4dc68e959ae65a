#include "presence/rules/SettingsFileRead.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    [[nodiscard]] int get() const { return m_fd; }

private:
    int m_fd;
};

bool ReadUpTo(int fd, std::string& bytes, std::size_t count)
{
    bytes.resize(count);
    std::size_t got = 0;
    while (got < count) {
        const ssize_t n = ::read(fd, bytes.data() + got, count - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return true;
}

}  // namespace

BoundedRead ReadBounded(const std::filesystem::path& file, std::size_t limit)
{
    BoundedRead read;
    const FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        read.state = errno == ENOENT ? SettingsFileState::Missing : SettingsFileState::Unusable;
        return read;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || !ReadUpTo(fd.get(), read.bytes, limit + 1)) {
        read.state = SettingsFileState::Unusable;
        read.bytes.clear();
        return read;
    }
    read.state = SettingsFileState::Read;
    read.more = read.bytes.size() > limit;
    read.bytes.resize(std::min(read.bytes.size(), limit));
    return read;
}

std::string WithCrLf(std::string_view text)
{
    std::string result;
    result.reserve(text.size() + 8);
    for (const char c : text) {
        if (c == '\n')
            result.push_back('\r');
        result.push_back(c);
    }
    return result;
}
