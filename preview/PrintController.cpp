#include "preview/PrintController.h"

#include "preview/PageSource.h"
#include "preview/PageView.h"

#include <QPrinter>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>
#include <algorithm>

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
    {
        const PrintingScope scope(printing_, view_);
        QProgressDialog progress(tr("正在列印「%1」……").arg(what), tr("取消"), 0,
                                 std::max(1, pages.pageCount()), &window_);
        progress.setWindowTitle(window_.windowTitle());
        // Nothing else may touch the pages or the card table while they print.
        progress.setWindowModality(Qt::ApplicationModal);
        progress.setMinimumDuration(0);
        progress.setAutoReset(false);
        progress.setValue(0);
        printed = runCommand(reportError_, [&] {
            pages.print(printer, [&](int done, int total) {
                progress.setMaximum(total);
                progress.setValue(done);
                cancelled = progress.wasCanceled() || closeWhenDone_;
                return !cancelled;
            });
        });
    }
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
