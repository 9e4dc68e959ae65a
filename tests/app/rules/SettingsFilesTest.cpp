#include "app/rules/SettingsFiles.h"

#include <string>

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace {

TEST(SettingsFiles, ReadsIdentityValuesAfterEachSpace)
{
    struct Row {
        std::string file;
        int valuesRead;
        std::string userId, password, serverIp;
    };
    const std::string name200(200, 'n');
    const Row rows[] = {
        {"userid bob\r\npassword pw\r\nserverip 127.0.0.2\r\n", 3, "bob", "pw", "127.0.0.2"},
        {"userid Jos\xe9\npassword \xef\xbb\xbfp\xc2\xa0w\nserverip x\n", 3, "Jos\xe9", "\xef\xbb\xbfp\xc2\xa0w", "x"},
        {"userid\nbob pw\nx 127.0.0.3\n", 2, "pw", "127.0.0.3", ""},
        {"userid " + name200 + "\npassword pw\nserverip 123456789012345678901234567\n", 3, name200.substr(0, 127),
         "pw", "12345678901234567890123"},
    };
    const TempDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file.substr(0, 40));
        WriteBytes(dir / "info.cfg", row.file);
        const IdentityFile identity = ReadIdentity(dir / "info.cfg");
        EXPECT_EQ(identity.state, SettingsFileState::Read);
        EXPECT_EQ(identity.valuesRead, row.valuesRead);
        EXPECT_EQ(identity.userId + "|" + identity.password + "|" + identity.serverIp,
                  row.userId + "|" + row.password + "|" + row.serverIp);
    }
}

}  // namespace
