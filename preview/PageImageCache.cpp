#include "preview/PageImageCache.h"

#include <iterator>
#include <utility>

namespace bingo::preview {

PageImageCache::PageImageCache(qint64 limitBytes) : limit_(limitBytes) {}

const QImage* PageImageCache::find(int page) const {
    const auto it = entries_.find(page);
    return it == entries_.end() ? nullptr : &it->second.image;
}

bool PageImageCache::isFresh(int page, QSize pixelSize) const {
    const auto it = entries_.find(page);
    return it != entries_.end() && !it->second.changed && it->second.image.size() == pixelSize;
}

void PageImageCache::insert(int page, QImage image, int firstKept, int lastKept) {
    auto& entry = entries_[page];
    bytes_ -= entry.image.sizeInBytes();
    entry.image = std::move(image);
    entry.changed = false;
    bytes_ += entry.image.sizeInBytes();
    evict(firstKept, lastKept);
}

void PageImageCache::markChangedFrom(int page) {
    for (auto it = entries_.lower_bound(page); it != entries_.end(); ++it)
        it->second.changed = true;
}

void PageImageCache::clear() {
    entries_.clear();
    bytes_ = 0;
}

void PageImageCache::evict(int firstKept, int lastKept) {
    // The map is ordered by page, so the farthest page is at one end or the other.
    while (bytes_ > limit_ && !entries_.empty()) {
        const auto front = entries_.begin();
        const auto back = std::prev(entries_.end());
        const int frontDistance = firstKept - front->first;
        const int backDistance = back->first - lastKept;
        if (frontDistance <= 0 && backDistance <= 0)
            break;
        const auto victim = frontDistance >= backDistance ? front : back;
        bytes_ -= victim->second.image.sizeInBytes();
        entries_.erase(victim);
    }
}

} // namespace bingo::preview
