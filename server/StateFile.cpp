#include "StateFile.h"

#include "AccountBook.h"
#include "LineFile.h"
#include "PasswordHasher.h"
#include "RequestText.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qornc::server {

namespace {

constexpr std::string_view kHeader =
    "# qornc-server state: \"HASH NAME\" per registered account; rewritten by the server\n";

bool needsEscape(unsigned char byte)
{
    return byte <= ' ' || byte == 0x7f || byte == '%';
}

std::string escapeName(std::string_view name)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (needsEscape(byte))
            out += {'%', kHex[byte >> 4], kHex[byte & 0xf]};
        else
            out += c;
    }
    return out;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool unescapeName(std::string_view text, std::string& name)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte != '%') {
            if (needsEscape(byte))
                return false;
            name += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return false;
        const int high = hexValue(text[i + 1]);
        const int low = hexValue(text[i + 2]);
        if (high < 0 || low < 0)
            return false;
        name += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return !name.empty();
}

bool parseLine(std::string_view line, AccountBook& book, std::string& error)
{
    const WordSplit split = splitFirstWord(line);
    std::string name;
    const std::string hash(split.word);
    if (!PasswordHasher::isHash(hash) || !unescapeName(split.rest, name)) {
        error = "expected \"HASH NAME\"";
        return false;
    }
    // The accounts file has the last word on the names it lists.
    if (book.contains(name) && !book.isSlowToCheck(name))
        return true;
    if (!book.addHashed(name, hash)) {
        error = book.contains(name) ? "duplicate name" : "too many accounts";
        return false;
    }
    return true;
}

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

std::string formatState(const AccountBook& book)
{
    std::string out(kHeader);
    for (const auto& [name, hash] : book.registered())
        out += hash + ' ' + escapeName(name) + '\n';
    return out;
}

bool parseState(std::string_view content, AccountBook& book, std::string& error)
{
    return parseLines(
        content, [&book](std::string_view line, std::string& lineError) { return parseLine(line, book, lineError); },
        error);
}

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

bool loadStateFile(const std::string& path, AccountBook& book, std::string& error)
{
    std::error_code ignored;
    if (!std::filesystem::exists(std::filesystem::symlink_status(followLinks(path), ignored)))
        return true;
    return loadLineFile(
        path, "state file",
        [&book](std::string_view content, std::string& parseError) { return parseState(content, book, parseError); },
        error);
}

bool saveStateFile(const std::string& path, const AccountBook& book, std::string& error)
{
    // Through a link: the link stays, its target gets the new content.
    const std::string target = followLinks(path);
    const std::string temporary = target + ".new";
    if (!writeSynced(temporary, formatState(book)) || ::rename(temporary.c_str(), target.c_str()) != 0) {
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
