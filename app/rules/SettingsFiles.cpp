#include "app/rules/SettingsFiles.h"

#include <array>
#include <cerrno>
#include <cstddef>
#include <optional>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "presence/rules/ContactText.h"

namespace {

struct BoundedRead {
    SettingsFileState state = SettingsFileState::Missing;
    std::string bytes;  // at most limit bytes
    bool more = false;  // the file goes on past them
};

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

// Non-blocking, so a FIFO without a writer cannot hang the start; anything that is not a plain
// file after following links is not a settings file, and a device is never read at all.
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

struct ValueScan {
    std::string value;
    bool cut = false;
};

// The key words are never checked, so a renamed or misspelt key still yields its value; what
// matters is the space before each value. Past the capacity the rest of the line is dropped
// rather than taken as the start of the next entry.
std::optional<ValueScan> ScanValue(std::string_view bytes, std::size_t& pos, std::size_t capacity)
{
    const std::size_t space = bytes.find(' ', pos);
    if (space == std::string_view::npos) {
        pos = bytes.size();
        return std::nullopt;
    }
    std::size_t end = bytes.find('\n', space + 1);
    if (end == std::string_view::npos)
        end = bytes.size();
    ValueScan scan{DropCarriageReturns(bytes.substr(space + 1, end - space - 1)), false};
    if (scan.value.size() > capacity - 1) {
        scan.value.resize(capacity - 1);
        scan.cut = true;
    }
    pos = end < bytes.size() ? end + 1 : end;
    return scan;
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

// Only whole lines are kept, so a name is never loaded half and then saved half.
std::string WholeLinesWithin(const std::string& text, std::size_t limit)
{
    const std::size_t lastEnd = text.rfind('\n', limit - 1);
    return lastEnd == std::string::npos ? std::string() : text.substr(0, lastEnd + 1);
}

}  // namespace

IdentityFile ReadIdentity(const std::filesystem::path& file)
{
    IdentityFile identity;
    const BoundedRead read = ReadBounded(file, kIdentityReadLimit);
    identity.state = read.state;
    const std::array<std::string*, 3> targets{&identity.userId, &identity.password, &identity.serverIp};
    const std::array<std::size_t, 3> capacities{kUserIdCapacity, kPasswordCapacity, kServerIpCapacity};
    std::size_t pos = 0;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        std::optional<ValueScan> scan = ScanValue(read.bytes, pos, capacities[i]);
        if (!scan)
            break;
        *targets[i] = std::move(scan->value);
        identity.cut = identity.cut || scan->cut;
        ++identity.valuesRead;
    }
    return identity;
}

std::string IdentityFileBytes(std::string_view userId, std::string_view password, std::string_view serverIp)
{
    std::string text = "userid ";
    text.append(userId).append("\npassword ").append(password).append("\nserverip ").append(serverIp) += '\n';
    return WithCrLf(text);
}

ContactListFile ReadContactList(const std::filesystem::path& file)
{
    ContactListFile list;
    // A line end in memory takes at least as many bytes as on disk, so the bytes that can
    // yield a line within the buffer are all in its first kContactListMaxLength + 1.
    const BoundedRead read = ReadBounded(file, kContactListMaxLength + 1);
    list.state = read.state;
    list.text = ToCrLf(read.bytes);
    if (read.more || list.text.size() > kContactListMaxLength) {
        list.text = WholeLinesWithin(list.text, kContactListMaxLength);
        list.truncated = true;
    }
    return list;
}

std::string ContactListFileBytes(std::string_view text)
{
    return WithCrLf(DropCarriageReturns(text));
}
