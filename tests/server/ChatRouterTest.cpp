#include "ChatRouter.h"

#include <gtest/gtest.h>

#include <chrono>

#include <optional>
#include <string>
#include <vector>

using namespace qornc::server;

namespace {

const std::string kHostA = "10.0.0.1";
const std::string kHostB = "10.0.0.2";

struct Step {
    ConnectionId connection;
    std::string host;
    std::string request; // empty: the connection closes
    std::optional<Notification> expected;
    std::string logPart;
};

struct Scenario {
    const char* name;
    std::vector<Step> steps;
};

Step close(ConnectionId connection, std::string logPart)
{
    return {connection, "", "", std::nullopt, std::move(logPart)};
}

// Three slow password checks per host, so the scenarios can run out of them.
ChatRouter makeRouter()
{
    AccountBook accounts(AccountBook::kDefaultCapacity, PasswordHasher(PasswordHasher::cheapestCost()));
    accounts.preset("carol", "c pw");
    return ChatRouter(std::move(accounts), {"echo"}, {10, std::chrono::hours(1), 3, std::chrono::minutes(1)});
}

// alice on connection 1 from host A, bob on connection 2 from host B.
void loginAliceAndBob(ChatRouter& router)
{
    router.handle(1, kHostA, "login alice pw");
    router.handle(2, kHostB, "login bob two words");
}

void runStep(ChatRouter& router, const Step& step, const std::string& where)
{
    if (step.request.empty()) {
        std::string logs;
        for (const std::string& line : router.connectionClosed(step.connection))
            logs += line + "\n";
        EXPECT_NE(logs.find(step.logPart), std::string::npos) << where << "\n" << logs;
        return;
    }
    const RouteResult result = router.handle(step.connection, step.host, step.request);
    EXPECT_NE(result.log.find(step.logPart), std::string::npos) << where << "\nlog: " << result.log;
    ASSERT_EQ(result.notification.has_value(), step.expected.has_value()) << where << "\nlog: " << result.log;
    if (result.notification) {
        EXPECT_EQ(result.notification->host, step.expected->host) << where;
        EXPECT_EQ(result.notification->text, step.expected->text) << where;
    }
}

const std::string k242(242, 'x');
const std::string k240(240, 'x');

const std::vector<Scenario> kScenarios = {
    {"getbuddy answers the asker's host",
     {{1, kHostA, "getbuddy alice pw bob", Notification{kHostA, "getbuddy true bob"}, "getbuddy alice -> bob: true"},
      {1, kHostA, "getbuddy alice pw echo", Notification{kHostA, "getbuddy true echo"}, ""},
      {1, kHostA, "getbuddy alice pw bob smith", Notification{kHostA, "getbuddy false bob smith"}, ""},
      {2, kHostB, "getbuddy bob two words alice", Notification{kHostB, "getbuddy true alice"}, ""}}},
    {"a password with spaces is found on a connection that never logged in",
     {{5, kHostB, "getbuddy bob two words two alice", Notification{kHostB, "getbuddy false two alice"}, ""},
      {5, kHostB, "getbuddy bob two alice", std::nullopt, "wrong password for bob"},
      {6, kHostA, "logout bob two", std::nullopt, "wrong password for bob"}}},
    {"slow password checks run out per host, not for others",
     {{7, "10.0.0.7", "login alice x", std::nullopt, "wrong password"},
      {8, "10.0.0.7", "login alice y", std::nullopt, "wrong password"},
      {9, "10.0.0.7", "getbuddy alice z bob", std::nullopt, "wrong password"},
      {9, "10.0.0.7", "login alice pw", std::nullopt, "not checked: too many checks from 10.0.0.7"},
      {9, "10.0.0.7", "login carol c pw", std::nullopt, "login carol from 10.0.0.7"},
      {3, "10.0.0.3", "login alice pw", std::nullopt, "login alice from 10.0.0.3"}}},
    {"messages go to the recipient's host",
     {{2, kHostB, "message bob two words alice hi  there", Notification{kHostA, "message bob hi  there"},
       "message bob -> alice (9 bytes) delivered to 10.0.0.1"},
      {1, kHostA, "message alice pw bob", Notification{kHostB, "message alice "}, "(0 bytes)"},
      {1, kHostA, "message alice pw carol hi", std::nullopt, "dropped: recipient offline"}}},
    {"a bot echoes to the sender's host",
     {{2, kHostB, "message bob two words echo ping  pong", Notification{kHostB, "message echo ping  pong"}, "echo"},
      {1, kHostA, "login echo pw", std::nullopt, "ignored: login as bot echo"},
      {1, kHostA, "message echo pw alice hi", std::nullopt, "unknown name echo"}}},
    {"wrong passwords change nothing",
     {{2, kHostB, "message bob two alice hi", std::nullopt, "wrong password for bob"},
      {2, kHostB, "message bob two wordsalice hi", std::nullopt, "wrong password for bob"},
      {1, kHostA, "login alice other", std::nullopt, "wrong password for alice"},
      {1, kHostA, "getbuddy alice pw bob", Notification{kHostA, "getbuddy true bob"}, ""}}},
    {"unknown and malformed requests are ignored",
     {{9, "10.0.0.9", "getbuddy zed pw bob", std::nullopt, "unknown name zed"},
      {1, kHostA, "login alice", std::nullopt, "malformed login"},
      {1, kHostA, "login alice ", std::nullopt, "malformed login"},
      {1, kHostA, "getbuddy alice pw", std::nullopt, "malformed getbuddy"},
      {1, kHostA, "message alice pw", std::nullopt, "malformed message"},
      {1, kHostA, "\x01x\x7f pw", std::nullopt, "unknown request '?x?'"}}},
    {"logout makes a name offline",
     {{2, kHostB, "logout bob two words", std::nullopt, "logout bob"},
      {1, kHostA, "getbuddy alice pw bob", Notification{kHostA, "getbuddy false bob"}, ""},
      {1, kHostA, "message alice pw bob hi", std::nullopt, "dropped"},
      {2, kHostB, "logout bob two words", std::nullopt, "was not online"}}},
    {"a closed connection takes only its own names offline",
     {{2, kHostB, "login dave d", std::nullopt, ""},
      close(2, "offline bob (connection closed)\noffline dave"),
      {1, kHostA, "getbuddy alice pw bob", Notification{kHostA, "getbuddy false bob"}, ""},
      {1, kHostA, "getbuddy alice pw dave", Notification{kHostA, "getbuddy false dave"}, ""}}},
    {"a new login moves the name to the new connection",
     {{3, "10.0.0.3", "login bob two words", std::nullopt, "login bob from 10.0.0.3"},
      close(2, ""),
      {1, kHostA, "message alice pw bob hi", Notification{"10.0.0.3", "message alice hi"}, ""},
      close(3, "offline bob"),
      {1, kHostA, "getbuddy alice pw bob", Notification{kHostA, "getbuddy false bob"}, ""}}},
    {"preset accounts and offline askers",
     {{7, "10.0.0.7", "getbuddy carol c pw alice", Notification{"10.0.0.7", "getbuddy true alice"}, ""},
      {7, "10.0.0.7", "login carol c", std::nullopt, "wrong password for carol"},
      {7, "10.0.0.7", "login dan d", std::nullopt, "login dan from 10.0.0.7"},
      {7, "10.0.0.7", "login carol c pw", std::nullopt, "login carol from 10.0.0.7"},
      {1, kHostA, "message alice pw carol yo", Notification{"10.0.0.7", "message alice yo"}, ""}}},
    {"an answer that cannot fit one notification is not sent",
     {{5, kHostA, "login a p", std::nullopt, ""},
      {5, kHostA, "getbuddy a p " + k240, Notification{kHostA, "getbuddy false " + k240}, ""},
      {5, kHostA, "getbuddy a p " + k242, std::nullopt, "too long"}}},
};

} // namespace

