#include "ReportTestSupport.h"
#include "preview/PreviewWindow.h"
#include "preview/PrintPlan.h"
#include "preview/PrintSubmission.h"
#include "report/ReportOutput.h"
#include "report/ReportPages.h"
#include "report/rpBingo.h"
#include "store/CardTable.h"
#include "store/Sqlite.h"

#include <QPdfDocument>
#include <QPdfSelection>
#include <QPrinter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <ostream>

namespace bingo::report {
namespace {

const QDateTime laidOutAt(QDate(2026, 12, 11), QTime(9, 5));
const QDateTime printedAt(QDate(2026, 12, 11), QTime(10, 30));

// The real card table in a temporary directory, read by the real report.
class CardReportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        registerFontSubstitutions();
        table.setDirectory(dir.path().toStdString());
        fill(6);
        report.setLocale(QLocale::c());
        report.setClock([this] { return now; });
    }
    void fill(int cards) {
        table.prepare();
        store::CardTable::Batch batch(table);
        for (int i = 1; i <= cards; ++i) {
            cards::Card card;
            card.serial = i;
            for (int k = 0; k < 25; ++k)
                card.numbers[static_cast<std::size_t>(k)] = (i + 7 * k) % 99 + 1;
            table.store(card);
        }
        batch.commit();
    }
    std::unique_ptr<ReportPages> laidOut() {
        auto pages = report.createPages();
        pages->layOutAll();
        return pages;
    }
    QPdfDocument& printed(ReportPages& pages, QPrinter& printer,
                          const ReportOutput::Progress& progress = {}) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("printed.pdf"));
        // As the preview prints: one plan, the pages drawn into a PDF, that PDF handed over.
        const preview::PrintPlan plan = preview::planPrint(printer, pages.pageCount());
        const QString drawn = dir.filePath("drawn.pdf");
        const auto holds = ReportOutput(pages).writePrintPdf(plan, drawn, progress);
        EXPECT_EQ(holds, preview::PdfPages::Planned);
        if (holds)
            preview::submitPdf(drawn, *holds, plan);
        EXPECT_EQ(pdf.load(printer.outputFileName()), QPdfDocument::Error::None);
        return pdf;
    }
    QString serialsOn(int page) {
        QStringList found;
        const QString text = pdf.getAllText(page).text();
        for (int serial = 1; serial <= 99; ++serial)
            if (text.contains(QString::number(serial + 10000).mid(1)))
                found << QString::number(serial);
        return found.join(' ');
    }

    QTemporaryDir dir;
    store::CardTable table{"tbTmp"};
    Tqr1 report{table, test::fixedContext(&errors)};
    std::vector<QString> errors;
    QDateTime now = laidOutAt;
    QPdfDocument pdf;
};

TEST_F(CardReportTest, BandsLaidOutInDifferentMinutesCarryDifferentStamps) {
    int reads = 0;
    report.setClock([&reads] { return laidOutAt.addSecs(60 * reads++); });
    const auto pages = laidOut();
    EXPECT_EQ(reads, 6) << "the clock is read once for each card";
    EXPECT_EQ(pages->bandText(0, "QRSysData1"), "2026/12/11-09:05");
    EXPECT_EQ(pages->bandText(1, "QRSysData1"), "2026/12/11-09:06");
    EXPECT_EQ(pages->bandText(5, "QRSysData1"), "2026/12/11-09:10");
    EXPECT_EQ(pages->bandText(0, "QRDBText26"), "0001");
    EXPECT_EQ(pages->bandText(5, "QRDBText26"), "0006");
    EXPECT_EQ(pages->bandText(0, "QRDBText1"), "2");
    EXPECT_EQ(pages->bandText(0, "QRDBText2"), "9");
}

TEST_F(CardReportTest, PrintingLaysOutAgainWithTheTimeOfPrinting) {
    const auto pages = laidOut();
    now = printedAt;
    QPrinter printer(QPrinter::HighResolution);
    printed(*pages, printer);
    ASSERT_EQ(pdf.pageCount(), 1);
    const QString text = pdf.getAllText(0).text();
    EXPECT_TRUE(text.contains("2026/12/11-10:30"));
    EXPECT_FALSE(text.contains("2026/12/11-09:05"));
    EXPECT_EQ(serialsOn(0), "1 2 3 4 5 6");
    EXPECT_EQ(pdf.metaData(QPdfDocument::MetaDataField::Title).toString(), "Bingo");
    EXPECT_EQ(pages->bandText(0, "QRSysData1"), "2026/12/11-09:05")
        << "the pages on display stay as they were";
    EXPECT_EQ(pages->pageCount(), 1);
}

