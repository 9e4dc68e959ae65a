#include "app/SetupRules.h"

#include <string>

#include <gtest/gtest.h>

namespace {

struct SetupRow {
    const char* name;
    const char* password;
    std::string server;
    const char* error;
    const char* storedName;
};

TEST(SetupRules, ReportsTheFirstProblemOnly)
{
    const SetupRow rows[] = {
        {"default", "pw", "1.2.3.4", "Use a different name.", ""},
        {"", "", "", "Use a different name.", ""},
        {"Ann Lee", "default", "", "Use a different password.", "Ann_Lee"},
        {"bob", "", "1.2.3.4", "Use a different password.", "bob"},
        {"a b c", "pw", "", "Specify a server IP.", "a_b_c"},
        {"bob", "pw", std::string(24, '1'), "Server IP is too long.", "bob"},
        {"bob", "pw", std::string(23, '1'), "", "bob"},
        {"Default", "DEFAULT", "10.0.0.1", "", "Default"},
        {"default ", "p w", "10.0.0.1", "", "default_"},
    };
    for (const SetupRow& row : rows) {
        SCOPED_TRACE(std::string(row.name) + "/" + row.password + "/" + row.server);
        const SetupCheck check = CheckSetup(row.name, row.password, row.server);
        EXPECT_EQ(check.error, row.error);
        EXPECT_EQ(check.accepted(), std::string(row.error).empty());
        EXPECT_EQ(check.userId, row.storedName);
        if (check.accepted()) {
            EXPECT_EQ(check.password, row.password);
            EXPECT_EQ(check.serverIp, row.server);
        }
    }
}

TEST(SetupRules, SentinelMeansNotConfigured)
{
    EXPECT_TRUE(NeedsSetup("default", "pw"));
    EXPECT_TRUE(NeedsSetup("bob", "default"));
    EXPECT_FALSE(NeedsSetup("bob", "pw"));
    EXPECT_FALSE(NeedsSetup("Default", "default "));
    EXPECT_FALSE(NeedsSetup("", ""));
}

}  // namespace