TEST(ChatRouter, Scenarios)
{
    for (const Scenario& scenario : kScenarios) {
        ChatRouter router = makeRouter();
        loginAliceAndBob(router);
        for (std::size_t i = 0; i < scenario.steps.size(); ++i)
            runStep(router, scenario.steps[i], std::string(scenario.name) + ", step " + std::to_string(i + 1));
    }
}

TEST(ChatRouter, LogsNeverShowPasswords)
{
    ChatRouter router = makeRouter();
    // One request per log path, with right and wrong passwords, one of them with a space.
    const std::vector<std::string> requests = {
        "login alice Hunter2 secret", "login alice Wr0ngPass", "login bob Hunter2 secret",
        "getbuddy alice Hunter2 secret bob", "getbuddy alice Wr0ngPass bob", "getbuddy alice Hunter2 secret",
        "message alice Hunter2 secret bob hi", "message alice Wr0ngPass bob hi", "logout carol Wr0ngPass",
        "logout alice Wr0ngPass", "getbuddy carol c pw alice", "logout alice Hunter2 secret",
    };
    for (const std::string& request : requests) {
        const std::string log = router.handle(request.size() % 3, kHostA, request).log;
        EXPECT_FALSE(log.empty()) << request;
        EXPECT_EQ(log.find("Hunter2"), std::string::npos) << log;
        EXPECT_EQ(log.find("Wr0ng"), std::string::npos) << log;
        EXPECT_EQ(log.find("c pw"), std::string::npos) << log;
    }
}
