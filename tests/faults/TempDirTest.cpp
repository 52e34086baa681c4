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

    EXPECT_EQ(print(1),
              std::vector<std::string>{"無法建立卡片資料表「" + pathText(missing / "tmpBingo.db") +
                                       "」：資料夾「" + pathText(missing) + "」不存在。"});
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

    EXPECT_EQ(print(1),
              std::vector<std::string>{"無法建立卡片資料表「" + pathText(notADir / "tmpBingo.db") +
                                       "」：「" + pathText(notADir) + "」不是資料夾。"});
    EXPECT_EQ(fileBytes(notADir), "some notes\n");
}

TEST_F(TempDir, SystemDirectoryThatTakesNoFilesIsNotCalledMissing) {
    // /proc is there, but answers "no such file" to any new file in it.
    setEnv("TEMP", "/proc");
    EXPECT_EQ(print(1), std::vector<std::string>{
                            "無法建立卡片資料表「/proc/tmpBingo.db」：資料夾「/proc」屬於系統的虛擬"
                            "檔案系統，無法在其中建立檔案；請將 TEMP 設為一般的資料夾。"});
}

TEST_F(TempDir, PathTooLongIsSaidSoAndShownShortened) {
    std::filesystem::path longDir = dir_;
    while (longDir.string().size() < 5029)
        longDir /= std::string(200, 'd');
    setEnv("TEMP", longDir.string());

    const std::vector<std::string> shown = print(1);
    ASSERT_EQ(shown.size(), 1u);
    const std::string& text = shown.front();
    EXPECT_TRUE(text.starts_with("無法建立卡片資料表「" + dir_.string().substr(0, 20))) << text;
    EXPECT_TRUE(text.ends_with("dddd/tmpBingo.db」：路徑太長。")) << text;
    EXPECT_LT(text.size(), 400u) << "the box shows the path whole";
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
    const std::string reason = earlierJob ? "無法寫入。" : "無法寫入（沒有權限）。";
    const std::string action = earlierJob ? "無法清空" : "無法建立";
    EXPECT_EQ(shown, std::vector<std::string>{action + "卡片資料表「" + pathText(tableFile()) +
                                              "」：資料夾「" + pathText(temp()) + "」" + reason});
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
