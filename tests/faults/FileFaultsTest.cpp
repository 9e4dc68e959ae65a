// The client against its own files: a folder it cannot write at Exit, a full disk, and
// info.cfg / list.cfg holding junk. It starts, says what went wrong, and keeps the old list.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QRandomGenerator>

#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "FaultHarness.h"
#include "res/Resources.h"

namespace {

const QByteArray kOldList = "alice\r\nbob\r\n";

// Tests run as root, which writes through any mode bits: drop the overriding capabilities of
// this thread for a while, as an ordinary user has none of them.
class WithoutFileOverride {
public:
    WithoutFileOverride()
    {
        m_saved = Get();
        __user_cap_data_struct lowered[2] = {m_saved.data[0], m_saved.data[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        Set(lowered);
    }
    ~WithoutFileOverride() { Set(m_saved.data); }

private:
    struct Caps {
        __user_cap_data_struct data[2];
    };
    static Caps Get()
    {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        Caps caps{};
        syscall(SYS_capget, &header, caps.data);
        return caps;
    }
    static void Set(__user_cap_data_struct* data)
    {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        syscall(SYS_capset, &header, data);
    }
    Caps m_saved{};
};

class WithFileSizeLimit {
public:
    explicit WithFileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~WithFileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved{};
};

}  // namespace

TEST(FileFaults, ListThatCannotBeSavedAtExitIsReportedAndTheOldOneSurvives)
{
    struct Case {
        const char* name;
        std::function<bool(ClientUnderTest&)> exitUnderFault;
    };
    const std::vector<Case> cases = {
        {"read-only folder",
         [](ClientUnderTest& t) {
             ::chmod(QFile::encodeName(t.folder.path()).constData(), 0555);
             bool saved = false;
             {
                 const WithoutFileOverride ordinaryUser;
                 saved = t.app->ExitInstance();
             }
             ::chmod(QFile::encodeName(t.folder.path()).constData(), 0755);
             return saved;
         }},
        {"disk full",
         [](ClientUnderTest& t) {
             const WithFileSizeLimit full(4);
             return t.app->ExitInstance();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClientUnderTest t(kInfo, kOldList);
        t.Open();
        t.window().OnEditListButton();
        qobject_cast<QPlainTextEdit*>(t.window().control(IDC_CONTACTS))->setPlainText(QStringLiteral("alice\ndave\n"));
        t.window().OnOK();
        EXPECT_FALSE(c.exitUnderFault(t));
        EXPECT_EQ(ReadFile(t.listPath()), kOldList);
        EXPECT_TRUE(t.boxes.texts().contains(QStringLiteral("Error saving file")))
            << t.boxes.texts().join('|').toStdString();
        EXPECT_EQ(QDir(t.folder.path()).entryList(QDir::Files).size(), 2) << "a temporary file was left behind";
    }
}

TEST(FileFaults, JunkSettingsFilesStartTheClientAndAnUntouchedListIsKept)
{
    QByteArray junk(3000, '\0');
    QRandomGenerator generator(7);
    for (char& byte : junk)
        byte = char(generator.bounded(1, 256)); // no NUL: a NUL would end the text on purpose
    const QByteArray hugeLine = QByteArray(200 * 1024, 'n') + "\n";
    struct Case {
        const char* name;
        QByteArray info;
        QByteArray list;
        bool listTooLong; // the user must be told only the first contacts were loaded
    };
    const std::vector<Case> cases = {
        {"binary junk", junk, junk, false},
        {"no line ends", "userid tester password secret serverip 127.0.0.1", "alice bob carol", false},
        {"huge lines", "userid " + hugeLine + "password " + hugeLine + "serverip " + hugeLine,
         "alice\n" + hugeLine + "bob\n", true},
        {"many short lines", kInfo, QByteArray("x\n").repeated(5000), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClientUnderTest t(c.info, c.list);
        t.Open();
        ClientState& state = t.state();
        EXPECT_LT(state.g_userId.size(), decltype(state.g_userId)::kCapacity);
        EXPECT_LT(state.g_serverIp.size(), decltype(state.g_serverIp)::kCapacity);
        EXPECT_LE(state.g_listText.size(), 4095u);
        const bool toldTooLong = !t.boxes.texts().filter("more contacts than the list can take").isEmpty();
        EXPECT_EQ(toldTooLong, c.listTooLong);
        // The client is alive: its window answers commands.
        t.window().OnUpdateListButton();
        t.window().OnOK();
        EXPECT_TRUE(t.app->ExitInstance());
        if (c.listTooLong)
            EXPECT_EQ(ReadFile(t.listPath()), c.list) << "a list too long to load must not be cut by saving it";
        else
            EXPECT_FALSE(ReadFile(t.listPath()).isEmpty());
    }
}
