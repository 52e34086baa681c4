#include "preview/PrintPlan.h"

#include <QPageRanges>
#include <QPrinter>
#include <gtest/gtest.h>
#include <stdexcept>

namespace bingo::preview {
namespace {

struct PlanCase {
    const char* name;
    QPrinter::PrintRange range = QPrinter::AllPages;
    const char* pageRanges = "";
    int pageCount = 3;
    int currentPage = 0;
    QPrinter::PageOrder order = QPrinter::FirstPageFirst;
    int copies = 1;
    bool collate = true;
    // expected
    std::vector<int> pages;
    std::vector<int> sheets;
    const char* rangesText = "";
};

void PrintTo(const PlanCase& c, std::ostream* os) {
    *os << c.name;
}

void setUp(QPrinter& printer, const PlanCase& c) {
    printer.setOutputFileName(QStringLiteral("/nonexistent/plan.pdf"));
    printer.setDocName(QStringLiteral("Bingo"));
    printer.setPrintRange(c.range);
    printer.setPageRanges(QPageRanges::fromString(QString::fromLatin1(c.pageRanges)));
    printer.setPageOrder(c.order);
    printer.setCopyCount(c.copies);
    printer.setCollateCopies(c.collate);
}

class PrintPlanTest : public ::testing::TestWithParam<PlanCase> {};

TEST_P(PrintPlanTest, WorksOutPagesAndCopies) {
    const PlanCase& c = GetParam();
    QPrinter printer;
    setUp(printer, c);
    const PrintPlan plan = planPrint(printer, c.pageCount, c.currentPage);
    EXPECT_EQ(plan.pages, c.pages);
    EXPECT_EQ(plan.sheets(), c.sheets);
    EXPECT_EQ(plan.pagesToDraw(), c.sheets) << "a file gets every copy";
    EXPECT_EQ(plan.sides, Sides::OneSided);
    EXPECT_EQ(plan.pageRangesText(), QString::fromLatin1(c.rangesText));
    EXPECT_EQ(plan.pageCount, c.pageCount);
    EXPECT_EQ(plan.copies, std::max(1, c.copies));
    EXPECT_EQ(plan.reverse, c.order == QPrinter::LastPageFirst);
    EXPECT_EQ(plan.wholeDocumentInOrder(),
              c.pages.size() == static_cast<std::size_t>(c.pageCount) &&
                  std::is_sorted(c.pages.begin(), c.pages.end()));
    EXPECT_EQ(plan.jobName, "Bingo");
    EXPECT_EQ(plan.outputFile, "/nonexistent/plan.pdf");
    EXPECT_TRUE(plan.queue.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrintPlanTest,
    ::testing::Values(
        PlanCase{.name = "all pages", .pages = {0, 1, 2}, .sheets = {0, 1, 2}, .rangesText = "1-3"},
        PlanCase{.name = "a range",
                 .range = QPrinter::PageRange,
                 .pageRanges = "2-3",
                 .pageCount = 5,
                 .pages = {1, 2},
                 .sheets = {1, 2},
                 .rangesText = "2-3"},
        PlanCase{.name = "ranges with a gap, last page first",
                 .range = QPrinter::PageRange,
                 .pageRanges = "1,3-4",
                 .pageCount = 5,
                 .order = QPrinter::LastPageFirst,
                 .pages = {3, 2, 0},
                 .sheets = {3, 2, 0},
                 .rangesText = "1,3-4"},
        PlanCase{.name = "a range running past the end is cut there",
                 .range = QPrinter::PageRange,
                 .pageRanges = "4-9",
                 .pageCount = 5,
                 .pages = {3, 4},
                 .sheets = {3, 4},
                 .rangesText = "4-5"},
        PlanCase{.name = "ranges left over while all pages are chosen count for nothing",
                 .range = QPrinter::AllPages,
                 .pageRanges = "2",
                 .pages = {0, 1, 2},
                 .sheets = {0, 1, 2},
                 .rangesText = "1-3"},
        PlanCase{.name = "all pages, last page first",
                 .order = QPrinter::LastPageFirst,
                 .pages = {2, 1, 0},
                 .sheets = {2, 1, 0},
                 .rangesText = "1-3"},
        PlanCase{.name = "the current page",
                 .range = QPrinter::CurrentPage,
                 .currentPage = 1,
                 .pages = {1},
                 .sheets = {1},
                 .rangesText = "2"},
        PlanCase{.name = "a selection is every page",
                 .range = QPrinter::Selection,
                 .pageCount = 2,
                 .pages = {0, 1},
                 .sheets = {0, 1},
                 .rangesText = "1-2"},
        PlanCase{.name = "collated copies",
                 .pageCount = 2,
                 .copies = 2,
                 .pages = {0, 1},
                 .sheets = {0, 1, 0, 1},
                 .rangesText = "1-2"},
        PlanCase{.name = "uncollated copies, last page first",
                 .pageCount = 2,
                 .order = QPrinter::LastPageFirst,
                 .copies = 3,
                 .collate = false,
                 .pages = {1, 0},
                 .sheets = {1, 1, 1, 0, 0, 0},
                 .rangesText = "1-2"},
        PlanCase{.name = "no copies counts as one",
                 .pageCount = 1,
                 .copies = 0,
                 .pages = {0},
                 .sheets = {0},
                 .rangesText = "1"}),
    [](const ::testing::TestParamInfo<PlanCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        return name;
    });

TEST(PrintPlanSidesTest, TwoSidedOnlyWhenTheDuplexSettingSaysSo) {
    const struct {
        QPrinter::DuplexMode duplex;
        QPageLayout::Orientation orientation;
        Sides sides;
    } cases[] = {
        {QPrinter::DuplexNone, QPageLayout::Portrait, Sides::OneSided},
        {QPrinter::DuplexNone, QPageLayout::Landscape, Sides::OneSided},
        {QPrinter::DuplexLongSide, QPageLayout::Portrait, Sides::TwoSidedLongEdge},
        {QPrinter::DuplexLongSide, QPageLayout::Landscape, Sides::TwoSidedLongEdge},
        {QPrinter::DuplexShortSide, QPageLayout::Portrait, Sides::TwoSidedShortEdge},
        {QPrinter::DuplexAuto, QPageLayout::Portrait, Sides::TwoSidedLongEdge},
        {QPrinter::DuplexAuto, QPageLayout::Landscape, Sides::TwoSidedShortEdge},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sidesFor(c.duplex, c.orientation), c.sides) << c.duplex << " " << c.orientation;
}

struct RefusedCase {
    const char* name;
    QPrinter::PrintRange range;
    const char* pageRanges;
    int pageCount;
    int currentPage;
    const char* message;
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
    *os << c.name;
}

class PrintPlanRefusedTest : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(PrintPlanRefusedTest, SaysWhyNothingWouldPrint) {
    const RefusedCase& c = GetParam();
    QPrinter printer;
    printer.setOutputFileName(QStringLiteral("/nonexistent/plan.pdf"));
    printer.setPrintRange(c.range);
    printer.setPageRanges(QPageRanges::fromString(QString::fromLatin1(c.pageRanges)));
    try {
        (void)planPrint(printer, c.pageCount, c.currentPage);
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrintPlanRefusedTest,
    ::testing::Values(RefusedCase{"RangeAfterTheLastPage", QPrinter::PageRange, "7-9", 5, 0,
                                  "所選的頁數範圍（7-9）不在這份文件的 5 頁之內。"},
                      RefusedCase{"NoPages", QPrinter::AllPages, "", 0, 0,
                                  "這份文件沒有可以列印的頁。"},
                      RefusedCase{"CurrentPageOutside", QPrinter::CurrentPage, "", 2, 4,
                                  "目前的頁（第 5 頁）不在這份文件的 2 頁之內。"}),
    [](const ::testing::TestParamInfo<RefusedCase>& info) { return std::string(info.param.name); });

TEST(PrintPlanSettingsTest, ReportSettingsUndoWhatThePrinterBroughtAlong) {
    QPrinter printer;
    printer.setOutputFileName(QStringLiteral("/nonexistent/plan.pdf"));
    printer.setDuplex(QPrinter::DuplexLongSide); // as a queue whose default is two-sided
    printer.setCopyCount(4);
    printer.setCollateCopies(false);
    printer.setPrintRange(QPrinter::PageRange);
    printer.setPageRanges(QPageRanges::fromString(QStringLiteral("2")));
    printer.setPageOrder(QPrinter::LastPageFirst);
    applyReportPrinterSettings(printer);
    const PrintPlan plan = planPrint(printer, 3);
    EXPECT_EQ(plan.sides, Sides::OneSided);
    EXPECT_EQ(plan.sheets(), (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(plan.wholeDocumentInOrder());
    EXPECT_EQ(printer.paperSource(), QPrinter::Auto);
}

} // namespace
} // namespace bingo::preview
