#pragma once

#include <QImage>
#include <QSize>
#include <iterator>
#include <map>

namespace bingo::preview {

/// Rendered page images, bounded in bytes: past the bound the pages farthest from the view go
/// first. The pages in view are never evicted, so only they can push the total past the bound.
class PageImageCache {
  public:
    /// About fourteen A4 pages at 100 % on a 96 dpi screen.
    static constexpr qint64 DefaultLimitBytes = 50LL * 1024 * 1024;

    explicit PageImageCache(qint64 limitBytes = DefaultLimitBytes);

    /// The image kept for page, up to date or not, or nullptr.
    [[nodiscard]] const QImage* find(int page) const;
    /// True when page has an image of pixelSize rendered since it last changed.
    [[nodiscard]] bool isFresh(int page, QSize pixelSize) const;

    /// Keeps image for page, then evicts pages outside [firstKept, lastKept] (the view)
    /// until the total fits the bound again, farthest from the view first.
    void insert(int page, QImage image, int firstKept, int lastKept);
    /// Pages from page on have changed: their images are kept to show until re-rendered.
    void markChangedFrom(int page);
    void clear();

    [[nodiscard]] qint64 bytes() const { return bytes_; }
    [[nodiscard]] qint64 limitBytes() const { return limit_; }
    [[nodiscard]] int size() const { return static_cast<int>(entries_.size()); }

  private:
    struct Entry {
        QImage image;
        bool changed = false;
    };

    void evict(int firstKept, int lastKept);

    std::map<int, Entry> entries_;
    qint64 bytes_ = 0;
    qint64 limit_;
};

} // namespace bingo::preview
