// The preview stage of a 9999-sheet job: how soon page 1 shows, how long the layout takes,
// what the process holds afterwards, and how fast the pages go to PDF; beside a plain
// QPainter::drawText loop onto a QPdfWriter and Qt's own QPrintPreviewDialog.
#include "StoredJob.h"
#include "app/Session.h"
#include "app/SpinEdit.h"
#include "app/TfmBingo.h"
#include "cards/CardGenerator.h"
#include "preview/PageView.h"
#include "preview/PreviewWindow.h"
#include "report/BandPainter.h"
#include "report/Fonts.h"
#include "report/ReportOutput.h"
#include "report/ReportPages.h"
#include "report/rpBingo.h"
#include "store/CardTable.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fstream>
#include <memory>
#include <string>

namespace {

using namespace bingo;

constexpr int LargestJobSheets = 9999;

/// Resident set size of this process in megabytes, from /proc.
double residentMegabytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0.0;
}

/// A card table in a scratch directory holding the cards of one job.
class FilledTable {
  public:
    explicit FilledTable(int sheets) : table_("tbTmp") {
        table_.setDirectory(dir_.path().toStdString());
        table_.setTableName("tmpBingo");
        cards::RandomSource random(20261211);
        bench::storeJob(table_, random, 50, sheets);
    }
    [[nodiscard]] store::CardTable& table() { return table_; }
    [[nodiscard]] QString path(const QString& name) const { return dir_.filePath(name); }

  private:
    QTemporaryDir dir_;
    store::CardTable table_;
};

/// What the program hands the report, less the machine's printers.
report::ReportContext benchContext() {
    return {
        [] { return QDateTime::currentDateTime(); }, QLocale::system(), {{}, [] { return false; }}};
}

/// Runs the event loop until done() holds; false when it took longer than the limit.
template <class Done> bool spinUntil(Done done, int limitMs = 60000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        if (timer.elapsed() > limitMs)
            return false;
    }
    return true;
}

/// Flags the first paint of the view's viewport after the image of page 1 is in the cache.
class FirstPageWatcher final : public QObject {
  public:
    explicit FirstPageWatcher(preview::PageView& view) : view_(view) {
        view.viewport()->installEventFilter(this);
    }
    bool painted = false;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && view_.cache().find(0) != nullptr) {
            // The paint runs after this filter returns; count it once it has been delivered.
            QMetaObject::invokeMethod(
                this, [this] { painted = true; }, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    preview::PageView& view_;
};

void PreviewOfLargestJob(benchmark::State& state) {
    FilledTable job(LargestJobSheets);
    for (auto _ : state) {
        const double rssBefore = residentMegabytes();
        report::Tqr1 qr1(job.table(), benchContext());
        QElapsedTimer timer;
        timer.start();
        qr1.Preview();
        preview::PreviewWindow* preview = qr1.previewWindow();
        if (!preview) {
            state.SkipWithError("no preview window");
            return;
        }
        FirstPageWatcher watcher(preview->view());
        if (!spinUntil([&] { return watcher.painted; })) {
            state.SkipWithError("page 1 was never painted");
            return;
        }
        const double firstPageMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        if (!spinUntil([&] { return preview->pages().isComplete(); })) {
            state.SkipWithError("the layout did not finish");
            return;
        }
        const double layoutMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        state.SetIterationTime(layoutMs / 1000.0);
        state.counters["first_page_ms"] = firstPageMs;
        state.counters["layout_ms"] = layoutMs;
        state.counters["pages"] = preview->pages().pageCount();
        state.counters["rss_after_MB"] = residentMegabytes();
        state.counters["rss_growth_MB"] = residentMegabytes() - rssBefore;
        qr1.closePreview();
    }
}
BENCHMARK(PreviewOfLargestJob)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// What the operator waits for: from the Print command on a table holding an earlier job of the
// same size to page 1 painted in the preview, through the real window and report.
void PrintCommandToFirstPage(benchmark::State& state) {
    FilledTable earlier(LargestJobSheets);
    const std::filesystem::path directory = earlier.table().directory();
    earlier.table().close();
    app::Session session(directory, [] { return cards::RandomSource(20261211); });
    bool failed = false;
    app::TfmBingo window(session, [&failed](const QString&) { failed = true; });
    report::Tqr1 qr1(session.table(), benchContext());
    window.setReport(&qr1);
    window.findChild<app::SpinEdit*>(QStringLiteral("se2"))->setValue(LargestJobSheets);
    auto* print = window.findChild<QAbstractButton*>(QStringLiteral("btnPrint"));
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        print->click();
        preview::PreviewWindow* preview = qr1.previewWindow();
        if (failed || !preview) {
            state.SkipWithError("the job failed");
            return;
        }
        const double jobMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        FirstPageWatcher watcher(preview->view());
        if (!spinUntil([&] { return watcher.painted; })) {
            state.SkipWithError("page 1 was never painted");
            return;
        }
        const double firstPageMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        state.SetIterationTime(firstPageMs / 1000.0);
        state.counters["job_ms"] = jobMs;
        state.counters["first_page_ms"] = firstPageMs;
        qr1.closePreview();
        QApplication::processEvents();
    }
}
BENCHMARK(PrintCommandToFirstPage)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

