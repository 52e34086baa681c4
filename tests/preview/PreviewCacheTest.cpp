#include "preview/PageImageCache.h"

#include <gtest/gtest.h>
#include <vector>

namespace bingo::preview {
namespace {

QImage pageImage() {
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

std::vector<int> kept(const PageImageCache& cache, int pages) {
    std::vector<int> result;
    for (int page = 0; page < pages; ++page) {
        if (cache.find(page))
            result.push_back(page);
    }
    return result;
}

constexpr qint64 PageBytes = 100 * 100 * 4;

TEST(PreviewCacheTest, EvictsThePagesFarthestFromTheView) {
    PageImageCache cache(4 * PageBytes);
    for (int page = 0; page < 10; ++page) {
        cache.insert(page, pageImage(), page, page);
        EXPECT_LE(cache.bytes(), cache.limitBytes());
    }
    EXPECT_EQ(kept(cache, 10), (std::vector<int>{6, 7, 8, 9}));
    // Back to the start: the pages at the far end go first.
    cache.insert(2, pageImage(), 2, 3);
    EXPECT_EQ(kept(cache, 10), (std::vector<int>{2, 6, 7, 8}));
    cache.insert(4, pageImage(), 4, 4);
    EXPECT_EQ(kept(cache, 10), (std::vector<int>{2, 4, 6, 7}));
}

TEST(PreviewCacheTest, NeverEvictsThePagesInView) {
    PageImageCache cache(2 * PageBytes);
    for (int page = 0; page < 5; ++page)
        cache.insert(page, pageImage(), 0, 4);
    EXPECT_EQ(kept(cache, 5), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(cache.bytes(), 5 * PageBytes);
    cache.insert(4, pageImage(), 4, 4);
    EXPECT_EQ(kept(cache, 5), (std::vector<int>{3, 4}));
}

TEST(PreviewCacheTest, ChangedOrResizedPagesAreNotFreshButStillShown) {
    PageImageCache cache;
    for (int page = 0; page < 4; ++page)
        cache.insert(page, pageImage(), 0, 3);
    cache.markChangedFrom(2);
    EXPECT_TRUE(cache.isFresh(1, QSize(100, 100)));
    EXPECT_FALSE(cache.isFresh(1, QSize(120, 120)));
    EXPECT_FALSE(cache.isFresh(2, QSize(100, 100)));
    EXPECT_NE(cache.find(2), nullptr);
    cache.insert(2, pageImage(), 0, 3);
    EXPECT_TRUE(cache.isFresh(2, QSize(100, 100)));
    EXPECT_EQ(cache.bytes(), 4 * PageBytes);
}

} // namespace
} // namespace bingo::preview
