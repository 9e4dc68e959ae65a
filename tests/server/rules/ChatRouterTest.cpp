#include "ChatRouter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

using namespace qornc::server;

namespace {

// A request, or a close when it is empty, and what must come of it: exactly the notifications
// `expected` ("HOST TEXT|..."), and a log holding `logPart`, which only that outcome writes.
struct Step {
    ConnectionId connection;
    std::string host, request, expected, logPart;
    int minutesBefore = 0;
};

// As the server does it, with the password work done at once and every new name saved at once.
RouteResult route(ChatRouter& router, ConnectionId connection, const std::string& host, const std::string& text)
{
    RouteResult result = router.handle(connection, host, text);
    if (!result.work)
        return result;
    const PasswordWork work = *result.work;
    result = router.finish(connection, host, work, perform(work));
    if (result.endConnection)
        return result;
    if (result.registered)
        router.accountSaved(work.name);
    return router.handle(connection, host, text);
}

// Hosts are names to the router. alice on connection 1 from host A and bob on 2 from B have registered;
// carol is preset. Two new names per host.
ChatRouter makeRouter(const Clock& clock)
{
    AccountBook accounts(AccountBook::kDefaultCapacity, PasswordHasher(PasswordHasher::cheapestCost()));
    accounts.preset("carol", "c pw");
    AuthLimits limits;
    limits.registrationsPerHost = 2;
    ChatRouter router(std::move(accounts), {"echo"}, limits, clock);
    route(router, 1, "A", "login alice pw");
    route(router, 2, "B", "login bob two words");
    return router;
}

std::string sentBy(const RouteResult& result)
{
    std::string sent;
    for (const Notification& notification : result.notifications)
        sent += (sent.empty() ? "" : "|") + notification.host + " " + notification.text;
    return sent;
}

const std::string kLong(240, 'x');

const std::vector<std::pair<const char*, std::vector<Step>>> kScenarios = {
    {"getbuddy answers the asker's host, a message the recipient's, a bot echoes to the sender's",
     {{1, "A", "getbuddy alice pw bob", "A getbuddy true bob", "getbuddy alice -> bob: true"},
      {1, "A", "getbuddy alice pw echo", "A getbuddy true echo", "-> echo: true"},
      {1, "A", "getbuddy alice pw " + kLong, "A getbuddy false " + kLong, "xxx...: false"},
      {1, "A", "getbuddy alice pw xx" + kLong, "", "(not sent: too long)"},
      {2, "B", "message bob two words alice hi  there", "A message bob hi  there", "-> alice (9 bytes) queued for A"},
      {1, "A", "message alice pw bob", "B message alice ", "(0 bytes)"},
      {1, "A", "message alice pw zed hi", "", "dropped: recipient offline"},
      {2, "B", "message bob two words echo ping  pong", "B message echo ping  pong", "echoed to B"},
      {1, "A", "login echo pw", "", "refused login echo from A: the name of a bot"},
      {1, "A", "message echo pw alice hi", "", "unknown name echo"}}},
    {"wrong passwords are refused, malformed requests ignored",
     {{2, "B", "message bob two alice hi", "", "refused message bob from B: wrong password"},
      {1, "A", "login alice otherpw", "", "refused login alice from A: wrong password"},
      {9, "I", "getbuddy zed pw bob", "", "unknown name zed"},
      {1, "A", "getbuddy alice pw", "", "malformed getbuddy"},
      {1, "A", "message alice pw", "", "malformed message"},
      {1, "A", "\x01x\x7f pw", "", "unknown request '?x?'"}}},
    {"a password with spaces is found on a connection that never logged in",
     {{5, "B", "getbuddy bob two words two alice", "B getbuddy false two alice", "getbuddy bob -> two alice: false"},
      {6, "B", "getbuddy bob two alice", "", "refused getbuddy bob from B: wrong password"},
      {7, "G", "getbuddy carol c pw alice", "G getbuddy true alice", "getbuddy carol -> alice: true"},
      {7, "G", "login carol c", "", "from G: wrong password"}}},
    {"failed logins make their host wait, not the owner elsewhere; new names run out per host",
     {{7, "G", "login alice xpw", "", "from G: wrong password"},
      {8, "G", "login alice pw y", "", "from G: wrong password"},
      {9, "G", "login carol pw", "", "from G: wrong password"},
      {10, "G", "login alice zpw", "", "from G: wrong password"},
      {11, "G", "login alice pw", "", "too many failed logins from that host, next try in 2 s"},
      {3, "C", "login alice pw", "", "login alice from C"},
      {3, "C", "login d1 pw", "", "login d1 from C"},
      {4, "C", "login d2 pw", "", "login d2 from C"},
      {5, "C", "login d3 pw", "", "from C: too many new names from that host"},
      {12, "G", "login alice pw", "", "login alice from G", 1}}},
    {"messages for a registered name that is away wait for its next login, in order",
     {{2, "B", "logout bob two words", "", "logout bob"},
      {1, "A", "message alice pw bob one", "", "-> bob (3 bytes) held: recipient offline"},
      {1, "A", "message alice pw carol hi", "", "-> carol (2 bytes) held: recipient offline"},
      {1, "A", "message alice pw bob two", "", "held: recipient offline"},
      {1, "A", "message alice pw zed hi", "", "dropped: recipient offline"},
      {3, "C", "login bob two words", "C message alice one|C message alice two", "2 held message(s) queued for C"},
      {1, "A", "message alice pw bob three", "C message alice three", "queued for C"},
      {4, "D", "login carol c pw", "D message alice hi", "login carol from D, 1 held"}}},
    {"a login moves a name to its connection; a close takes only that connection's names offline",
     {{2, "B", "login dave dpw", "", "login dave from B"},
      {3, "C", "login bob two words", "", "login bob from C"},
      {2, "B", "getbuddy bob two words alice", "C getbuddy true alice", "getbuddy bob -> alice: true"},
      {1, "A", "message alice pw bob hi", "C message alice hi", "-> bob (2 bytes) queued for C"},
      {2, "", "", "", "offline dave (connection closed)"},
      {1, "A", "getbuddy alice pw bob", "A getbuddy true bob", "-> bob: true"},
      {1, "A", "getbuddy alice pw dave", "A getbuddy false dave", "-> dave: false"},
      {3, "C", "logout bob two words", "", "logout bob"},
      {1, "A", "getbuddy alice pw bob", "A getbuddy false bob", "-> bob: false"}}},
};

} // namespace