void SavePdfOfLargestJob(benchmark::State& state) {
    FilledTable job(LargestJobSheets);
    report::Tqr1 qr1(job.table(), benchContext());
    auto pages = qr1.createPages();
    pages->layOutAll();
    const QString file = job.path("Bingo.pdf");
    for (auto _ : state)
        report::ReportOutput(*pages).savePdf(file);
    state.counters["pages_per_s"] = benchmark::Counter(
        static_cast<double>(pages->pageCount()), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["size_MB"] = static_cast<double>(QFileInfo(file).size()) / (1024.0 * 1024.0);
}
BENCHMARK(SavePdfOfLargestJob)->Iterations(2)->Unit(benchmark::kMillisecond);

// The plain way: every text laid out anew as it is drawn.
void PlainDrawTextPdf(benchmark::State& state) {
    QTemporaryDir dir;
    const QString file = dir.filePath("plain.pdf");
    const int pageCount = static_cast<int>(state.range(0));
    const QFont numberFont("Arial", 26);
    const QFont captionFont(QStringLiteral("新細明體"), 12);
    const QFont serialFont("Arial", 10);
    const QFont stampFont("Arial", 8);
    for (auto _ : state) {
        QPdfWriter writer(file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(600);
        QPainter painter(&writer);
        const double mm = 600 / 25.4;
        painter.scale(mm, mm);
        painter.setPen(QPen(Qt::black, 0));
        painter.setBrush(Qt::white);
        int serial = 0;
        for (int page = 0; page < pageCount; ++page) {
            if (page > 0)
                writer.newPage();
            for (int band = 0; band < 6; ++band) {
                const QPointF origin(band < 3 ? 5.0 : 105.0, 5.0 + 95.2 * (band % 3));
                painter.drawRect(QRectF(origin + QPointF(9.26, 10.05), QSizeF(76.46, 76.46)));
                painter.setFont(numberFont);
                for (int k = 0; k < 25; ++k) {
                    const QPointF cell =
                        origin + QPointF(9.79 + 15.08 * (k % 5), 10.58 + 15.08 * (k / 5));
                    painter.drawRect(QRectF(cell, QSizeF(15.08, 15.08)));
                    painter.drawText(QRectF(cell + QPointF(1.59, 2.65), QSizeF(11.91, 11.91)),
                                     Qt::AlignHCenter | Qt::AlignTop,
                                     QString::number((serial + k) % 99 + 1));
                }
                ++serial;
                painter.setFont(captionFont);
                painter.drawText(origin + QPointF(10.58, 7.5), QStringLiteral("彩票號碼 :"));
                painter.setFont(serialFont);
                painter.drawText(origin + QPointF(30.43, 8.0),
                                 QString::number(serial + 10000).mid(1));
                painter.setFont(stampFont);
                painter.drawText(QRectF(origin + QPointF(60.0, 5.29), QSizeF(25.2, 4.5)),
                                 Qt::AlignRight | Qt::AlignTop, QStringLiteral("2026/12/11-12:00"));
            }
        }
    }
    state.counters["pages_per_s"] = benchmark::Counter(
        static_cast<double>(pageCount), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(PlainDrawTextPdf)->Arg(LargestJobSheets)->Iterations(1)->Unit(benchmark::kMillisecond);

// Qt's own preview, fed the same report through paintRequested: it renders every page up
// front before it shows any.
void QtPrintPreviewDialog(benchmark::State& state) {
    const int sheets = static_cast<int>(state.range(0));
    FilledTable job(sheets);
    report::Tqr1 qr1(job.table(), benchContext());
    for (auto _ : state) {
        const double rssBefore = residentMegabytes();
        auto pages = qr1.createPages();
        pages->layOutAll();
        QPrinter printer;
        QPrintPreviewDialog dialog(&printer);
        bool painted = false;
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, [&](QPrinter* target) {
            target->setFullPage(true);
            QPainter p(target);
            report::BandPainter painter(pages->sharedLayout());
            const QRectF paper = target->paperRect(QPrinter::DevicePixel);
            for (int page = 0; page < pages->pageCount(); ++page) {
                if (page > 0)
                    target->newPage();
                p.save();
                report::BandPainter::setUpPainter(p, paper.width() / 210.0, paper.height() / 297.0);
                pages->paintPage(p, page, painter);
                p.restore();
            }
            painted = true;
        });
        QElapsedTimer timer;
        timer.start();
        dialog.show();
        spinUntil([&] { return painted; });
        QApplication::processEvents();
        const double shownMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        state.SetIterationTime(shownMs / 1000.0);
        state.counters["first_page_ms"] = shownMs;
        state.counters["rss_growth_MB"] = residentMegabytes() - rssBefore;
        dialog.close();
    }
}
BENCHMARK(QtPrintPreviewDialog)
    ->Arg(100)
    ->Arg(1000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    report::registerFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
