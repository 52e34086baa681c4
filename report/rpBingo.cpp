#include "report/rpBingo.h"

#include "preview/PreviewWindow.h"
#include "report/ReportPages.h"

namespace bingo::report {

Tqr1::Tqr1(store::CardTable& tbTmp, QObject* parent)
    : QObject(parent), records_(tbTmp), layout_(loadCardSheetLayout()),
      clock_([] { return QDateTime::currentDateTime(); }), stampFormat_(QLocale::system()) {}

Tqr1::~Tqr1() {
    if (pages_)
        pages_->cancel();
    // The window owns itself (it deletes itself when closed); only a report ending first,
    // whose handlers its pages would call, deletes it outright.
    delete preview_.data();
}

void Tqr1::setClock(Clock clock) {
    clock_ = std::move(clock);
}

void Tqr1::setLocale(const QLocale& locale) {
    stampFormat_ = TimeStampFormat(locale);
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
    std::unique_ptr<ReportPages> pages = createPages();
    pages->start();
    ReportPages* laidOut = pages.get();
    // Top-level and parentless, as the preview is a window of its own; it deletes itself on
    // closing, pages included.
    auto* window = new preview::PreviewWindow(std::move(pages), nullptr);
    preview_ = window;
    pages_ = laidOut;
    window->setWindowTitle(layout_->title);
    window->showMaximized();
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
    return isPreviewOpen() ? preview_.data() : nullptr;
}

void Tqr1::QRDBText26Print(QObject*, QString& Value) const {
    Value = serialText(Value);
}

void Tqr1::QRSysData1Print(QObject*, QString& Value) const {
    Value = stampFormat_.format(clock_());
}

} // namespace bingo::report