TEST(ChatRouter, Scenarios)
{
    for (const auto& [name, steps] : kScenarios) {
        std::chrono::steady_clock::time_point now{};
        ChatRouter router = makeRouter([&] { return now; });
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const Step& step = steps[i];
            now += std::chrono::minutes(step.minutesBefore);
            std::string log, sent;
            if (step.request.empty()) {
                for (const std::string& line : router.connectionClosed(step.connection))
                    log += line + "\n";
            } else {
                const RouteResult result = route(router, step.connection, step.host, step.request);
                log = result.log;
                sent = sentBy(result);
                EXPECT_EQ(result.endConnection, log.starts_with("refused ")) << name << ", step " << i + 1;
            }
            EXPECT_EQ(sent, step.expected) << name << ", step " << i + 1 << "\n" << log;
            EXPECT_TRUE(!step.logPart.empty() && log.find(step.logPart) != std::string::npos)
                << name << ", step " << i + 1 << "\n" << log;
            // Every password in the table holds "pw" or "words"; no name does.
            EXPECT_TRUE(log.find("pw") == std::string::npos && log.find("words") == std::string::npos) << log;
        }
    }
}

// bob stays logged in from B, but B missed the deadline: what waits for him is tried again by
// itself, sooner when he makes a request, always in order and with nothing new overtaking it.
TEST(ChatRouter, MessagesHeldForAUserStillLoggedInAreTriedAgainInOrder)
{
    std::chrono::steady_clock::time_point now{};
    ChatRouter router = makeRouter([&] { return now; });
    const auto late = route(router, 1, "A", "message alice pw bob one").notifications;
    ASSERT_EQ(late.size(), 1u);
    EXPECT_TRUE(router.holdUndelivered(late).empty());
    EXPECT_EQ(sentBy(route(router, 1, "A", "message alice pw bob two")), "");
    EXPECT_EQ(router.nextHeldRetry(), now + std::chrono::seconds(1));
    EXPECT_EQ(sentBy(router.retryHeld()), "") << "before the pause";

    now += std::chrono::seconds(1);
    RouteResult retried = router.retryHeld();
    EXPECT_EQ(sentBy(retried), "B message alice one|B message alice two");
    EXPECT_NE(retried.log.find("2 held message(s) for bob tried again at B"), std::string::npos) << retried.log;
    EXPECT_EQ(sentBy(route(router, 1, "A", "message alice pw bob three")), "B message alice three")
        << "behind those under way, in the same host's queue";

    // Missed again: the pause doubles, yet bob's own request brings them at once.
    std::vector<Notification> again = retried.notifications;
    again.push_back(route(router, 1, "A", "message alice pw bob four").notifications.front());
    router.holdUndelivered(again);
    EXPECT_EQ(router.nextHeldRetry(), now + std::chrono::seconds(2));
    EXPECT_EQ(sentBy(route(router, 1, "A", "getbuddy alice pw bob")), "A getbuddy true bob") << "not alice's to wake";
    EXPECT_EQ(sentBy(route(router, 2, "B", "getbuddy bob two words alice")),
              "B getbuddy true alice|B message alice one|B message alice two|B message alice four");
    EXPECT_FALSE(router.nextHeldRetry().has_value());

    // Through at last: the next miss waits the first pause again; one who logs out is not tried.
    router.delivered(again.front());
    router.holdUndelivered({again.back()});
    EXPECT_EQ(router.nextHeldRetry(), now + std::chrono::seconds(1));
    route(router, 2, "B", "logout bob two words");
    EXPECT_FALSE(router.nextHeldRetry().has_value());
    now += std::chrono::minutes(1);
    EXPECT_EQ(sentBy(router.retryHeld()), "");
    EXPECT_EQ(sentBy(route(router, 3, "C", "login bob two words")), "C message alice four");
}
