#include "net/rules/ErrorNames.h"

#include <gtest/gtest.h>

#include "net/rules/ConnectionState.h"

namespace {

// Each status text names the code from its own table: a connect failure never shows a name
// only an established link can meet, and a name lookup's failure is named too.
TEST(ErrorNames, StatusTextsNameTheCodeFromTheirOwnTable)
{
    struct Row {
        int code;
        const char* connectText;
        const char* sendText;
    };
    const Row rows[] = {
        {10065, "Can't connect: Error code WSAEHOSTUNREACH.", "Message send error: WSAEHOSTUNREACH."},
        {11001, "Can't connect: Error code WSAHOST_NOT_FOUND.", "Message send error: Unknown error."},
        {10054, "Can't connect: Error code Unknown error.", "Message send error: WSAECONNRESET."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.code);
        EXPECT_EQ(ConnectFailedText(row.code), row.connectText);
        EXPECT_EQ(SendErrorText(row.code), row.sendText);
    }
}

}  // namespace
