#pragma once

#include "preview/PageImageCache.h"

#include <QAbstractScrollArea>
#include <QTimer>
#include <utility>
#include <vector>

namespace bingo::preview {

class PageSource;

/// Shows the pages of a PageSource stacked top to bottom on grey, centred across, and renders
/// only the pages in view (one per turn of the event loop) into a cache bounded in bytes.
class PageView : public QAbstractScrollArea {
    Q_OBJECT
  public:
    enum class ZoomMode { Fixed, FitPage, FitWidth };
    static constexpr double MinZoom = 0.1;
    static constexpr double MaxZoom = 4.0;
    /// The factor of one zoom step: a notch of the wheel with Ctrl held, or a zoom key.
    static constexpr double ZoomStep = 1.2;
    /// Grey between the pages and around them, in pixels.
    static constexpr int Gap = 12;

    explicit PageView(QWidget* parent = nullptr);
    ~PageView() override;
    Q_DISABLE_COPY_MOVE(PageView)

    /// Shows source from its first page, keeping the zoom; the source is not owned and must
    /// outlive the view or be replaced first (nullptr shows nothing).
    void setSource(PageSource* source);
    [[nodiscard]] PageSource* source() const { return source_; }
    [[nodiscard]] int pageCount() const { return static_cast<int>(tops_.size()); }

    /// The current page, from 0; 0 when there are no pages.
    [[nodiscard]] int currentPage() const { return current_; }
    /// Makes page (clamped to the pages there are) current and scrolls its top into view.
    void goToPage(int page);

    /// 1.0 shows pages at their real size, from the screen's logical dots per inch.
    [[nodiscard]] double zoom() const { return zoom_; }
    [[nodiscard]] ZoomMode zoomMode() const { return mode_; }
    /// A fixed zoom, clamped to [MinZoom, MaxZoom], around the middle of the view, or around
    /// the current page's top where the middle is off that page; the current page stays current.
    void setZoom(double zoom);
    /// Multiplies the zoom by ZoomStep per step (negative steps zoom out), as setZoom does.
    void zoomBy(int steps);
    /// FitPage shows the current page whole, FitWidth its full width, both with that page's top
    /// at the top of the view; both follow resizing.
    void setZoomMode(ZoomMode mode);

    /// The page's rectangle in content coordinates, in pixels; scrolling moves the viewport
    /// over these (the content's top-left is at scroll position 0, 0).
    [[nodiscard]] QRect pageRect(int page) const;
    /// First and last page the viewport shows, or (0, -1) when it shows none.
    [[nodiscard]] std::pair<int, int> visiblePages() const;
    /// True while a page in view waits for its image.
    [[nodiscard]] bool isRenderPending() const;
    /// While paused no page is rendered (the pages show what the cache holds); resuming
    /// renders what waits.
    void setRenderingPaused(bool paused);

    [[nodiscard]] const PageImageCache& cache() const { return cache_; }
    /// Replaces the cache's byte bound; drops the images kept so far.
    void setCacheLimit(qint64 bytes);

  Q_SIGNALS:
    void currentPageChanged(int page);
    /// The source has more pages, or its progress changed; the view has laid them out.
    void pagesChanged();
    /// The zoom or its mode changed.
    void zoomChanged(double zoom);
    /// Rendering a page failed; it shows blank, and is not tried again until it is re-laid.
    void renderFailed(const QString& message);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void onPagesChanged();
    void layoutPages(int from);
    void updateScrollBars();
    void applyFitZoom();
    [[nodiscard]] double fitZoom() const;
    /// Leaves the fit modes and zooms around anchor; tells when either changed.
    void setFixedZoom(double zoom, QPoint anchor);
    /// Returns whether the zoom changed, and says so when it did.
    bool zoomAround(double zoom, QPoint anchor);
    /// The viewport point a zoom keeps in place: the middle, on the current page.
    [[nodiscard]] QPoint zoomAnchor() const;
    [[nodiscard]] QSize pagePixels(int page) const;
    [[nodiscard]] QSize renderSize(int page) const;
    /// Content coordinates of the viewport's top-left corner.
    [[nodiscard]] QPoint scrollOffset() const;
    [[nodiscard]] int pageAt(int y) const;
    [[nodiscard]] int firstStalePage() const;
    void followScroll();
    void setCurrent(int page);
    void scheduleRender();
    void renderNext();

    PageSource* source_ = nullptr;
    std::vector<int> tops_;
    std::vector<QSize> sizes_;
    int contentWidth_ = 0;
    int contentHeight_ = 0;
    int current_ = 0;
    double zoom_ = 1.0;
    ZoomMode mode_ = ZoomMode::Fixed;
    bool scrollingToPage_ = false;
    PageImageCache cache_;
    QTimer renderTimer_;
    bool renderingPaused_ = false;
};

} // namespace bingo::preview
