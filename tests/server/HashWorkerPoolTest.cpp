#include "HashWorkerPool.h"
#include "PostedTasks.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

using namespace qornc::server;
using qornc::server::test::PostedTasks;

// One worker, held up while a host queues many checks: the other hosts' checks come in turn, not
// behind them all; an owner's host goes first; when the places run out, the flooding host loses
// its newest instead of anyone else being refused.
TEST(HashWorkerPool, ServesHostsInTurnOwnersFirstAndCutsTheLongestLine)
{
    PostedTasks loop;
    HashWorkerPool pool(1, 8, loop.post());
    std::mutex gate;
    gate.lock();
    std::vector<std::string> order; // written by the one worker, read once all is done
    std::vector<std::string> refused;
    const auto submit = [&](const std::string& host, unsigned tier, const std::string& what) {
        pool.submit(host, CheckRank{tier, 0}, [&order, what] { order.push_back(what); },
                    [&refused, what](bool ran) {
                        if (!ran)
                            refused.push_back(what);
                    });
    };
    pool.submit("blocker", {}, [&gate] { const std::lock_guard wait(gate); }, [](bool) {});
    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // the worker is inside the blocker
    for (int i = 1; i <= 6; ++i)
        submit("flood", 1, "flood" + std::to_string(i));
    submit("guest", 1, "guest");
    submit("owner", 0, "owner");
    submit("late", 1, "late"); // the ninth: flood's newest makes room
    gate.unlock();
    ASSERT_TRUE(loop.runUntil([&loop] { return loop.ran() == 10; }));
    EXPECT_EQ(refused, std::vector<std::string>{"flood6"});
    EXPECT_EQ(order, (std::vector<std::string>{"owner", "flood1", "guest", "late", "flood2", "flood3", "flood4",
                                               "flood5"}));
}

// A burst of new names must not take the cores from the event loop: the hashes run at a lower
// priority than the loop.
TEST(HashWorkerPool, HashesRunBelowTheEventLoopsPriority)
{
    PostedTasks loop;
    HashWorkerPool pool(2, 8, loop.post());
    std::vector<int> nices(2, 0);
    for (int& nice : nices)
        pool.submit("host", {}, [&nice] { nice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid())); },
                    [](bool) {});
    ASSERT_TRUE(loop.runUntil([&loop] { return loop.ran() == 2; }));
    EXPECT_EQ(nices, std::vector<int>(2, HashWorkerPool::kWorkerNice));
}
