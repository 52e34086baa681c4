#include "ReportTestSupport.h"
#include "report/ReportOutput.h"
#include "report/ReportPages.h"

#include <QFile>
#include <QPdfDocument>
#include <QPdfSelection>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace bingo::report {
namespace {

using test::FakeRecords;

constexpr double MmPerPoint = 25.4 / 72;

class PdfTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("cards.pdf");
    }
    std::unique_ptr<ReportPages> laidOut(int cards) {
        records = FakeRecords::cards(cards);
        PrintHandlers handlers;
        handlers.insert("QRDBText26Print",
                        [](QString& v) { v = QString::number(v.toInt() + 10000).mid(1); });
        handlers.insert("QRSysData1Print", [](QString& v) { v = "2026/12/11-09:05"; });
        auto pages = std::make_unique<ReportPages>(test::cardLayout(), records, handlers);
        pages->layOutAll();
        return pages;
    }
    // Where text shows on page, in millimetres from the top-left corner of the paper.
    QRectF find(QPdfDocument& pdf, int page, const QString& text, int occurrence = 0) {
        const QString all = pdf.getAllText(page).text();
        qsizetype at = -1;
        for (int i = 0; i <= occurrence; ++i) {
            at = all.indexOf(text, at + 1);
            if (at < 0)
                return {};
        }
        const QPdfSelection found =
            pdf.getSelectionAtIndex(page, static_cast<int>(at), static_cast<int>(text.size()));
        const QRectF points = found.boundingRectangle();
        return {points.x() * MmPerPoint, points.y() * MmPerPoint, points.width() * MmPerPoint,
                points.height() * MmPerPoint};
    }

    QTemporaryDir dir;
    QString path;
    FakeRecords records;
};

TEST_F(PdfTest, PagesReadBackWithTheirTextsWhereTheyWereDrawn) {
    const auto pages = laidOut(8);
    ReportOutput(*pages).savePdf(path);
    QPdfDocument pdf;
    ASSERT_EQ(pdf.load(path), QPdfDocument::Error::None);
    ASSERT_EQ(pdf.pageCount(), 2);
    const QSizeF a4 = pdf.pagePointSize(0) * MmPerPoint;
    EXPECT_NEAR(a4.width(), 210, 0.1);
    EXPECT_NEAR(a4.height(), 297, 0.1);
    EXPECT_EQ(pdf.metaData(QPdfDocument::MetaDataField::Title).toString(), "Bingo");

    const QString text = pdf.getAllText(0).text();
    for (const char* serial : {"0001", "0002", "0003", "0004", "0005", "0006"})
        EXPECT_TRUE(text.contains(serial)) << serial;
    EXPECT_FALSE(text.contains("0007"));
    EXPECT_TRUE(pdf.getAllText(1).text().contains("0008"));

    // Ink boxes: digits sit on the baseline, their tops below the line's top.
    const QRectF serial = find(pdf, 0, "0001");
    EXPECT_NEAR(serial.left(), 5.0 + 30.43, 0.5);
    EXPECT_NEAR(serial.bottom(), 5.0 + 4.50 + 3.19, 0.5) << "baseline: top + ascent of 10 pt";
    const QRectF fifth = find(pdf, 0, "0005");
    EXPECT_NEAR(fifth.left(), 105.0 + 30.43, 0.5) << "right column";
    EXPECT_NEAR(fifth.bottom(), 100.2 + 4.50 + 3.19, 0.5) << "second band down";

    const QRectF caption = find(pdf, 0, QString::fromUtf8("彩票號碼"));
    EXPECT_NEAR(caption.left(), 5.0 + 10.58, 0.5);
    EXPECT_NEAR(caption.top(), 5.0 + 4.23, 0.5);

    const QRectF stamp = find(pdf, 0, "2026/12/11-09:05");
    EXPECT_NEAR(stamp.right(), 5.0 + 85.20, 0.5);
    EXPECT_NEAR(stamp.bottom(), 5.0 + 5.29 + 2.55, 0.5) << "baseline: top + ascent of 8 pt";

    // Card 1's first numbers: (1 + 7k) mod 99 + 1, centred in their boxes from the top.
    for (int k = 1; k <= 3; ++k) {
        const QString number = QString::fromStdString(records.rows[0][static_cast<std::size_t>(k)]);
        const QRectF box(5.0 + 11.38 + 15.08 * (k - 1), 5.0 + 13.23, 11.91, 11.91);
        const QRectF ink = find(pdf, 0, number);
        EXPECT_NEAR(ink.center().x(), box.center().x(), 0.5) << number.toStdString();
        EXPECT_NEAR(ink.bottom(), box.top() + 8.30, 0.5) << "baseline: top + ascent of 26 pt";
    }
}

TEST_F(PdfTest, TextCanBeExtractedByOtherTools) {
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    const auto pages = laidOut(6);
    ReportOutput(*pages).savePdf(path);
    QProcess process;
    process.start(pdftotext, {path, "-"});
    ASSERT_TRUE(process.waitForFinished(30000));
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    EXPECT_TRUE(text.contains("0006"));
    EXPECT_TRUE(text.contains("2026/12/11-09:05"));
    EXPECT_TRUE(text.contains(QString::fromUtf8("彩票號碼")));
}

TEST_F(PdfTest, EmptyTableSavesItsOnePage) {
    const auto pages = laidOut(0);
    ReportOutput(*pages).savePdf(path);
    QPdfDocument pdf;
    ASSERT_EQ(pdf.load(path), QPdfDocument::Error::None);
    EXPECT_EQ(pdf.pageCount(), 1);
    const QString text = pdf.getAllText(0).text();
    EXPECT_TRUE(text.contains(QString::fromUtf8("彩票號碼")));
    EXPECT_TRUE(text.contains("2026/12/11-09:05"));
    EXPECT_FALSE(text.contains("0000"));
}

TEST_F(PdfTest, FailureThrowsAndLeavesNoFile) {
    const auto pages = laidOut(6);
    const QString missing = dir.filePath("no such folder/cards.pdf");
    try {
        ReportOutput(*pages).savePdf(missing);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), "無法將頁面儲存到「" + missing + "」：資料夾「" +
                                                   dir.filePath("no such folder") + "」不存在");
    }
    EXPECT_FALSE(QFile::exists(missing));

    // A file that is there already is replaced whole, or not at all.
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();
    pages->cancel();
    EXPECT_THROW(ReportOutput(*pages).savePdf(path), std::runtime_error) << "no pages to save";
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old contents");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"cards.pdf"})
        << "no temporary file is left behind";
}

} // namespace
} // namespace bingo::report