TEST_F(CardReportTest, PrintedPagesAreA4WithTheCardsWhereThePreviewHasThem) {
    const auto pages = laidOut();
    QPrinter printer(QPrinter::HighResolution);
    printed(*pages, printer);
    const QSizeF mm = pdf.pagePointSize(0) * (25.4 / 72);
    EXPECT_NEAR(mm.width(), 210, 0.1);
    EXPECT_NEAR(mm.height(), 297, 0.1);
    const QString text = pdf.getAllText(0).text();
    const QRectF serial =
        pdf.getSelectionAtIndex(0, static_cast<int>(text.indexOf("0004")), 4).boundingRectangle();
    EXPECT_NEAR(serial.left() * 25.4 / 72, 105.0 + 30.43, 0.5);
}

struct CopiesCase {
    int from, to, copies;
    bool collate;
    std::vector<const char*> pages;
};

void PrintTo(const CopiesCase& c, std::ostream* os) {
    if (c.from == 0)
        *os << "all pages";
    else
        *os << "pages " << c.from << "-" << c.to;
    *os << ", " << c.copies << (c.copies == 1 ? " copy" : " copies")
        << (c.collate ? ", collated" : ", uncollated");
}

class PrintRangeTest : public CardReportTest, public ::testing::WithParamInterface<CopiesCase> {};

TEST_P(PrintRangeTest, PrintsTheChosenPagesAsManyTimesAsAsked) {
    const CopiesCase c = GetParam();
    fill(18); // three sheets
    const auto pages = laidOut();
    QPrinter printer(QPrinter::HighResolution);
    if (c.from > 0)
        printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(c.from, c.to);
    printer.setCopyCount(c.copies);
    printer.setCollateCopies(c.collate);
    std::vector<std::pair<int, int>> progress;
    printed(*pages, printer, [&progress](int done, int total) {
        progress.emplace_back(done, total);
        return true;
    });
    ASSERT_EQ(pdf.pageCount(), static_cast<int>(c.pages.size()));
    for (int page = 0; page < pdf.pageCount(); ++page)
        EXPECT_EQ(serialsOn(page), c.pages[static_cast<std::size_t>(page)]) << "page " << page;
    ASSERT_EQ(progress.size(), c.pages.size());
    EXPECT_EQ(progress.back(), (std::pair<int, int>(static_cast<int>(c.pages.size()),
                                                    static_cast<int>(c.pages.size()))));
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, PrintRangeTest,
    ::testing::Values(
        CopiesCase{0, 0, 1, true, {"1 2 3 4 5 6", "7 8 9 10 11 12", "13 14 15 16 17 18"}},
        CopiesCase{2, 2, 1, true, {"7 8 9 10 11 12"}},
        CopiesCase{2,
                   3,
                   2,
                   true,
                   {"7 8 9 10 11 12", "13 14 15 16 17 18", "7 8 9 10 11 12", "13 14 15 16 17 18"}},
        CopiesCase{2,
                   3,
                   2,
                   false,
                   {"7 8 9 10 11 12", "7 8 9 10 11 12", "13 14 15 16 17 18", "13 14 15 16 17 18"}},
        CopiesCase{3, 9, 1, true, {"13 14 15 16 17 18"}}));

TEST_F(CardReportTest, RangeOutsideTheReportIsRefused) {
    const auto pages = laidOut();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("none.pdf"));
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    try {
        printed(*pages, printer);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "所選的頁數範圍（2-3）不在這份文件的 1 頁之內。");
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("none.pdf")));
}

