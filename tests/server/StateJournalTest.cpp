#include "StateJournal.h"

#include "ChatServer.h"
#include "LoopbackHarness.h"
#include "PasswordHasher.h"
#include "PostedTasks.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <ranges>
#include <string>
#include <vector>

using namespace qornc::server;
using namespace qornc::server::test;

namespace {

// Under the sanitizers every step is several times slower, which says nothing about a stall.
#if defined(__SANITIZE_ADDRESS__)
constexpr double kMaxLatenessMs = 50.0;
#else
constexpr double kMaxLatenessMs = 10.0;
#endif

const std::string kHash = PasswordHasher(PasswordHasher::cheapestCost()).hash("s3cret").value();

void append(const std::filesystem::path& path, const std::string& bytes)
{
    WriteBytes(path, ReadBytes(path) + bytes);
}

std::vector<std::string> namesOf(const StateJournal& journal)
{
    const auto names = journal.accounts() | std::views::keys;
    return {names.begin(), names.end()};
}

std::vector<std::uint64_t> heldIdsOf(const StateJournal& journal)
{
    const auto ids = journal.heldMessages() | std::views::transform(&HeldMessage::id);
    return {ids.begin(), ids.end()};
}

} // namespace

// A change is confirmed only once a reader of the file would find it; a stop writes what is
// queued; a line cut short by a crash costs nothing confirmed.
TEST(StateJournal, KeepsWhatItConfirmedAcrossStopsAndATornLine)
{
    TempDir folder;
    const std::string path = folder / "state";
    append(path, "# written by an earlier server\n" + kHash + " alice\n" + kHash + " admin\n");
    PostedTasks loop;
    std::vector<std::string> logs;
    const LogSink log = [&logs](const std::string& line) { logs.push_back(line); };
    StateJournal::Options options;
    options.isPreset = [](std::string_view name) { return name == "admin"; };
    {
        StateJournal journal;
        ASSERT_EQ(journal.open(path, log, loop.post(), options), "");
        EXPECT_EQ(namesOf(journal), std::vector<std::string>{"alice"});
        EXPECT_EQ(ReadBytes(path).find(" admin\n"), std::string::npos) << "the accounts file has the last word";

        std::vector<std::string> foundWhenTold;
        for (const std::string name : {"bob", "carol"})
            journal.appendAccount(name, kHash, [&, name] {
                if (ReadBytes(path).find(kHash + " " + name + "\n") != std::string::npos)
                    foundWhenTold.push_back(name);
            });
        journal.held({1, "alice", "message bob hi", 100});
        journal.held({2, "alice", "message bob yo", 101});
        journal.released(1);
        ASSERT_TRUE(loop.runUntil([&] { return foundWhenTold.size() == 2; }));
        journal.appendAccount("stopped", kHash, {});
    }
    append(path, kHash.substr(0, 30));
    {
        StateJournal journal;
        ASSERT_EQ(journal.open(path, log, loop.post()), "");
        EXPECT_EQ(namesOf(journal), (std::vector<std::string>{"alice", "bob", "carol", "stopped"}));
        EXPECT_EQ(heldIdsOf(journal), std::vector<std::uint64_t>{2});
        EXPECT_EQ(journal.nextHeldId(), 3U);
        EXPECT_NE(logs.back().find("cut short"), std::string::npos) << logs.back();
        bool told = false;
        journal.appendAccount("dave", kHash, [&told] { told = true; });
        ASSERT_TRUE(loop.runUntil([&] { return told; }));
    }
    StateJournal journal;
    logs.clear();
    ASSERT_EQ(journal.open(path, log, loop.post()), "");
    EXPECT_EQ(namesOf(journal), (std::vector<std::string>{"alice", "bob", "carol", "dave", "stopped"}));
    EXPECT_TRUE(logs.empty());
}

// Messages held and released by the thousand leave a file the size of what is still held.
TEST(StateJournal, CompactionKeepsAccountsAndUnreleasedHolds)
{
    TempDir folder;
    const std::string path = folder / "state";
    PostedTasks loop;
    StateJournal::Options options;
    options.compactFromBytes = 4096;
    {
        StateJournal journal;
        ASSERT_EQ(journal.open(path, [](const std::string&) {}, loop.post(), options), "");
        journal.appendAccount("alice", kHash, {});
        for (std::uint64_t id = 1; id <= 1000; ++id) {
            journal.held({id, "alice", "message bob " + std::to_string(id), 100});
            if (id != 250)
                journal.released(id);
        }
        bool told = false;
        journal.appendAccount("zed", kHash, [&told] { told = true; });
        ASSERT_TRUE(loop.runUntil([&] { return told; }));
    }
    EXPECT_LT(std::filesystem::file_size(path), 4096U);
    StateJournal journal;
    ASSERT_EQ(journal.open(path, [](const std::string&) {}, loop.post()), "");
    EXPECT_EQ(namesOf(journal), (std::vector<std::string>{"alice", "zed"}));
    ASSERT_EQ(heldIdsOf(journal), std::vector<std::uint64_t>{250});
    EXPECT_EQ(journal.heldMessages().front().notification, "message bob 250");
}

// With 100,000 accounts on disk, 30 new names register while a cheap task runs on the event loop
// every millisecond: none of them waits long for the loop, and every name gets in.
TEST(StateJournal, RegistrationsAmongManyAccountsDoNotStallTheLoop)
{
    TempDir folder;
    const std::string path = folder / "state";
    std::string many;
    for (int i = 0; i < 100'000; ++i)
        many += kHash + " user" + std::to_string(i) + "\n";
    append(path, many);
    auto journal = std::make_unique<StateJournal>();
    ASSERT_EQ(journal->open(path, [](const std::string&) {}, ChatServer::postTo(serverLoop())), "");
    AccountBook book(200'000);
    for (const auto& [name, hash] : journal->accounts())
        ASSERT_TRUE(book.addHashed(name, hash));
    journal->dropRecovered();
    ServerConfig config;
    config.listenAddress = "127.0.0.1";
    config.port = 0;
    config.hashThreads = 1;
    config.maxQueuedChecks = 64;
    std::string logs;
    ChatServer server(serverLoop(), ChatRouter(std::move(book), {}), config, [&logs](const std::string& line) { logs += line + "\n"; },
                      std::move(journal));
    std::string error;
    ASSERT_TRUE(server.listen(error)) << error;

    std::vector<qint64> lateness;
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        lateness.push_back(std::max<qint64>(0, now - last - 1'000'000));
        last = now;
    });
    tick.start(1);
    std::vector<std::unique_ptr<RequestClient>> clients;
    for (int i = 0; i < 30; ++i) {
        const std::string from = "127.0.0." + std::to_string(1 + i % 3);
        clients.push_back(std::make_unique<RequestClient>(server.port(), from.c_str()));
        clients.back()->send("login new" + std::to_string(i) + " pw " + std::to_string(i));
    }
    const auto allIn = [&] {
        for (int i = 0; i < 30; ++i)
            if (!server.router().isOnline("new" + std::to_string(i)))
                return false;
        return true;
    };
    ASSERT_TRUE(waitFor(allIn, 60'000)) << logs;
    tick.stop();
    ASSERT_GT(lateness.size(), 100U);
    std::sort(lateness.begin(), lateness.end());
    EXPECT_LT(static_cast<double>(lateness[lateness.size() * 99 / 100]) / 1e6, kMaxLatenessMs) << "p99 lateness";
    EXPECT_EQ(logs.find("refused"), std::string::npos) << logs;
}
