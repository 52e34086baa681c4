// Where the card table goes, seen from the operator's side: the job either works in the
// directory "TEMP" names (or the cache directory without one) or says why it cannot.

#include "JobFixture.h"
#include "Privileges.h"

#include <sys/stat.h>

namespace bingo::faults {
namespace {

using TempDir = JobFixture;

TEST_F(TempDir, UnsetUsesTheCacheDirectoryAndCreatesIt) {
    const std::filesystem::path cache = dir_ / "cache";
    setEnv("TEMP", std::nullopt);
    setEnv("XDG_CACHE_HOME", cache.string());

    EXPECT_EQ(print(1), NoMessage);
    const std::filesystem::path file = cache / "bingo" / "tmpBingo.db";
    ASSERT_TRUE(std::filesystem::is_regular_file(file));
    EXPECT_EQ(serialsOf(file), serialsUpTo(6));
    EXPECT_FALSE(std::filesystem::exists(temp() / "tmpBingo.db"));
}

TEST_F(TempDir, EmptyCountsAsUnset) {
    setEnv("TEMP", "");
    setEnv("XDG_CACHE_HOME", std::nullopt);
    setEnv("HOME", dir_.string());

    EXPECT_EQ(print(1), NoMessage);
    EXPECT_EQ(serialsOf(dir_ / ".cache" / "bingo" / "tmpBingo.db"), serialsUpTo(6));
}

TEST_F(TempDir, MissingDirectoryIsNotCreatedAndTheJobSaysSo) {
    const std::filesystem::path missing = dir_ / "no such dir";
    setEnv("TEMP", missing.string());

    EXPECT_EQ(print(1), std::vector<std::string>{
                            "Cannot create the card table " + pathText(missing / "tmpBingo.db") +
                            ": the directory " + pathText(missing) + " does not exist."});
    EXPECT_FALSE(std::filesystem::exists(missing));

    // The program carries on: once the directory is there, the same window prints.
    std::filesystem::create_directory(missing);
    EXPECT_EQ(print(2), NoMessage);
    EXPECT_EQ(serialsOf(missing / "tmpBingo.db"), serialsUpTo(12));
}

TEST_F(TempDir, FileInsteadOfADirectory) {
    const std::filesystem::path notADir = dir_ / "plain-file";
    writeFile(notADir, "some notes\n");
    setEnv("TEMP", notADir.string());

    EXPECT_EQ(print(1), std::vector<std::string>{"Cannot create the card table " +
                                                 pathText(notADir / "tmpBingo.db") + ": " +
                                                 pathText(notADir) + " is not a directory."});
    EXPECT_EQ(fileBytes(notADir), "some notes\n");
}

// A directory the operator may read but not write; with or without a table from an earlier
// job in it (made while it was still writable). Root ignores mode bits, so the job runs as an
// unprivileged user.
class UnwritableTemp : public JobFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(UnwritableTemp, JobFailsAndTheEarlierJobIsKept) {
    const bool earlierJob = GetParam();
    const Privileges::User user = Privileges::unprivilegedUser();
    if (earlierJob) {
        ASSERT_EQ(print(2), NoMessage);
        // The table file stays the operator's own; only the directory is closed to writing.
        ASSERT_EQ(::chown(tableFile().c_str(), user.uid, user.gid), 0);
    }
    table().close();
    std::filesystem::permissions(
        temp(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                    std::filesystem::perms::group_read | std::filesystem::perms::group_exec |
                    std::filesystem::perms::others_read | std::filesystem::perms::others_exec);
    const std::string before = fileBytes(tableFile());

    std::vector<std::string> shown;
    {
        const Privileges asUser = Privileges::dropTo(user);
        if (!asUser.dropped())
            GTEST_SKIP() << asUser.reason();
        shown = print(1);
    }
    // The box adds no full stop after a closing bracket.
    const std::string reason =
        earlierJob ? " is not writable." : " is not writable (Permission denied)";
    const std::string action = earlierJob ? "empty" : "create";
    EXPECT_EQ(shown, std::vector<std::string>{"Cannot " + action + " the card table " +
                                              pathText(tableFile()) + ": the directory " +
                                              pathText(temp()) + reason});
    EXPECT_EQ(fileBytes(tableFile()), before);
    EXPECT_EQ(std::filesystem::exists(tableFile()), earlierJob);
    if (earlierJob) {
        EXPECT_EQ(serialsOf(tableFile()), serialsUpTo(12));
    }
}

INSTANTIATE_TEST_SUITE_P(States, UnwritableTemp, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "EarlierJob" : "NoTable"; });

} // namespace
} // namespace bingo::faults
