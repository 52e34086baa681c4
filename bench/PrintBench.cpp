// Handing a 9999-sheet job to a print queue: a saved PDF as it is, and the report's pages drawn
// into a PDF first, beside reading the saved file's bytes, with what the queue spooled. Runs
// against a cupsd of its own whose queue is stopped, so that no filter competes for the CPU.
#include "StoredJob.h"
#include "cards/CardGenerator.h"
#include "preview/PrintPlan.h"
#include "preview/PrintSubmission.h"
#include "report/Fonts.h"
#include "report/ReportOutput.h"
#include "report/ReportPages.h"
#include "report/rpBingo.h"
#include "store/CardTable.h"
#include "support/PrivateCups.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cups/cups.h>
#include <memory>

namespace {

using namespace bingo;

constexpr int LargestJobSheets = 9999;
constexpr double MB = 1024.0 * 1024.0;

/// The card table of a 9999-sheet job, the report on it and its pages saved as a PDF.
class SavedJob {
  public:
    SavedJob() : table_("tbTmp") {
        table_.setDirectory(dir_.path().toStdString());
        table_.setTableName("tmpBingo");
        cards::RandomSource random(20261211);
        bench::storeJob(table_, random, 50, LargestJobSheets);
        report_ = std::make_unique<report::Tqr1>(
            table_, report::ReportContext{
                        [] { return QDateTime::currentDateTime(); }, QLocale::system(), {}});
        const auto pages = report_->createPages();
        pages->layOutAll();
        report::ReportOutput(*pages).savePdf(savedPdf());
    }
    [[nodiscard]] QString savedPdf() const { return dir_.filePath("Bingo.pdf"); }
    [[nodiscard]] QString path(const QString& name) const { return dir_.filePath(name); }
    [[nodiscard]] report::Tqr1& report() { return *report_; }

  private:
    QTemporaryDir dir_;
    store::CardTable table_;
    std::unique_ptr<report::Tqr1> report_;
};

preview::PrintPlan wholeJob(const char* queue) {
    preview::PrintPlan plan;
    plan.pageCount = LargestJobSheets;
    for (int page = 0; page < LargestJobSheets; ++page)
        plan.pages.push_back(page);
    plan.jobName = QStringLiteral("Bingo");
    plan.queue = QString::fromLatin1(queue);
    return plan;
}

void purge(int jobId) {
    cupsCancelJob2(CUPS_HTTP_DEFAULT, test::PrivateCups::Plain, jobId, 1);
}

void ReadSavedPdf(benchmark::State& state, const SavedJob& job) {
    qint64 bytes = 0;
    for (auto _ : state) {
        QFile file(job.savedPdf());
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("cannot read the saved PDF");
            return;
        }
        bytes = 0;
        while (!file.atEnd())
            bytes += file.read(256 * 1024).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["file_MB"] = static_cast<double>(bytes) / MB;
}

void SavedPdfToQueue(benchmark::State& state, const SavedJob& job, test::PrivateCups* cups) {
    if (!cups) {
        state.SkipWithError("no private cupsd");
        return;
    }
    const preview::PrintPlan plan = wholeJob(test::PrivateCups::Plain);
    qint64 spooled = 0;
    for (auto _ : state) {
        const preview::Submitted sent =
            preview::submitPdf(job.savedPdf(), preview::PdfPages::Document, plan);
        state.PauseTiming();
        spooled = QFileInfo(cups->documentPath(sent.jobId)).size();
        purge(sent.jobId);
        state.ResumeTiming();
    }
    const double file = static_cast<double>(QFileInfo(job.savedPdf()).size());
    state.counters["file_MB"] = file / MB;
    state.counters["spool_MB"] = static_cast<double>(spooled) / MB;
    state.counters["spool_per_file"] = static_cast<double>(spooled) / file;
}

// The report's print as it is to be: the table laid out anew into a temporary PDF, which goes
// to the queue only once it is complete.
void ReportToQueue(benchmark::State& state, SavedJob& job, test::PrivateCups* cups) {
    if (!cups) {
        state.SkipWithError("no private cupsd");
        return;
    }
    const preview::PrintPlan plan = wholeJob(test::PrivateCups::Plain);
    const QString temporary = job.path("print.pdf");
    qint64 spooled = 0;
    for (auto _ : state) {
        const auto pages = job.report().createPages();
        pages->layOutAll();
        const auto holds = report::ReportOutput(*pages).writePrintPdf(plan, temporary, {});
        const preview::Submitted sent = preview::submitPdf(temporary, *holds, plan);
        state.PauseTiming();
        spooled = QFileInfo(cups->documentPath(sent.jobId)).size();
        purge(sent.jobId);
        QFile::remove(temporary);
        state.ResumeTiming();
    }
    state.counters["spool_MB"] = static_cast<double>(spooled) / MB;
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    report::registerFontSubstitutions();
    benchmark::Initialize(&argc, argv);

    QString whyNot;
    const std::unique_ptr<test::PrivateCups> cups = test::PrivateCups::start(whyNot);
    if (cups)
        cups->setQueueStopped(test::PrivateCups::Plain, true);
    else
        std::fprintf(stderr, "The queue benchmarks are skipped: %s\n", qPrintable(whyNot));
    SavedJob job;

    benchmark::RegisterBenchmark("ReadSavedPdf/9999", ReadSavedPdf, std::cref(job))
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("SavedPdfToQueue/9999", SavedPdfToQueue, std::cref(job),
                                 cups.get())
        ->Iterations(3)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ReportToQueue/9999", ReportToQueue, std::ref(job), cups.get())
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
