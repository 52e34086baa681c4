#include "preview/PageView.h"

#include "preview/PageSource.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <utility>

namespace bingo::preview {

namespace {

constexpr double MmPerInch = 25.4;

const QColor Background(0x80, 0x80, 0x80);
const QColor PageEdge(0x40, 0x40, 0x40);

QImage blankPage(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

PageView::PageView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    // Always there, so that fitting the width cannot make it appear and spoil the fit.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    renderTimer_.setSingleShot(true);
    renderTimer_.setInterval(0);
    connect(&renderTimer_, &QTimer::timeout, this, &PageView::renderNext);
}

PageView::~PageView() = default;

void PageView::setSource(PageSource* source) {
    if (source_)
        disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    cache_.clear();
    tops_.clear();
    sizes_.clear();
    current_ = 0;
    if (source_) {
        connect(source_, &PageSource::pagesChanged, this, &PageView::onPagesChanged);
        connect(source_, &PageSource::completed, this, &PageView::onPagesChanged);
    }
    layoutPages(0);
    applyFitZoom();
    goToPage(0);
    viewport()->update();
    Q_EMIT currentPageChanged(current_);
}

void PageView::goToPage(int page) {
    if (tops_.empty()) {
        setCurrent(0);
        return;
    }
    page = std::clamp(page, 0, pageCount() - 1);
    {
        const QScopedValueRollback guard(scrollingToPage_, true);
        verticalScrollBar()->setValue(tops_[page] - Gap);
    }
    setCurrent(page);
    scheduleRender();
}

void PageView::setZoom(double zoom) {
    setFixedZoom(zoom, zoomAnchor());
}

void PageView::zoomBy(int steps) {
    setZoom(zoom_ * std::pow(ZoomStep, steps));
}

void PageView::setZoomMode(ZoomMode mode) {
    const bool modeChanged = std::exchange(mode_, mode) != mode;
    bool zoomChangedToo = false;
    if (mode != ZoomMode::Fixed && !tops_.empty()) {
        zoomChangedToo = zoomAround(fitZoom(), zoomAnchor());
        // Whatever the zoom kept in place, the reader of a fitted page starts at its top.
        goToPage(current_);
    }
    if (modeChanged && !zoomChangedToo)
        Q_EMIT zoomChanged(zoom_);
}

QRect PageView::pageRect(int page) const {
    if (page < 0 || page >= pageCount())
        return {};
    const QSize size = sizes_[page];
    const int x = (std::max(contentWidth_, viewport()->width()) - size.width()) / 2;
    return {QPoint(x, tops_[page]), size};
}

std::pair<int, int> PageView::visiblePages() const {
    if (tops_.empty())
        return {0, -1};
    const int top = verticalScrollBar()->value();
    const int bottom = top + viewport()->height() - 1;
    int first = pageAt(top);
    if (tops_[first] + sizes_[first].height() <= top)
        ++first; // the top of the view is in the gap below that page
    int last = pageAt(bottom);
    if (tops_[last] > bottom)
        --last; // the view ends above the first page
    if (first >= pageCount() || first > last)
        return {0, -1};
    return {first, last};
}

bool PageView::isRenderPending() const {
    return firstStalePage() >= 0;
}

void PageView::setCacheLimit(qint64 bytes) {
    cache_ = PageImageCache(bytes);
    viewport()->update();
    scheduleRender();
}

void PageView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), Background);
    const auto [first, last] = visiblePages();
    const QPoint scroll = scrollOffset();
    for (int page = first; page <= last; ++page) {
        const QRect rect = pageRect(page).translated(-scroll);
        if (!rect.adjusted(-1, -1, 1, 1).intersects(event->rect()))
            continue;
        // A page still waiting for its image shows white, or its last image scaled.
        if (const QImage* image = cache_.find(page))
            painter.drawImage(QRectF(rect), *image);
        else
            painter.fillRect(rect, Qt::white);
        painter.setPen(PageEdge);
        painter.drawRect(rect.adjusted(-1, -1, 0, 0));
    }
    scheduleRender();
}

void PageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    applyFitZoom();
    scheduleRender();
}

void PageView::scrollContentsBy(int dx, int dy) {
    viewport()->scroll(dx, dy);
    if (!scrollingToPage_)
        followScroll();
    scheduleRender();
}

void PageView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    event->accept();
    const int delta = event->angleDelta().y();
    if (delta == 0)
        return;
    setFixedZoom(zoom_ * std::pow(ZoomStep, delta / 120.0), event->position().toPoint());
}

void PageView::onPagesChanged() {
    const int before = pageCount();
    const int now = source_->pageCount();
    if (now < before) {
        cache_.clear();
        layoutPages(0);
    } else {
        layoutPages(before);
    }
    // The page that was last may have grown since it was rendered.
    cache_.markChangedFrom(std::max(0, before - 1));
    if (before == 0)
        applyFitZoom();
    if (current_ >= std::max(1, now))
        setCurrent(std::max(0, now - 1));
    viewport()->update();
    scheduleRender();
    Q_EMIT pagesChanged();
}

void PageView::layoutPages(int from) {
    const int count = source_ ? source_->pageCount() : 0;
    if (from > count || from > pageCount())
        from = 0;
    tops_.resize(static_cast<std::size_t>(count));
    sizes_.resize(static_cast<std::size_t>(count));
    int y = Gap;
    if (from > 0)
        y = tops_[from - 1] + sizes_[from - 1].height() + Gap;
    else
        contentWidth_ = 0;
    for (int page = from; page < count; ++page) {
        sizes_[page] = pagePixels(page);
        tops_[page] = y;
        y += sizes_[page].height() + Gap;
        contentWidth_ = std::max(contentWidth_, sizes_[page].width() + 2 * Gap);
    }
    contentHeight_ = count > 0 ? y : 0;
    updateScrollBars();
}

void PageView::updateScrollBars() {
    // Clamping the scroll position here is not the reader moving through the pages.
    const QScopedValueRollback guard(scrollingToPage_, true);
    const QSize view = viewport()->size();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, std::max(0, contentHeight_ - view.height()));
    vertical->setPageStep(view.height());
    vertical->setSingleStep(std::max(20, view.height() / 20));
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, std::max(0, contentWidth_ - view.width()));
    horizontal->setPageStep(view.width());
    horizontal->setSingleStep(std::max(20, view.width() / 20));
}

void PageView::applyFitZoom() {
    if (mode_ == ZoomMode::Fixed || tops_.empty())
        return;
    zoomAround(fitZoom(), zoomAnchor());
    if (mode_ == ZoomMode::FitPage)
        goToPage(current_);
}

double PageView::fitZoom() const {
    const QSizeF mm = source_->pageSizeMm(current_);
    const QSize view = viewport()->size();
    // Half a pixel less, so that rounding the page's size cannot overflow the view.
    const double width = (view.width() - 2 * Gap - 0.5) / (mm.width() * logicalDpiX() / MmPerInch);
    if (mode_ == ZoomMode::FitWidth)
        return width;
    const double height =
        (view.height() - 2 * Gap - 0.5) / (mm.height() * logicalDpiY() / MmPerInch);
    return std::min(width, height);
}

void PageView::setFixedZoom(double zoom, QPoint anchor) {
    const bool modeChanged = std::exchange(mode_, ZoomMode::Fixed) != ZoomMode::Fixed;
    if (!zoomAround(zoom, anchor) && modeChanged)
        Q_EMIT zoomChanged(zoom_);
}