TEST_F(CardReportTest, StoppingFromTheProgressEndsThePrint) {
    fill(18);
    const auto pages = laidOut();
    QPrinter printer(QPrinter::HighResolution);
    int calls = 0;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("stopped.pdf"));
    const preview::PrintPlan plan = preview::planPrint(printer, pages->pageCount());
    EXPECT_EQ(ReportOutput(*pages).writePrintPdf(plan, dir.filePath("drawn.pdf"),
                                                 [&calls](int, int) { return ++calls < 1; }),
              std::nullopt);
    EXPECT_EQ(calls, 1);
}

TEST_F(CardReportTest, LandscapePaperTakesFourCardsAPage) {
    const auto pages = laidOut();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printed(*pages, printer);
    ASSERT_EQ(pdf.pageCount(), 2);
    EXPECT_EQ(serialsOn(0), "1 2 3 4");
    EXPECT_EQ(serialsOn(1), "5 6");
    EXPECT_GT(pdf.pagePointSize(0).width(), pdf.pagePointSize(0).height());
}

TEST_F(CardReportTest, EmptyTablePrintsItsOnePage) {
    fill(0);
    const auto pages = laidOut();
    EXPECT_EQ(pages->pageCount(), 1);
    QPrinter printer(QPrinter::HighResolution);
    printed(*pages, printer);
    ASSERT_EQ(pdf.pageCount(), 1);
    EXPECT_TRUE(pdf.getAllText(0).text().contains("2026/12/11-09:05"));
    EXPECT_EQ(serialsOn(0), "");
}

TEST_F(CardReportTest, PreviewOpensTheWindowAndLaysTheTableOutIntoIt) {
    fill(600);
    report.Preview();
    preview::PreviewWindow* window = report.previewWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Bingo");
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(window->parent(), nullptr);
    EXPECT_TRUE(report.isLayoutInProgress()) << "Preview() returns before the layout ends";

    report.Preview(); // while the layout runs: nothing happens
    EXPECT_EQ(report.previewWindow(), window);

    QSignalSpy completed(&window->pages(), &preview::PageSource::completed);
    ASSERT_TRUE(completed.wait(60000));
    EXPECT_FALSE(report.isLayoutInProgress());
    EXPECT_EQ(window->pages().pageCount(), 100);

    // A finished preview is replaced by the next one.
    QPointer<preview::PreviewWindow> first = window;
    report.Preview();
    ASSERT_NE(report.previewWindow(), nullptr);
    EXPECT_NE(report.previewWindow(), first.data());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull()) << "the report deleted the old window";
    report.closePreview();
}

TEST_F(CardReportTest, ClosingThePreviewCancelsTheLayoutAndFreesTheTable) {
    fill(6000);
    report.Preview();
    ASSERT_TRUE(report.isLayoutInProgress());
    QCoreApplication::processEvents();
    QPointer<preview::PreviewWindow> window = report.previewWindow();
    report.closePreview();
    EXPECT_FALSE(report.isLayoutInProgress());
    EXPECT_FALSE(report.isPreviewOpen());
    EXPECT_EQ(report.previewWindow(), nullptr);
    // Nothing reads the table any more: the next job can empty and refill it at once.
    fill(6);
    EXPECT_EQ(table.recordCount(), 6);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

TEST_F(CardReportTest, ASpoiledRecordFailsThePreviewsLayoutOnceWithItsNumber) {
    fill(600);
    {
        store::detail::Database db(table.filePath(), SQLITE_OPEN_READWRITE, "");
        db.exec("UPDATE tmpBingo SET S0 = 'abc' WHERE rowid = 100");
    }
    report.Preview();
    preview::PreviewWindow* window = report.previewWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !report.isLayoutInProgress(); }, 60000));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors.front(), "第 100 筆資料無法列印：「abc」不是有效的整數");
    EXPECT_EQ(window->pages().failure(), errors.front());
    EXPECT_EQ(window->pages().pageCount(), 17) << "the pages before the record stay";
    EXPECT_TRUE(report.isPreviewOpen());
    report.closePreview();
}

TEST_F(CardReportTest, PreviewOfAClosedTableFailsShowingNothing) {
    table.close();
    EXPECT_THROW(report.Preview(), std::runtime_error);
    EXPECT_FALSE(report.isPreviewOpen());
    EXPECT_FALSE(report.isLayoutInProgress());
}

} // namespace
} // namespace bingo::report
