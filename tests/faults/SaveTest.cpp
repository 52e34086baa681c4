// Saving the laid-out pages, or pages loaded from a PDF, where the file cannot be written: the
// message names the file and gives the system's true reason in Chinese, and no file is left.

#include "ReportFixture.h"
#include "SmallDisk.h"
#include "preview/PdfPageSource.h"
#include "report/ReportOutput.h"

#include <QString>
#include <functional>

namespace bingo::faults {
namespace {

using Save = ReportFixture;

std::string messageOf(const std::function<void()>& save) {
    try {
        save();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "(no failure)";
}

TEST_F(Save, IntoAReadOnlyFileSystemSaysSo) {
    writeJob(1);
    ASSERT_FALSE(layOut().error);
    const std::filesystem::path out = dir_ / "out";
    std::filesystem::create_directory(out);
    const QString saved = QString::fromStdString((dir_ / "saved.pdf").string());
    report::ReportOutput(*pages_).savePdf(saved);

    SmallDisk disk(out, "1m");
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason();
    ASSERT_TRUE(disk.makeReadOnly()) << disk.reason();
    const std::string target = (out / "cards.pdf").string();
    const std::string folder = "資料夾「" + out.string() + "」無法寫入（唯讀的檔案系統）";

    EXPECT_EQ(
        messageOf([&] { report::ReportOutput(*pages_).savePdf(QString::fromStdString(target)); }),
        "無法將頁面儲存到「" + target + "」：" + folder);
    const preview::PdfPageSource loaded(saved);
    EXPECT_EQ(messageOf([&] { loaded.savePdf(QString::fromStdString(target)); }),
              "無法儲存「" + target + "」：" + folder + "。");
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(Save, IntoAMissingFolderSaysSo) {
    writeJob(1);
    ASSERT_FALSE(layOut().error);
    const std::filesystem::path missing = dir_ / "no such folder";
    const std::string target = (missing / "cards.pdf").string();
    EXPECT_EQ(
        messageOf([&] { report::ReportOutput(*pages_).savePdf(QString::fromStdString(target)); }),
        "無法將頁面儲存到「" + target + "」：資料夾「" + missing.string() + "」不存在");
    EXPECT_FALSE(std::filesystem::exists(missing));
}

} // namespace
} // namespace bingo::faults
