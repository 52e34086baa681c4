// The disk fills up while a job stores its cards.

#include "JobFixture.h"
#include "SmallDisk.h"

namespace bingo::faults {
namespace {

using DiskFull = JobFixture;

TEST_F(DiskFull, JobSaysSoLeavesASoundFileAndTheNextJobWithRoomWorks) {
    ASSERT_EQ(print(1), NoMessage); // the table exists before the disk is small
    JobFixture::table().close();
    const std::string table = fileBytes(tableFile());
    SmallDisk disk(temp(), "192k");
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason();
    writeFile(tableFile(), table);

    // 59994 cards take some 4 MB: far more than the disk holds.
    const std::vector<std::string> shown = print(9999);
    ASSERT_EQ(shown.size(), 1u);
    const std::string& text = shown.front();
    EXPECT_TRUE(text.starts_with("無法將第 ") || text.starts_with("無法將卡片存入")) << text;
    EXPECT_TRUE(text.ends_with("卡片資料表「" + pathText(tableFile()) + "」：磁碟已滿。")) << text;
    JobFixture::table().close();

    EXPECT_EQ(integrityOf(tableFile()), "ok");
    // Whatever was kept is the start of this job, never cards of the one before mixed in.
    const std::vector<std::string> kept = serialsOf(tableFile());
    EXPECT_EQ(kept, serialsUpTo(static_cast<int>(kept.size())));

    ASSERT_TRUE(disk.resize("16m")) << disk.reason();
    EXPECT_EQ(print(9999), NoMessage);
    JobFixture::table().close();
    EXPECT_EQ(column(tableFile(), "SELECT count(*) FROM tmpBingo"),
              std::vector<std::string>{"59994"});
    EXPECT_EQ(column(tableFile(), "SELECT max(S0) FROM tmpBingo"),
              std::vector<std::string>{"59994"});
    EXPECT_EQ(integrityOf(tableFile()), "ok");
}

} // namespace
} // namespace bingo::faults