bool PageView::zoomAround(double zoom, QPoint anchor) {
    zoom = std::clamp(zoom, MinZoom, MaxZoom);
    if (zoom == zoom_)
        return false;
    if (tops_.empty()) {
        zoom_ = zoom;
        Q_EMIT zoomChanged(zoom_);
        return true;
    }
    // Keep the point of the page under the anchor where it is.
    const QPoint content = anchor + scrollOffset();
    const int page = pageAt(content.y());
    const QRect before = pageRect(page);
    const double fx = double(content.x() - before.x()) / before.width();
    const double fy = double(content.y() - before.y()) / before.height();
    zoom_ = zoom;
    layoutPages(0);
    const QRect after = pageRect(page);
    {
        const QScopedValueRollback guard(scrollingToPage_, true);
        horizontalScrollBar()->setValue(qRound(after.x() + fx * after.width()) - anchor.x());
        verticalScrollBar()->setValue(qRound(after.y() + fy * after.height()) - anchor.y());
    }
    viewport()->update();
    scheduleRender();
    Q_EMIT zoomChanged(zoom_);
    return true;
}

QPoint PageView::zoomAnchor() const {
    const QPoint middle = viewport()->rect().center();
    if (tops_.empty())
        return middle;
    const QRect page = pageRect(current_).translated(-scrollOffset());
    if (middle.y() >= page.top() && middle.y() <= page.bottom())
        return middle;
    // A short page, or one scrolled mostly out: keep its visible top still, so that it stays
    // in view and current rather than the page under the middle taking its place.
    return {middle.x(), std::max(page.top(), 0)};
}

QSize PageView::pagePixels(int page) const {
    const QSizeF mm = source_->pageSizeMm(page);
    return {std::max(1, qRound(mm.width() * logicalDpiX() / MmPerInch * zoom_)),
            std::max(1, qRound(mm.height() * logicalDpiY() / MmPerInch * zoom_))};
}

QSize PageView::renderSize(int page) const {
    return (QSizeF(sizes_[page]) * viewport()->devicePixelRatioF()).toSize();
}

QPoint PageView::scrollOffset() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

int PageView::pageAt(int y) const {
    const auto after = std::upper_bound(tops_.begin(), tops_.end(), y);
    return after == tops_.begin() ? 0 : static_cast<int>(after - tops_.begin()) - 1;
}

int PageView::firstStalePage() const {
    if (!source_)
        return -1;
    const auto [first, last] = visiblePages();
    if (current_ >= first && current_ <= last && !cache_.isFresh(current_, renderSize(current_)))
        return current_;
    for (int page = first; page <= last; ++page) {
        if (!cache_.isFresh(page, renderSize(page)))
            return page;
    }
    return -1;
}

void PageView::followScroll() {
    if (tops_.empty())
        return;
    const QScrollBar* vertical = verticalScrollBar();
    if (vertical->value() == vertical->minimum())
        setCurrent(0);
    else if (vertical->value() == vertical->maximum())
        setCurrent(pageCount() - 1);
    else
        setCurrent(pageAt(vertical->value() + viewport()->height() / 2));
}

void PageView::setCurrent(int page) {
    if (page == current_)
        return;
    current_ = page;
    Q_EMIT currentPageChanged(current_);
}

void PageView::setRenderingPaused(bool paused) {
    renderingPaused_ = paused;
    if (paused)
        renderTimer_.stop();
    else
        scheduleRender();
}

void PageView::scheduleRender() {
    if (!renderingPaused_ && !renderTimer_.isActive() && isRenderPending())
        renderTimer_.start();
}

void PageView::renderNext() {
    const int page = firstStalePage();
    if (page < 0)
        return;
    const auto [first, last] = visiblePages();
    const QSize size = renderSize(page);
    const qreal ratio = viewport()->devicePixelRatioF();
    QImage image;
    try {
        image = source_->renderPage(page, size);
    } catch (const std::exception& error) {
        // Keep a blank page, so that the failure is reported once and not on every repaint.
        QImage blank = blankPage(size);
        blank.setDevicePixelRatio(ratio);
        cache_.insert(page, std::move(blank), first, last);
        viewport()->update();
        Q_EMIT renderFailed(QString::fromUtf8(error.what()));
        return;
    }
    if (image.isNull())
        image = blankPage(size);
    else if (image.size() != size)
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(ratio);
    cache_.insert(page, std::move(image), first, last);
    const QPoint scroll = scrollOffset();
    viewport()->update(pageRect(page).translated(-scroll));
    scheduleRender();
}

} // namespace bingo::preview
