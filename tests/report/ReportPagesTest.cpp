#include "report/ReportPages.h"

#include "ReportTestSupport.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <ostream>

namespace bingo::report {
namespace {

using test::FakeRecords;

class ReportPagesTest : public ::testing::Test {
  protected:
    std::unique_ptr<ReportPages> laidOut(const FakeRecords& records) {
        auto pages = std::make_unique<ReportPages>(test::cardLayout(), records, marks.handlers());
        pages->layOutAll();
        return pages;
    }
    test::MarkingHandlers marks;
};

struct FlowCase {
    int records;
    int pages;
    BandPlace last;
};

void PrintTo(const FlowCase& c, std::ostream* os) {
    *os << c.records << (c.records == 1 ? " record" : " records");
}

class ReportFlowTest : public ReportPagesTest, public ::testing::WithParamInterface<FlowCase> {};

TEST_P(ReportFlowTest, OneBandPerRecordFlowedDownTheColumns) {
    const FlowCase c = GetParam();
    const FakeRecords records = FakeRecords::cards(c.records);
    const auto pages = laidOut(records);
    ASSERT_TRUE(pages->isComplete());
    EXPECT_EQ(pages->progressPercent(), 100);
    EXPECT_EQ(pages->pageCount(), c.pages);
    ASSERT_EQ(pages->bandCount(), c.records);
    EXPECT_EQ(pages->bandPlace(0), (BandPlace{0, 0, 50, 50}));
    EXPECT_EQ(pages->bandPlace(c.records - 1), c.last);
    EXPECT_EQ(pages->bandText(c.records - 1, "QRDBText26"), "#" + QString::number(c.records));
    EXPECT_EQ(marks.serialCalls, c.records);
    EXPECT_EQ(marks.stampCalls, c.records);
    EXPECT_EQ(records.openReadings, 0) << "a finished layout keeps no reading open";
}

INSTANTIATE_TEST_SUITE_P(Records, ReportFlowTest,
                         ::testing::Values(FlowCase{1, 1, {0, 0, 50, 50}},
                                           FlowCase{6, 1, {0, 1, 1050, 1954}},
                                           FlowCase{7, 2, {1, 0, 50, 50}},
                                           FlowCase{12, 2, {1, 1, 1050, 1954}}));

TEST_F(ReportPagesTest, BandsKeepTheirRecordsTexts) {
    const FakeRecords records = FakeRecords::cards(7);
    const auto pages = laidOut(records);
    for (int band = 0; band < 7; ++band) {
        for (int k = 1; k <= 25; ++k)
            EXPECT_EQ(pages->bandText(band, "QRDBText" + QString::number(k)).toStdString(),
                      records.rows[static_cast<std::size_t>(band)][static_cast<std::size_t>(k)]);
        EXPECT_EQ(pages->bandText(band, "QRLabel1"), QString::fromUtf8("彩票號碼 :"));
        EXPECT_EQ(pages->bandText(band, "QRSysData1"), "stamp");
        EXPECT_EQ(pages->bandText(band, "QRShape26"), "");
    }
}

TEST_F(ReportPagesTest, EmptyTableGivesOnePageWithOneBandWithoutRecord) {
    const FakeRecords records;
    const auto pages = laidOut(records);
    EXPECT_TRUE(pages->isComplete());
    EXPECT_EQ(pages->pageCount(), 1);
    ASSERT_EQ(pages->bandCount(), 1);
    EXPECT_EQ(pages->bandPlace(0), (BandPlace{0, 0, 50, 50}));
    EXPECT_EQ(pages->bandText(0, "QRDBText26"), "");
    for (int k = 1; k <= 25; ++k)
        EXPECT_EQ(pages->bandText(0, "QRDBText" + QString::number(k)), "");
    EXPECT_EQ(pages->bandText(0, "QRLabel1"), QString::fromUtf8("彩票號碼 :"));
    EXPECT_EQ(pages->bandText(0, "QRSysData1"), "stamp");
    EXPECT_EQ(marks.serialCalls, 0) << "no serial, so its handler does not run";
    EXPECT_EQ(marks.stampCalls, 1);
}

TEST_F(ReportPagesTest, NullSerialPrintsNothingAndSkipsItsHandler) {
    FakeRecords records = FakeRecords::cards(3);
    records.rows[1][0] = "";
    records.rows[1][5] = "";
    const auto pages = laidOut(records);
    EXPECT_EQ(pages->bandText(1, "QRDBText26"), "");
    EXPECT_EQ(pages->bandText(1, "QRDBText5"), "");
    EXPECT_EQ(pages->bandText(2, "QRDBText26"), "#3");
    EXPECT_EQ(marks.serialCalls, 2);
}

// What a table edited by hand may hold is printed as it stands; the painter copes with it.
TEST_F(ReportPagesTest, OddNumberTextsArePrintedAsTheyStand) {
    FakeRecords records = FakeRecords::cards(1);
    const char* odd[] = {"0", "-5", "150", "32767", "abc def ghi jkl", "x\ny\nz", "  ", "１２"};
    for (std::size_t i = 0; i < std::size(odd); ++i)
        records.rows[0][i + 1] = odd[i];
    const auto pages = laidOut(records);
    for (std::size_t i = 0; i < std::size(odd); ++i)
        EXPECT_EQ(pages->bandText(0, "QRDBText" + QString::number(i + 1)),
                  QString::fromUtf8(odd[i]));
    const QImage image = pages->renderPage(0, QSize(840, 1188));
    EXPECT_FALSE(image.isNull());
}

TEST_F(ReportPagesTest, HandlerFailureStopsTheLayoutNamingTheRecord) {
    FakeRecords records = FakeRecords::cards(9);
    PrintHandlers handlers = marks.handlers();
    handlers["QRDBText26Print"] = [](QString& value) {
        if (value == "8")
            throw std::runtime_error("'x' is not a valid integer value");
    };
    ReportPages pages(test::cardLayout(), records, handlers);
    try {
        pages.layOutAll();
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "第 8 筆資料無法列印：'x' is not a valid integer value");
    }
    EXPECT_TRUE(pages.hasFailed());
    EXPECT_FALSE(pages.isComplete());
    EXPECT_FALSE(pages.isLayingOut());
    EXPECT_EQ(pages.bandCount(), 7) << "the bands before the failing record stay";
    EXPECT_EQ(pages.pageCount(), 2);
    EXPECT_EQ(records.openReadings, 0);
}

TEST_F(ReportPagesTest, MissingFieldOrHandlerIsRefusedAtOnce) {
    FakeRecords records;
    PrintHandlers handlers = marks.handlers();
    handlers.remove("QRSysData1Print");
    try {
        ReportPages pages(test::cardLayout(), records, handlers);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(),
                     "報表元件 QRSysData1 需要列印處理程序 QRSysData1Print，但程式沒有提供");
    }

