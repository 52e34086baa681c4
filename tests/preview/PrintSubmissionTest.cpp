#include "preview/PrintSubmission.h"

#include "support/PrivateCups.h"

#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

namespace bingo::preview {
namespace {

using test::PrivateCups;

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A PDF of pageCount A4 pages, each saying which it is.
QString writePdf(const QString& path, int pageCount) {
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter(&writer);
    for (int page = 0; page < pageCount; ++page) {
        if (page > 0)
            writer.newPage();
        painter.drawText(QPointF(500, 500), QStringLiteral("page %1").arg(page + 1));
    }
    painter.end();
    return path;
}

PrintPlan plan(int pageCount, const QString& queue) {
    PrintPlan p;
    p.pageCount = pageCount;
    for (int page = 0; page < pageCount; ++page)
        p.pages.push_back(page);
    p.jobName = QStringLiteral("Bingo");
    p.queue = queue;
    return p;
}

class PrintSubmissionTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        QString whyNot;
        cups_ = PrivateCups::start(whyNot).release();
        if (!cups_)
            whyNot_ = whyNot.toStdString();
    }
    static void TearDownTestSuite() {
        delete cups_;
        cups_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        pdf = writePdf(dir.filePath("three.pdf"), 3);
    }
    void needCups() {
        if (!cups_)
            GTEST_SKIP() << "no private cupsd: " << whyNot_;
    }

    static PrivateCups* cups_;
    static std::string whyNot_;
    QTemporaryDir dir;
    QString pdf;
};

PrivateCups* PrintSubmissionTest::cups_ = nullptr;
std::string PrintSubmissionTest::whyNot_;

struct QueueCase {
    const char* name;
    const char* queue;
    PdfPages holds;
    std::vector<int> pages; // of three
    int copies;
    bool collate;
    bool reverse;
    Sides sides;
    // expected job attributes ("" : none)
    const char* sidesAttribute;
    const char* copiesAttribute;
    const char* pageRanges;
    const char* handling;
    const char* outputOrder;
};

class PrintSubmissionQueueTest : public PrintSubmissionTest,
                                 public ::testing::WithParamInterface<QueueCase> {};

TEST_P(PrintSubmissionQueueTest, TheQueueGetsTheFileItselfWithThePlansOptions) {
    needCups();
    if (IsSkipped())
        return;
    const QueueCase& c = GetParam();
    PrintPlan p = plan(3, QString::fromLatin1(c.queue));
    p.pages = c.pages;
    p.copies = c.copies;
    p.collate = c.collate;
    p.reverse = c.reverse;
    p.sides = c.sides;
    const int jobsBefore = cups_->jobCount(p.queue);
    const Submitted submitted = submitPdf(pdf, c.holds, p);
    ASSERT_TRUE(submitted.done);
    ASSERT_GT(submitted.jobId, 0);
    EXPECT_EQ(cups_->jobCount(p.queue), jobsBefore + 1);
    EXPECT_EQ(contents(cups_->documentPath(submitted.jobId)), contents(pdf))
        << "the queue holds the PDF as it was handed over, no page images";
    EXPECT_EQ(cups_->jobAttribute(submitted.jobId, "document-format"), "application/pdf");
    EXPECT_EQ(cups_->jobAttribute(submitted.jobId, "job-name"), "Bingo");
    EXPECT_EQ(cups_->jobAttribute(submitted.jobId, "media"), "iso_a4_210x297mm");
    EXPECT_EQ(cups_->jobAttribute(submitted.jobId, "sides"), c.sidesAttribute);
    EXPECT_EQ(cups_->jobAttribute(submitted.jobId, "copies"), c.copiesAttribute);
    EXPECT_EQ(cups_->jobAttribute(submitted.jobId, "page-ranges"), c.pageRanges);
    EXPECT_EQ(cups_->jobAttribute(submitted.jobId, "multiple-document-handling"), c.handling);
    EXPECT_EQ(cups_->jobAttribute(submitted.jobId, "outputorder"), c.outputOrder);
}

constexpr auto Collated = "separate-documents-collated-copies";
constexpr auto Uncollated = "separate-documents-uncollated-copies";

