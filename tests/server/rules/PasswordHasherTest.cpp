#include "ChatRouter.h"
#include "PasswordHasher.h"

#include <gtest/gtest.h>

#include <string>

using namespace qornc::server;

// What lands in the state file for a new name is argon2id at 19 MiB and 2 passes; only a hash
// weaker than that is made anew, a stronger one stays.
TEST(PasswordHasher, NewHashesAreArgon2idAtTheRecommendedMinimumAndWeakerOnesAreTold)
{
    const PasswordHasher hasher;
    const std::string hash = hasher.hash("pw").value();
    EXPECT_EQ(hash.rfind("$argon2id$v=19$m=19456,t=2,p=1$", 0), 0U) << hash;
    EXPECT_TRUE(PasswordHasher::verify(hash, "pw") && !PasswordHasher::verify(hash, "pW"));
    const struct {
        const char* name;
        std::string hash;
        bool weaker;
    } cases[] = {
        {"argon2i", "$argon2i$v=19$m=19456,t=2,p=1$c2FsdHNhbHRzYWx0$aGFzaGhhc2hoYXNo", true},
        {"less memory", "$argon2id$v=19$m=8,t=2,p=1$c2FsdHNhbHRzYWx0$aGFzaGhhc2hoYXNo", true},
        {"one pass", "$argon2id$v=19$m=19456,t=1,p=1$c2FsdHNhbHRzYWx0$aGFzaGhhc2hoYXNo", true},
        {"unreadable cost", "$argon2id$v=19$m=,t=2,p=1$c2FsdHNhbHRzYWx0$aGFzaGhhc2hoYXNo", true},
        {"the same", hash, false},
        {"an older server's, stronger", "$argon2id$v=19$m=65536,t=2,p=1$c2FsdHNhbHRzYWx0$aGFzaGhhc2hoYXNo", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hasher.isWeaker(c.hash), c.weaker) << c.name;
}

// A weaker stored hash still lets its owner in, and that login leaves a stronger one that holds
// the same password; the next login finds nothing to do.
TEST(PasswordHasher, ALoginRehashesAWeakerStoredHash)
{
    const PasswordHasher stronger({2, 64 * 1024});
    AccountBook book(10, stronger);
    const std::string weak = PasswordHasher(PasswordHasher::cheapestCost()).hash("old pw").value();
    ASSERT_TRUE(book.addHashed("alice", weak));
    ChatRouter router(std::move(book), {});
    const auto login = [&router](ConnectionId connection) {
        RouteResult result = router.handle(connection, "A", "login alice old pw");
        EXPECT_TRUE(result.work.has_value());
        return router.finish(connection, "A", *result.work, perform(*result.work));
    };
    EXPECT_TRUE(login(1).rehashed);
    const std::string renewed = router.accounts().storedHash("alice");
    EXPECT_NE(renewed, weak);
    EXPECT_FALSE(stronger.isWeaker(renewed));
    EXPECT_TRUE(PasswordHasher::verify(renewed, "old pw"));
    EXPECT_FALSE(login(2).rehashed);
    EXPECT_EQ(router.accounts().storedHash("alice"), renewed);
}
