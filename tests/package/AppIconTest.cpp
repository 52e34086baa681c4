#include "AppIcon.h"

#include <QFile>
#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

namespace {

class AppIconSize : public testing::TestWithParam<int> {};

// Each size is its own drawing, not a scaled neighbour: exact dimensions, something opaque on it,
// and corners left transparent so it sits on any panel colour.
TEST_P(AppIconSize, ResourceHoldsADrawingOfExactlyThatSize) {
    const int size = GetParam();
    const QString path = QStringLiteral(":/icons/bingo-%1.png").arg(size);
    ASSERT_TRUE(QFile::exists(path)) << path.toStdString();

    const QImage image(path);
    ASSERT_FALSE(image.isNull()) << path.toStdString();
    EXPECT_EQ(image.size(), QSize(size, size));
    EXPECT_TRUE(image.hasAlphaChannel());
    EXPECT_EQ(qAlpha(image.pixel(size - 1, 0)), 0) << "top right corner is not transparent";

    int opaque = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            opaque += qAlpha(image.pixel(x, y)) == 255 ? 1 : 0;
        }
    }
    EXPECT_GT(opaque, size * size / 2);
}

// The icon picks the drawing made for a size instead of scaling the largest one down.
TEST_P(AppIconSize, ApplicationIconServesTheDrawingForThatSize) {
    const int size = GetParam();
    const QIcon icon = bingo::packaging::applicationIcon();
    EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size)));

    const QImage fromIcon = icon.pixmap(QSize(size, size))
                                .toImage()
                                .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage drawing = QImage(QStringLiteral(":/icons/bingo-%1.png").arg(size))
                               .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(fromIcon, drawing);
}

INSTANTIATE_TEST_SUITE_P(Sizes, AppIconSize, testing::Values(16, 32, 48, 64, 128, 256));

} // namespace
