#include "ChatRouter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

using namespace qornc::server;

namespace {

struct Step {
    ConnectionId connection;
    std::string host;
    std::string request;  // empty: the connection closes
    std::string expected; // "HOST TEXT" of the notification, empty for none
    std::string logPart;
};

// alice on connection 1 from 10.0.0.1 and bob on 2 from 10.0.0.2 have registered;
// carol is preset. Three slow password checks per host, so a scenario can run out of them.
ChatRouter makeRouter()
{
    AccountBook accounts(AccountBook::kDefaultCapacity, PasswordHasher(PasswordHasher::cheapestCost()));
    accounts.preset("carol", "c pw");
    ChatRouter router(std::move(accounts), {"echo"}, {10, std::chrono::hours(1), 3, std::chrono::minutes(1)});
    router.handle(1, "10.0.0.1", "login alice pw");
    router.handle(2, "10.0.0.2", "login bob two words");
    return router;
}

std::string run(ChatRouter& router, const Step& step, std::string& log)
{
    if (step.request.empty()) {
        for (const std::string& line : router.connectionClosed(step.connection))
            log += line + "\n";
        return {};
    }
    const RouteResult result = router.handle(step.connection, step.host, step.request);
    log = result.log;
    return result.notification ? result.notification->host + " " + result.notification->text : "";
}

const std::string kLong(240, 'x');

const std::vector<std::pair<const char*, std::vector<Step>>> kScenarios = {
    {"getbuddy answers the asker's host",
     {{1, "10.0.0.1", "getbuddy alice pw bob", "10.0.0.1 getbuddy true bob", "getbuddy alice -> bob: true"},
      {1, "10.0.0.1", "getbuddy alice pw bob smith", "10.0.0.1 getbuddy false bob smith", ""},
      {1, "10.0.0.1", "getbuddy alice pw " + kLong, "10.0.0.1 getbuddy false " + kLong, ""},
      {1, "10.0.0.1", "getbuddy alice pw xx" + kLong, "", "too long"}}},
    {"messages go to the recipient's host, a bot echoes to the sender's",
     {{2, "10.0.0.2", "message bob two words alice hi  there", "10.0.0.1 message bob hi  there",
       "message bob -> alice (9 bytes) delivered to 10.0.0.1"},
      {1, "10.0.0.1", "message alice pw bob", "10.0.0.2 message alice ", "(0 bytes)"},
      {1, "10.0.0.1", "message alice pw carol hi", "", "dropped: recipient offline"},
      {2, "10.0.0.2", "message bob two words echo ping  pong", "10.0.0.2 message echo ping  pong", "echo"},
      {1, "10.0.0.1", "login echo pw", "", "ignored: login as bot echo"},
      {1, "10.0.0.1", "message echo pw alice hi", "", "unknown name echo"}}},
    {"wrong passwords and malformed requests change nothing",
     {{2, "10.0.0.2", "message bob two alice hi", "", "wrong password for bob"},
      {2, "10.0.0.2", "message bob two wordsalice hi", "", "wrong password for bob"},
      {1, "10.0.0.1", "login alice otherpw", "", "wrong password for alice"},
      {9, "10.0.0.9", "getbuddy zed pw bob", "", "unknown name zed"},
      {1, "10.0.0.1", "getbuddy alice pw", "", "malformed getbuddy"},
      {1, "10.0.0.1", "message alice pw", "", "malformed message"},
      {1, "10.0.0.1", "\x01x\x7f pw", "", "unknown request '?x?'"},
      {1, "10.0.0.1", "getbuddy alice pw bob", "10.0.0.1 getbuddy true bob", ""}}},
    {"a password with spaces is found on a connection that never logged in",
     {{5, "10.0.0.2", "getbuddy bob two words two alice", "10.0.0.2 getbuddy false two alice", ""},
      {5, "10.0.0.2", "getbuddy bob two alice", "", "wrong password for bob"},
      {6, "10.0.0.1", "logout bob two", "", "wrong password for bob"},
      {7, "10.0.0.7", "getbuddy carol c pw alice", "10.0.0.7 getbuddy true alice", ""},
      {7, "10.0.0.7", "login carol c", "", "wrong password for carol"}}},
    {"slow password checks run out per host, not for others",
     {{7, "10.0.0.7", "login alice xpw", "", "wrong password"},
      {8, "10.0.0.7", "login alice pw y", "", "wrong password"},
      {9, "10.0.0.7", "getbuddy alice zpw bob", "", "wrong password"},
      {9, "10.0.0.7", "login alice pw", "", "not checked: too many checks from 10.0.0.7"},
      {9, "10.0.0.7", "login carol c pw", "", "login carol from 10.0.0.7"},
      {3, "10.0.0.3", "login alice pw", "", "login alice from 10.0.0.3"}}},
    {"logout and closed connections take only their own names offline",
     {{2, "10.0.0.2", "login dave dpw", "", "login dave from 10.0.0.2"},
      {2, "10.0.0.2", "logout bob two words", "", "logout bob"},
      {1, "10.0.0.1", "message alice pw dave hi", "10.0.0.2 message alice hi", ""},
      {2, "", "", "", "offline dave (connection closed)"},
      {1, "10.0.0.1", "getbuddy alice pw dave", "10.0.0.1 getbuddy false dave", ""}}},
    {"a new login moves the name to the new connection",
     {{3, "10.0.0.3", "login bob two words", "", "login bob from 10.0.0.3"},
      {2, "", "", "", ""},
      {1, "10.0.0.1", "message alice pw bob hi", "10.0.0.3 message alice hi", ""},
      {3, "", "", "", "offline bob"},
      {1, "10.0.0.1", "getbuddy alice pw bob", "10.0.0.1 getbuddy false bob", ""}}},
};

} // namespace

TEST(ChatRouter, Scenarios)
{
    for (const auto& [name, steps] : kScenarios) {
        ChatRouter router = makeRouter();
        for (std::size_t i = 0; i < steps.size(); ++i) {
            std::string log;
            EXPECT_EQ(run(router, steps[i], log), steps[i].expected) << name << ", step " << i + 1 << "\n" << log;
            EXPECT_NE(log.find(steps[i].logPart), std::string::npos) << name << ", step " << i + 1 << "\n" << log;
            // Every password in the table holds "pw" or "words"; no name does.
            EXPECT_TRUE(log.find("pw") == std::string::npos && log.find("words") == std::string::npos) << log;
        }
    }
}
