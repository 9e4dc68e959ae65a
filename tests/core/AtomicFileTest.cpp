#include "app/AtomicFile.h"

#include <csignal>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include "TempDir.h"

namespace {

// Modes are checked through the settings writers, which are the only callers.
TEST(AtomicFile, ReplacesTheWholeFileAndLeavesNothingBeside)
{
    const TempDir dir;
    const auto file = dir / "list.cfg";
    WriteBytes(file, std::string(5000, 'o'));
    ASSERT_TRUE(WriteFileAtomically(file, "new", 0644, false));
    EXPECT_EQ(ReadBytes(file), "new");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"list.cfg"});
}

// A file-size limit makes the write itself fail part way, for any user.
TEST(AtomicFile, FailedWriteLeavesTheOldFileAndNoTemporary)
{
    const TempDir dir;
    const auto file = dir / "list.cfg";
    WriteBytes(file, "old\r\n");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 1024;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteFileAtomically(file, std::string(4096, 'n'), 0644, false);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadBytes(file), "old\r\n");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"list.cfg"});
}

TEST(AtomicFile, UnreplaceableTargetsFail)
{
    const TempDir dir;
    std::filesystem::create_directory(dir / "busy");
    WriteBytes(dir / "busy" / "keep", "k");
    EXPECT_FALSE(WriteFileAtomically(dir / "busy", "x", 0644, false));
    EXPECT_EQ(ReadBytes(dir / "busy" / "keep"), "k");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"busy"});
    EXPECT_FALSE(WriteFileAtomically(dir / "missing" / "list.cfg", "x", 0644, false));
}

}  // namespace
