// The client against its own files: lists it must keep byte for byte, paths that are not files,
// and saves that must respect the folder, the links and the modes the user set up.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>

#include <linux/capability.h>
#include <sys/resource.h>
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

std::string Bytes(const QByteArray& bytes)
{
    return bytes.toStdString();
}

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

QString Path(ClientUnderTest& t, const char* name)
{
    return t.folder.filePath(QString::fromLatin1(name));
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
        std::vector<std::string> sent;
        for (const RequestRecord& block : t.server.BlocksStarting("getbuddy"))
            sent.push_back(block.text);
        EXPECT_EQ(sent, asked);
        t.window().OnOK();
        EXPECT_TRUE(t.app->ExitInstance());
        EXPECT_EQ(Bytes(ReadFile(t.listPath())), Bytes(c.list));
    }
}

TEST(FileFaults, SettingsPathsThatAreNoFilesAreMissingAndToldOnce)
{
    struct Case {
        const char* name;
        std::function<void(ClientUnderTest&)> spoil;
        QString told;
    };
    const QString notAFile = QStringLiteral("is not a file that can be read");
    const std::vector<Case> cases = {
        {"info.cfg a folder", [](ClientUnderTest& t) { QFile::remove(Path(t, "info.cfg")); QDir(t.folder.path()).mkdir("info.cfg"); },
         notAFile},
        {"list.cfg a FIFO", [](ClientUnderTest& t) {
             QFile::remove(t.listPath());
             ::mkfifo(QFile::encodeName(t.listPath()).constData(), 0644);
         }, notAFile},
        {"list.cfg a device", [](ClientUnderTest& t) {
             QFile::remove(t.listPath());
             QFile::link(QStringLiteral("/dev/zero"), t.listPath());
         }, notAFile},
        {"list.cfg unreadable", [](ClientUnderTest& t) { ::chmod(QFile::encodeName(t.listPath()).constData(), 0); },
         notAFile},
        {"list.cfg huge", [](ClientUnderTest& t) { QFile::resize(t.listPath(), qint64(200) << 20); },
         QStringLiteral("more contacts than the list can take")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClientUnderTest t;
        c.spoil(t);
        {
            const WithoutFileOverride ordinaryUser;
            t.Open();
        }
        EXPECT_EQ(t.boxes.texts().filter(c.told).size(), 1) << t.boxes.texts().join('|').toStdString();
        EXPECT_LE(t.state().g_listText.size(), 4095u);
        t.window().OnOK();
        EXPECT_TRUE(t.app->ExitInstance()); // nothing was changed, so nothing is written
    }
}

TEST(FileFaults, SavesKeepTheFolderLinksAndModesTheUserSetUp)
{
    struct Case {
        const char* name;
        std::function<void(ClientUnderTest&)> prepare;
        bool saved;
        std::function<void(ClientUnderTest&)> check;
    };
    const auto folder = [](ClientUnderTest& t) { return QFile::encodeName(t.folder.path()); };
    const std::vector<Case> cases = {
        {"read-only folder, writable file", [&](ClientUnderTest& t) { ::chmod(folder(t).constData(), 0555); },
         true, [](ClientUnderTest&) {}},
        {"read-only folder and file",
         [&](ClientUnderTest& t) {
             ::chmod(QFile::encodeName(t.listPath()).constData(), 0444);
             ::chmod(folder(t).constData(), 0555);
         },
         false, [](ClientUnderTest&) {}},
        {"disk full",
         [](ClientUnderTest&) {
             rlimit limit{4, RLIM_INFINITY};
             ::signal(SIGXFSZ, SIG_IGN);
             ::setrlimit(RLIMIT_FSIZE, &limit);
         },
         false, [](ClientUnderTest&) {
             rlimit limit{RLIM_INFINITY, RLIM_INFINITY};
             ::setrlimit(RLIMIT_FSIZE, &limit);
         }},
        {"symlink",
         [](ClientUnderTest& t) {
             QDir(t.folder.path()).mkdir("real");
             QFile::rename(t.listPath(), Path(t, "real/list.cfg"));
             QFile::link(QStringLiteral("real/list.cfg"), t.listPath());
         },
         true, [](ClientUnderTest& t) {
             EXPECT_TRUE(QFileInfo(t.listPath()).isSymLink());
             EXPECT_EQ(ReadFile(Path(t, "real/list.cfg")), "alice\r\ndave\r\n");
         }},
        {"new file under umask 027",
         [](ClientUnderTest& t) {
             QFile::remove(t.listPath());
             ::umask(027);
         },
         true, [](ClientUnderTest& t) {
             ::umask(022);
             struct stat info {};
             ::stat(QFile::encodeName(t.listPath()).constData(), &info);
             EXPECT_EQ(info.st_mode & 0777, 0640u);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClientUnderTest t(kInfo, "alice\r\nbob\r\n");
        t.Open();
        t.window().OnEditListButton();
        qobject_cast<QPlainTextEdit*>(t.window().control(IDC_CONTACTS))->setPlainText(QStringLiteral("alice\ndave\n"));
        t.window().OnOK();
        c.prepare(t);
        bool saved = false;
        {
            const WithoutFileOverride ordinaryUser;
            saved = t.app->ExitInstance();
        }
        ::chmod(folder(t).constData(), 0755);
        c.check(t);
        EXPECT_EQ(saved, c.saved);
        EXPECT_EQ(ReadFile(t.listPath()), c.saved ? "alice\r\ndave\r\n" : "alice\r\nbob\r\n");
        EXPECT_EQ(t.boxes.texts().contains(QStringLiteral("Error saving file")), !c.saved);
        EXPECT_FALSE(QDir(t.folder.path()).entryList(QDir::Files).join(' ').contains("list.cfg.")) << "a temporary file was left";
    }
}