    class FewFields final : public RecordSource {
      public:
        QStringList fieldNames() const override { return {"S0", "S1", "S2", "S3"}; }
        std::unique_ptr<RecordCursor> read() const override { return nullptr; }
        std::int64_t recordCount() const override { return 0; }
    } few;
    try {
        ReportPages pages(test::cardLayout(), few, marks.handlers());
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "QRDBText4: 資料表中找不到欄位 'S4'");
    }
}

TEST_F(ReportPagesTest, LaysOutOverTheEventLoopAndReportsProgress) {
    const FakeRecords records = FakeRecords::cards(20000);
    ReportPages pages(test::cardLayout(), records, marks.handlers());
    QSignalSpy changed(&pages, &ReportPages::pagesChanged);
    QSignalSpy completed(&pages, &ReportPages::completed);
    pages.start();
    EXPECT_TRUE(pages.isLayingOut());
    EXPECT_EQ(pages.pageCount(), 0) << "start() returns before laying anything out";
    EXPECT_EQ(records.openReadings, 1);
    // One turn of the event loop lays out one chunk, not the whole table.
    QCoreApplication::processEvents();
    EXPECT_GT(pages.bandCount(), 0);
    EXPECT_LT(pages.bandCount(), 20000);
    EXPECT_GE(pages.progressPercent(), 0);
    EXPECT_LT(pages.progressPercent(), 100);
    ASSERT_TRUE(completed.wait(60000));
    EXPECT_TRUE(pages.isComplete());
    EXPECT_EQ(pages.pageCount(), 3334);
    EXPECT_EQ(pages.progressPercent(), 100);
    EXPECT_GE(changed.count(), 2);
    EXPECT_EQ(records.openReadings, 0);
}

TEST_F(ReportPagesTest, AFailureOverTheEventLoopBecomesTheLayoutsStateKeepingItsPages) {
    FakeRecords records = FakeRecords::cards(3000);
    PrintHandlers handlers = marks.handlers();
    handlers.insert("QRDBText26Print", [](QString& value) {
        if (value == "2500")
            throw std::runtime_error("'2500' is spoiled");
    });
    ReportPages pages(test::cardLayout(), records, handlers);
    QSignalSpy failed(&pages, &ReportPages::failed);
    pages.start();
    // The failure is told by the signal; nothing is thrown into the event loop.
    ASSERT_TRUE(failed.wait(60000));
    EXPECT_EQ(failed.count(), 1);
    EXPECT_EQ(failed.front().front().toString(), "第 2500 筆資料無法列印：'2500' is spoiled");
    EXPECT_TRUE(pages.hasFailed());
    EXPECT_FALSE(pages.isLayingOut());
    EXPECT_EQ(pages.failure(), failed.front().front().toString());
    EXPECT_EQ(pages.bandCount(), 2499) << "the bands before the failure stay";
    EXPECT_EQ(records.openReadings, 0);
}

TEST_F(ReportPagesTest, CancelAndDestructionReleaseTheReading) {
    const FakeRecords records = FakeRecords::cards(20000);
    {
        ReportPages pages(test::cardLayout(), records, marks.handlers());
        pages.start();
        QCoreApplication::processEvents();
        pages.cancel();
        EXPECT_EQ(records.openReadings, 0);
        EXPECT_FALSE(pages.isLayingOut());
        EXPECT_EQ(pages.pageCount(), 0) << "a cancelled layout discards its pages";
        const int bands = marks.serialCalls;
        QCoreApplication::processEvents();
        EXPECT_EQ(marks.serialCalls, bands) << "nothing is laid out after cancel()";
    }
    {
        ReportPages pages(test::cardLayout(), records, marks.handlers());
        pages.start();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(records.openReadings, 0);
    QCoreApplication::processEvents(); // a chunk still queued for the dead object is dropped
}

TEST_F(ReportPagesTest, HundredThousandRecordsAreLaidOut) {
    FakeRecords records = FakeRecords::cards(100000);
    const auto pages = laidOut(records);
    EXPECT_EQ(pages->pageCount(), 16667);
    EXPECT_EQ(pages->bandText(99999, "QRDBText26"), "#100000");
    EXPECT_EQ(pages->bandPlace(99999), (BandPlace{16666, 1, 1050, 50}));
}

} // namespace
} // namespace bingo::report
