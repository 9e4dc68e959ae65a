// The client against its own files: lists it must keep byte for byte, paths that are not files,
// and saves that must respect the folder, the links and the modes the user set up.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "FaultHarness.h"
#include "res/Resources.h"

namespace {

// Tests run as root, which writes through any mode bits: drop the overriding capabilities of
// this thread for a while, as an ordinary user has none of them.
class WithoutFileOverride {
public:
    WithoutFileOverride()
    {
        syscall(SYS_capget, &m_header, m_saved);
        __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        syscall(SYS_capset, &m_header, lowered);
    }
    ~WithoutFileOverride() { syscall(SYS_capset, &m_header, m_saved); }

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
};

// The getbuddy texts a refresh of these lines sends: the first line once, every other twice;
// a name holding a NUL or too long for its block is never sent.
std::vector<std::string> Asked(const std::vector<std::string>& lines)
{
    std::vector<std::string> asked;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find('\0') != std::string::npos || lines[i].size() > 100)
            continue;
        asked.insert(asked.end(), i == 0 ? 1 : 2, "getbuddy tester secret " + lines[i]);
    }
    return asked;
}

}  // namespace

TEST(FileFaults, UnchangedListStaysByteForByteAndEveryNameIsAskedAsItIs)
{
    const QByteArray longName = QByteArray(1000, 'n') + "\n";
    struct Case {
        const char* name;
        QByteArray list;
        std::vector<std::string> lines; // as loaded
    };
    const std::vector<Case> cases = {
        {"Latin-1", "Jos\xe9\r\nann\r\n", {"Jos\xe9", "ann"}},
        {"NUL inside a name", QByteArray("ann\r\nbob\0x\r\ncy\r\n", 16), {"ann", std::string("bob\0x", 5), "cy"}},
        {"CR only", "bob\rann\rcarol\r", {"bob", "ann", "carol"}},
        {"mixed ends, the last unended", "a\r\nb\nc\r\rd", {"a", "b", "c", ""}},
        {"BOM and no-break space", "\xef\xbb\xbf" "ann\r\nAnn\xc2\xa0Lee\r\n", {"\xef\xbb\xbf" "ann", "Ann\xc2\xa0Lee"}},
        {"invalid UTF-8, private use, separators", "\xff\xc3\r\n\xef\x9f\xa9z\r\n\xe2\x80\xa8\r\n",
         {"\xff\xc3", "\xef\x9f\xa9z", "\xe2\x80\xa8"}},
        {"over-long", "Jos\xe9\n" + longName.repeated(5), {"Jos\xe9"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClientUnderTest t(kInfo, c.list);
        t.Open();
        const std::vector<std::string> asked = Asked(c.lines);
        ASSERT_TRUE(t.server.WaitForBlocks("getbuddy", asked.size()));
        Settle(50);
        EXPECT_EQ(t.server.TextsStarting("getbuddy"), asked);
        t.window().OnOK();
        EXPECT_TRUE(t.app->ExitInstance());
        EXPECT_EQ(ReadBytes(t.listPath().toStdString()), c.list.toStdString());
    }
}

TEST(FileFaults, SettingsPathsThatAreNoFilesAreMissingAndToldOnce)
{
    const QString notAFile = QStringLiteral("is not a file that can be read");
    const std::vector<std::tuple<const char*, std::function<void(const QString&)>, QString>> cases = {
        {"info.cfg", [](const QString& path) { QFile::remove(path); QDir().mkdir(path); }, notAFile},
        {"list.cfg", [](const QString& path) { QFile::remove(path); ::mkfifo(QFile::encodeName(path).constData(), 0644); },
         notAFile},
        {"list.cfg", [](const QString& path) { QFile::remove(path); QFile::link(QStringLiteral("/dev/zero"), path); },
         notAFile},
        {"list.cfg", [](const QString& path) { ::chmod(QFile::encodeName(path).constData(), 0); }, notAFile},
    };
    for (const auto& [file, spoil, told] : cases) {
        ClientUnderTest t;
        spoil(t.folder.filePath(QString::fromLatin1(file)));
        {
            const WithoutFileOverride ordinaryUser;
            t.Open();
        }
        EXPECT_EQ(t.boxes.texts().filter(told).size(), 1) << t.boxes.texts().join('|').toStdString();
        t.window().OnOK();
        EXPECT_TRUE(t.app->ExitInstance()); // nothing was changed, so nothing is written
    }
}

TEST(FileFaults, SavesKeepTheFolderLinksAndModesTheUserSetUp)
{
    const auto name = [](const QString& path) { return QFile::encodeName(path); };
    struct Case {
        const char* name;
        std::function<void(const QString& folder, const QString& list)> prepare;
        bool saved;
        unsigned mode; // of list.cfg afterwards: kept, or the umask's for a new file
    };
    const std::vector<Case> cases = {
        {"read-only folder, writable file", [&](const QString& folder, const QString&) { ::chmod(name(folder), 0555); }, true, 0644},
        {"read-only folder and file",
         [&](const QString& folder, const QString& list) {
             ::chmod(name(list), 0444);
             ::chmod(name(folder), 0555);
         }, false, 0444},
        {"symlink",
         [](const QString& folder, const QString& list) {
             QDir(folder).mkdir("real");
             QFile::rename(list, folder + "/real/list.cfg");
             QFile::link(QStringLiteral("real/list.cfg"), list);
         }, true, 0644},
        {"new file under umask 027", [](const QString&, const QString& list) { QFile::remove(list); ::umask(027); }, true, 0640},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClientUnderTest t(kInfo, "alice\r\nbob\r\n");
        t.Open();
        t.window().OnEditListButton();
        qobject_cast<QPlainTextEdit*>(t.window().control(IDC_CONTACTS))->setPlainText(QStringLiteral("alice\ndave\n"));
        t.window().OnOK();
        c.prepare(t.folder.path(), t.listPath());
        bool saved = false;
        {
            const WithoutFileOverride ordinaryUser;
            saved = t.app->ExitInstance();
        }
        ::umask(022);
        ::chmod(name(t.folder.path()), 0755);
        EXPECT_EQ(saved, c.saved);
        EXPECT_EQ(ReadBytes(t.listPath().toStdString()), c.saved ? "alice\r\ndave\r\n" : "alice\r\nbob\r\n");
        EXPECT_EQ(t.boxes.texts().contains(QStringLiteral("Error saving file")), !c.saved);
        EXPECT_EQ(QFileInfo(t.listPath()).isSymLink(), std::string(c.name) == "symlink");
        struct stat info {};
        ::stat(name(t.listPath()), &info);
        EXPECT_EQ(info.st_mode & 0777, c.mode);
    }
}
