// The client against its own files: a folder it cannot write at Exit, a full disk, and
// info.cfg / list.cfg holding junk. It starts, says what went wrong, and keeps the old list.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QTimer>

#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "FaultHarness.h"
#include "app/CClientApp.h"
#include "res/Resources.h"

namespace {

const QByteArray kInfo = "userid tester\r\npassword secret\r\nserverip 127.0.0.1\r\n";
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

// Any modal dialog (the setup dialog for an unusable info.cfg) is cancelled, as a user might.
class ModalCanceller {
public:
    ModalCanceller()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                dialog->reject();
        });
        m_timer.start(20);
    }

private:
    QTimer m_timer;
};

struct AppUnderTest {
    explicit AppUnderTest(const QByteArray& info, const QByteArray& list)
    {
        WriteFile(folder.filePath("info.cfg"), info);
        WriteFile(folder.filePath("list.cfg"), list);
        ClientAppOptions options;
        options.configDir = folder.path().toStdString();
        options.serverPort = server.port();
        options.notifyPort = 0;
        options.connectTimeoutMs = 1000;
        app = std::make_unique<CClientApp>(options, boxes);
        const ModalCanceller canceller;
        app->InitInstance();
        app->mainWindow()->Open();
    }
    QString listPath() const { return folder.filePath("list.cfg"); }
    QPlainTextEdit* contacts() const
    {
        return qobject_cast<QPlainTextEdit*>(app->mainWindow()->control(IDC_CONTACTS));
    }
    void EditContacts(const QString& text)
    {
        app->mainWindow()->OnEditListButton();
        contacts()->setPlainText(text);
        app->mainWindow()->OnEditListButton();
        app->mainWindow()->OnOK();
    }

    QTemporaryDir folder;
    FakeServer server;
    RecordingBoxes boxes;
    std::unique_ptr<CClientApp> app;
};

}  // namespace

TEST(FileFaults, ListThatCannotBeSavedAtExitIsReportedAndTheOldOneSurvives)
{
    struct Case {
        const char* name;
        std::function<bool(AppUnderTest&)> exitUnderFault;
    };
    const std::vector<Case> cases = {
        {"read-only folder",
         [](AppUnderTest& t) {
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
         [](AppUnderTest& t) {
             const WithFileSizeLimit full(4);
             return t.app->ExitInstance();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppUnderTest t(kInfo, kOldList);
        t.EditContacts(QStringLiteral("alice\nbob\ncarol\ndave\n"));
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
        AppUnderTest t(c.info, c.list);
        ClientState& state = t.app->state();
        EXPECT_LT(state.g_userId.size(), decltype(state.g_userId)::kCapacity);
        EXPECT_LT(state.g_serverIp.size(), decltype(state.g_serverIp)::kCapacity);
        EXPECT_LE(state.g_listText.size(), 4095u);
        const bool toldTooLong = !t.boxes.texts().filter("more contacts than the list can take").isEmpty();
        EXPECT_EQ(toldTooLong, c.listTooLong);
        // The client is alive: its window answers commands.
        t.app->mainWindow()->OnUpdateListButton();
        t.app->mainWindow()->OnOK();
        EXPECT_TRUE(t.app->ExitInstance());
        if (c.listTooLong)
            EXPECT_EQ(ReadFile(t.listPath()), c.list) << "a list too long to load must not be cut by saving it";
        else
            EXPECT_FALSE(ReadFile(t.listPath()).isEmpty());
    }
}
