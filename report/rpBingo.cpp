#include "report/rpBingo.h"

#include "report/JobMetadata.h"
#include "report/ReportOutput.h"
#include "report/ReportPages.h"

#include <QDateTime>

namespace bingo::report {

// The report's pages as the preview sees them: the layout shown, saved and printed through
// ReportOutput.
class Tqr1::PreviewPages final : public preview::PageSource {
  public:
    explicit PreviewPages(std::unique_ptr<ReportPages> pages)
        : pages_(std::move(pages)), output_(*pages_) {
        connect(pages_.get(), &ReportPages::pagesChanged, this, &PageSource::pagesChanged);
        connect(pages_.get(), &ReportPages::completed, this, &PageSource::completed);
        connect(pages_.get(), &ReportPages::failed, this, &PageSource::failed);
    }
    ~PreviewPages() override = default;
    Q_DISABLE_COPY_MOVE(PreviewPages)

    [[nodiscard]] ReportPages& pages() const { return *pages_; }
    [[nodiscard]] ReportOutput& output() { return output_; }

    [[nodiscard]] int pageCount() const override { return pages_->pageCount(); }
    [[nodiscard]] QSizeF pageSizeMm(int page) const override { return pages_->pageSizeMm(page); }
    [[nodiscard]] QImage renderPage(int page, QSize pixelSize) const override {
        return pages_->renderPage(page, pixelSize);
    }
    [[nodiscard]] bool isComplete() const override { return pages_->isComplete(); }
    [[nodiscard]] int progressPercent() const override { return pages_->progressPercent(); }
    [[nodiscard]] QString failure() const override { return pages_->failure(); }
    void savePdf(const QString& path) const override { output_.savePdf(path); }
    [[nodiscard]] std::optional<preview::PdfPages>
    writePrintPdf(const preview::PrintPlan& plan, const QString& path,
                  const PrintProgress& progress) override {
        return output_.writePrintPdf(plan, path, progress);
    }

  private:
    std::unique_ptr<ReportPages> pages_;
    ReportOutput output_;
};

Tqr1::Tqr1(const store::CardTable& tbTmp, ReportContext context, QObject* parent)
    : QObject(parent), records_(tbTmp), layout_(loadCardSheetLayout()),
      clock_(std::move(context.clock)), stampFormat_(context.locale),
      previewContext_(std::move(context.preview)) {}

Tqr1::~Tqr1() {
    if (pages_)
        pages_->cancel();
    // Deleted now, not later: its pages call this report's handlers.
    preview_.reset();
}

void Tqr1::setClock(Clock clock) {
    clock_ = std::move(clock);
}

void Tqr1::setLocale(const QLocale& locale) {
    stampFormat_ = TimeStampFormat(locale);
}

void Tqr1::setJob(const std::optional<cards::JobStamp>& job) {
    pdfMetadata_ = job ? jobXmpMetadata(*job) : QByteArray();
}

std::unique_ptr<ReportPages> Tqr1::createPages() {
    PrintHandlers handlers;
    handlers.insert(QStringLiteral("QRDBText26Print"),
                    [this](QString& value) { QRDBText26Print(nullptr, value); });
    handlers.insert(QStringLiteral("QRSysData1Print"),
                    [this](QString& value) { QRSysData1Print(nullptr, value); });
    return std::make_unique<ReportPages>(layout_, records_, std::move(handlers));
}

void Tqr1::Preview() {
    if (isLayoutInProgress())
        return;
    closePreview();
    auto source = std::make_unique<PreviewPages>(createPages());
    source->output().setPdfMetadata(pdfMetadata_);
    ReportPages& pages = source->pages();
    pages.start();
    // Top-level, as the preview is a window of its own.
    auto window = std::make_unique<preview::PreviewWindow>(std::move(source), previewContext_);
    connect(window.get(), &preview::PreviewWindow::closed, this, &Tqr1::previewClosed);
    // A loaded PDF replaces the report's pages, which are gone with it.
    connect(window.get(), &preview::PreviewWindow::pagesReplaced, this, [this] {
        if (pages_)
            pages_->cancel();
        pages_ = nullptr;
    });
    pages_ = &pages;
    preview_ = std::move(window);
    preview_->setWindowTitle(layout_->title);
    preview_->showMaximized();
}

void Tqr1::previewClosed() {
    if (pages_)
        pages_->cancel();
    pages_ = nullptr;
    // closed() comes from inside the window's own close handling: delete it once that is over.
    if (preview_)
        preview_.release()->deleteLater();
}

void Tqr1::closePreview() {
    // Cancelled at once, not when the window is deleted later, so that the table is free now.
    if (pages_)
        pages_->cancel();
    if (preview_)
        preview_->close();
}

bool Tqr1::isPreviewOpen() const {
    return preview_ && preview_->isVisible();
}

bool Tqr1::isLayoutInProgress() const {
    return pages_ && pages_->isLayingOut();
}

preview::PreviewWindow* Tqr1::previewWindow() const {
    return isPreviewOpen() ? preview_.get() : nullptr;
}

void Tqr1::QRDBText26Print(QObject*, QString& Value) const {
    Value = serialText(Value);
}

void Tqr1::QRSysData1Print(QObject*, QString& Value) const {
    Value = stampFormat_.format(clock_());
}

} // namespace bingo::report