INSTANTIATE_TEST_SUITE_P(Cases, PrintSubmissionQueueTest,
                         ::testing::Values(QueueCase{"OneSidedOnAQueueThatDefaultsToTwoSided",
                                                     PrivateCups::TwoSided,
                                                     PdfPages::Planned,
                                                     {0, 1, 2},
                                                     1,
                                                     true,
                                                     false,
                                                     Sides::OneSided,
                                                     "one-sided",
                                                     "1",
                                                     "",
                                                     Collated,
                                                     ""},
                                           QueueCase{"TwoSidedWhenChosen",
                                                     PrivateCups::Plain,
                                                     PdfPages::Planned,
                                                     {0, 1, 2},
                                                     1,
                                                     true,
                                                     false,
                                                     Sides::TwoSidedShortEdge,
                                                     "two-sided-short-edge",
                                                     "1",
                                                     "",
                                                     Collated,
                                                     ""},
                                           QueueCase{"APlannedPdfNeedsNoRangesNorOrder",
                                                     PrivateCups::Plain,
                                                     PdfPages::Planned,
                                                     {1, 0},
                                                     2,
                                                     false,
                                                     true,
                                                     Sides::OneSided,
                                                     "one-sided",
                                                     "2",
                                                     "",
                                                     Uncollated,
                                                     ""},
                                           QueueCase{"ASavedPdfGetsItsRangesAndOrder",
                                                     PrivateCups::Plain,
                                                     PdfPages::Document,
                                                     {2, 0},
                                                     3,
                                                     true,
                                                     true,
                                                     Sides::OneSided,
                                                     "one-sided",
                                                     "3",
                                                     "1-1,3-3",
                                                     Collated,
                                                     "reverse"},
                                           QueueCase{"ASavedPdfPrintedWholeGetsNoRanges",
                                                     PrivateCups::Plain,
                                                     PdfPages::Document,
                                                     {0, 1, 2},
                                                     1,
                                                     true,
                                                     false,
                                                     Sides::OneSided,
                                                     "one-sided",
                                                     "1",
                                                     "",
                                                     Collated,
                                                     ""}),
                         [](const ::testing::TestParamInfo<QueueCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(PrintSubmissionTest, APrinterOfATwoSidedQueuePrintsOneSidedWithTheReportsSettings) {
    needCups();
    if (IsSkipped())
        return;
    const QPrinterInfo info = QPrinterInfo::printerInfo(PrivateCups::TwoSided);
    ASSERT_FALSE(info.isNull()) << "Qt does not see the private queue";
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Bingo"));
    // Qt hands the queue's default on to the printer it makes.
    EXPECT_NE(planPrint(printer, 3).sides, Sides::OneSided);
    applyReportPrinterSettings(printer);
    const PrintPlan p = planPrint(printer, 3);
    EXPECT_EQ(p.queue, PrivateCups::TwoSided);
    const Submitted submitted = submitPdf(pdf, PdfPages::Planned, p);
    ASSERT_TRUE(submitted.done);
    EXPECT_EQ(cups_->jobAttribute(submitted.jobId, "sides"), "one-sided");
}

TEST_F(PrintSubmissionTest, StoppingTheHandOverLeavesNoJob) {
    needCups();
    if (IsSkipped())
        return;
    const QString big = writePdf(dir.filePath("big.pdf"), 400);
    for (const qint64 stopAfter : {qint64(0), qint64(1)}) {
        const int jobsBefore = cups_->jobCount(PrivateCups::Plain);
        qint64 calls = 0;
        const Submitted submitted = submitPdf(big, PdfPages::Planned, plan(400, PrivateCups::Plain),
                                              [&](qint64, qint64) { return calls++ < stopAfter; });
        EXPECT_FALSE(submitted.done) << stopAfter;
        EXPECT_EQ(cups_->jobCount(PrivateCups::Plain), jobsBefore)
            << "the stopped job is neither waiting nor completed, after " << stopAfter;
    }
}

TEST_F(PrintSubmissionTest, AQueueThatDoesNotExistIsAnErrorAndLeavesNoJob) {
    needCups();
    if (IsSkipped())
        return;
    try {
        (void)submitPdf(pdf, PdfPages::Planned, plan(3, QStringLiteral("no-such-queue")));
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_TRUE(
            QString::fromUtf8(error.what()).startsWith("印表機「no-such-queue」不接受列印工作："))
            << error.what();
    }
    EXPECT_LE(cups_->jobCount(QStringLiteral("no-such-queue")), 0);
}

TEST_F(PrintSubmissionTest, AFileGetsThePagesCopiedWholeOrNotAtAll) {
    PrintPlan p = plan(3, {});
    p.outputFile = dir.filePath("out.pdf");
    ASSERT_TRUE(submitPdf(pdf, PdfPages::Planned, p).done);
    EXPECT_EQ(contents(p.outputFile), contents(pdf));

    // Stopped half-way, or asked for pages it cannot pick out of a saved file: what was there
    // stays as it was.
    QFile::remove(p.outputFile);
    QFile mine(p.outputFile);
    ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
    mine.write("mine");
    mine.close();
    EXPECT_FALSE(
        submitPdf(pdf, PdfPages::Planned, p, [](qint64 done, qint64) { return done == 0; }).done);
    p.pages = {0, 2};
    try {
        (void)submitPdf(pdf, PdfPages::Document, p);
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "印到檔案時，載入的 PDF 只能整份依原來的順序印一份；"
                                   "要挑選頁數、從最後一頁印起或印多份，請印到印表機。");
    }
    EXPECT_EQ(contents(p.outputFile), "mine");
}

TEST_F(PrintSubmissionTest, AFileThatCannotBeReadIsAnError) {
    PrintPlan p = plan(3, {});
    p.outputFile = dir.filePath("out.pdf");
    const QString empty = dir.filePath("empty.pdf");
    QFile(empty).open(QIODevice::WriteOnly);
    for (const QString& path : {dir.filePath("missing.pdf"), empty})
        EXPECT_THROW((void)submitPdf(path, PdfPages::Planned, p), std::runtime_error)
            << path.toStdString();
    EXPECT_FALSE(QFile::exists(p.outputFile));
}

} // namespace
} // namespace bingo::preview
