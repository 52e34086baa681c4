#include "preview/PrintController.h"

#include "preview/PageSource.h"
#include "preview/PageView.h"
#include "preview/PreviewMessages.h"
#include "preview/PrintPlan.h"
#include "preview/PrintSubmission.h"

#include <QPrinter>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <optional>
#include <stdexcept>

namespace bingo::preview {

namespace {

// Marks a print in progress for its whole length, however it ends: the view renders again
// and a close asked for meanwhile happens.
class PrintingScope {
  public:
    PrintingScope(bool& printing, PageView& view) : printing_(printing), view_(view) {
        printing_ = true;
        view_.setRenderingPaused(true);
    }
    ~PrintingScope() {
        printing_ = false;
        view_.setRenderingPaused(false);
    }
    PrintingScope(const PrintingScope&) = delete;
    PrintingScope& operator=(const PrintingScope&) = delete;

  private:
    bool& printing_;
    PageView& view_;
};

} // namespace

PrintController::PrintController(QWidget& window, PageView& view, ErrorReporter reportError)
    : QObject(&window), window_(window), view_(view), reportError_(std::move(reportError)) {}

PrintController::~PrintController() = default;

PrintController::Outcome PrintController::print(PageSource& pages, QPrinter& printer,
                                                const QString& what) {
    if (printing_)
        return Outcome::Refused;
    bool cancelled = false;
    bool printed = false;
    QString failure;
    {
        const PrintingScope scope(printing_, view_);
        QProgressDialog progress(tr("正在列印「%1」……").arg(what), tr("取消"), 0, 1, &window_);
        progress.setWindowTitle(window_.windowTitle());
        // Nothing else may touch the pages or the card table while they print.
        progress.setWindowModality(Qt::ApplicationModal);
        progress.setMinimumDuration(0);
        progress.setAutoReset(false);
        progress.setValue(0);
        const auto stillWanted = [&] {
            cancelled = cancelled || progress.wasCanceled() || closeWhenDone_;
            return !cancelled;
        };
        // Kept until the progress window has gone, so that the error box stands alone.
        const ErrorReporter keepFailure = [&failure](const QString& message) { failure = message; };
        printed = runCommand(keepFailure, [&] {
            const PrintPlan plan = planPrint(printer, pages.pageCount(), view_.currentPage());
            // The pages go to a file of our own first and reach the printer only whole, so a
            // print that fails or is cancelled sends nothing.
            QTemporaryDir scratch;
            if (!scratch.isValid())
                throw std::runtime_error(
                    messages::noPrintFolder(scratch.errorString()).toStdString());
            const QString pdf = scratch.filePath(QStringLiteral("print.pdf"));
            // The hand-over counts as one more step than the pages.
            const std::optional<PdfPages> holds =
                pages.writePrintPdf(plan, pdf, [&](int done, int total) {
                    progress.setMaximum(total + 1);
                    progress.setValue(done);
                    return stillWanted();
                });
            if (!holds || !stillWanted())
                return;
            progress.setLabelText(tr("正在把「%1」送往印表機……").arg(what));
            submitPdf(pdf, *holds, plan, [&](qint64, qint64) { return stillWanted(); });
            progress.setValue(progress.maximum());
        });
    }
    if (!printed && !failure.isEmpty() && reportError_)
        reportError_(failure);
    if (closeWhenDone_) {
        closeWhenDone_ = false;
        QTimer::singleShot(0, &window_, &QWidget::close);
    }
    if (!printed)
        return Outcome::Failed;
    return cancelled ? Outcome::Cancelled : Outcome::Printed;
}

void PrintController::closeWhenDone() {
    if (printing_)
        closeWhenDone_ = true;
}

} // namespace bingo::preview
