#include "report/BandPainter.h"

#include "ReportTestSupport.h"
#include "report/ReportPages.h"

#include <QFontInfo>
#include <QPainter>
#include <gtest/gtest.h>

namespace bingo::report {
namespace {

using test::FakeRecords;

constexpr int PixelsPerMm = 10;

// The ink of an image region: the rectangle of its non-white pixels, in millimetres.
QRectF inkMm(const QImage& image, const QRectF& areaMm) {
    const QRect area(QPoint(static_cast<int>(areaMm.left() * PixelsPerMm),
                            static_cast<int>(areaMm.top() * PixelsPerMm)),
                     QPoint(static_cast<int>(areaMm.right() * PixelsPerMm),
                            static_cast<int>(areaMm.bottom() * PixelsPerMm)));
    int left = area.right(), top = area.bottom(), right = area.left(), bottom = area.top();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (right < left)
        return {};
    return QRectF(QPointF(left, top) / PixelsPerMm, QPointF(right + 1, bottom + 1) / PixelsPerMm);
}

class BandPainterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        records.rows.push_back(FakeRecords::card(1));
        auto& row = records.rows[0];
        row[1] = "7";         // one digit, top-left cell
        row[2] = "88";        // two digits, its neighbour
        row[25] = "12345678"; // wider than its box: cut at the box's edges
        pages = std::make_unique<ReportPages>(test::cardLayout(), records, marks.handlers());
        pages->layOutAll();
        image = pages->renderPage(0, QSize(210 * PixelsPerMm, 297 * PixelsPerMm));
        if (const QByteArray dir = qgetenv("BINGO_TEST_OUTPUT_DIR"); !dir.isEmpty())
            image.save(QString::fromLocal8Bit(dir) + "/band.png");
    }
    // Band 1 sits at 5.0, 5.0 mm; a component's box in page millimetres.
    static QRectF box(double left, double top, double width, double height) {
        return {5.0 + left, 5.0 + top, width, height};
    }

    FakeRecords records;
    test::MarkingHandlers marks;
    std::unique_ptr<ReportPages> pages;
    QImage image;
};

TEST_F(BandPainterTest, GridHasADoubleOutlineAndSquareCells) {
    // Across the grid's top edge at the middle of cell 1: the outer square's line at
    // 10.05 mm, then the cell's at 10.58 mm, white between them and below.
    const int x = static_cast<int>((5.0 + 9.79 + 7.5) * PixelsPerMm);
    const auto dark = [&](double mm) {
        return qGray(image.pixel(x, static_cast<int>(mm * PixelsPerMm))) < 128;
    };
    EXPECT_TRUE(dark(5.0 + 10.05));
    EXPECT_FALSE(dark(5.0 + 10.35));
    EXPECT_TRUE(dark(5.0 + 10.58));
    EXPECT_FALSE(dark(5.0 + 11.0));
    const QRectF grid = inkMm(image, box(8.0, 9.0, 79.0, 79.0));
    EXPECT_NEAR(grid.left(), 5.0 + 9.26, 0.15);
    EXPECT_NEAR(grid.top(), 5.0 + 10.05, 0.15);
    EXPECT_NEAR(grid.right(), 5.0 + 9.26 + 76.46, 0.15);
    EXPECT_NEAR(grid.bottom(), 5.0 + 10.05 + 76.46, 0.15);
}

TEST_F(BandPainterTest, NumbersAreCentredFromTheTopOfTheirBoxes) {
    for (const auto& [column, text] : {std::pair{0, "7"}, std::pair{1, "88"}}) {
        const QRectF numberBox = box(11.38 + 15.08 * column, 13.23, 11.91, 11.91);
        const QRectF ink = inkMm(image, numberBox);
        ASSERT_FALSE(ink.isEmpty()) << text;
        EXPECT_NEAR(ink.center().x(), numberBox.center().x(), 0.4) << text;
        // A digit's top sits below the line's top by the font's ascent less its height.
        EXPECT_GT(ink.top(), numberBox.top() + 0.5) << text;
        EXPECT_LT(ink.top(), numberBox.top() + 2.5) << text;
        EXPECT_LT(ink.bottom(), numberBox.bottom()) << text;
    }
    const QRectF twoDigits = inkMm(image, box(11.38 + 15.08, 13.23, 11.91, 11.91));
    EXPECT_GT(twoDigits.width(), 8.0) << "26 pt digits are about 5 mm wide each";
}

TEST_F(BandPainterTest, TextWiderThanItsBoxIsCutAtTheBox) {
    const QRectF numberBox = box(11.38 + 15.08 * 4, 13.23 + 15.08 * 4, 11.91, 11.91);
    const QRectF ink = inkMm(image, numberBox.adjusted(-1.0, 0, 1.0, 0));
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), numberBox.left() - 0.1);
    EXPECT_LE(ink.right(), numberBox.right() + 0.1);
}

TEST_F(BandPainterTest, CaptionSerialAndStampSitAboveTheGrid) {
    const QRectF caption = inkMm(image, box(10.0, 3.5, 19.0, 6.3));
    EXPECT_NEAR(caption.left(), 5.0 + 10.58, 0.5);
    const QRectF serial = inkMm(image, box(30.0, 3.5, 12.0, 6.3));
    EXPECT_NEAR(serial.left(), 5.0 + 30.43, 0.5);
    const QRectF stamp = inkMm(image, box(60.0, 4.8, 26.0, 5.0));
    EXPECT_NEAR(stamp.right(), 5.0 + 85.20, 0.5) << "right-aligned at 322 px";
}

TEST(FontTest, CardFontsResolveToInstalledFonts) {
    registerFontSubstitutions();
    registerFontSubstitutions(); // twice changes nothing
    EXPECT_EQ(QFont::substitutes(QString::fromUtf8("新細明體")),
              (QStringList{"pmingliu", "noto serif cjk tc", "ar pl uming tw"}));
    const QString ming = QFontInfo(QFont(QString::fromUtf8("新細明體"))).family();
    EXPECT_TRUE(ming == "PMingLiU" || ming == "Noto Serif CJK TC") << ming.toStdString();
    EXPECT_EQ(QFontInfo(QFont("Arial")).family(), "Liberation Sans");
}

TEST(BandPainterScaleTest, AutoSizedBoxesFollowTheirText) {
    BandPainter painter(test::cardLayout());
    const auto layout = test::cardLayout();
    const int stamp = layout->componentIndex("QRSysData1");
    const QRectF shortStamp = painter.textBoxMm(stamp, "1/1");
    const QRectF longStamp = painter.textBoxMm(stamp, "2026/12/11-09:05");
    EXPECT_NEAR(shortStamp.right(), 85.20, 0.01);
    EXPECT_NEAR(longStamp.right(), 85.20, 0.01);
    EXPECT_GT(longStamp.width(), 3 * shortStamp.width());
    const QRectF serial = painter.textBoxMm(layout->componentIndex("QRDBText26"), "0001");
    EXPECT_NEAR(serial.left(), 30.43, 0.01);
    EXPECT_NEAR(serial.top(), 4.50, 0.01);
}

TEST(BandPainterScaleTest, CaptionEndsBeforeTheSerialBegins) {
    // AR PL UMing sets " :" half an em each, which ends the caption at 31.75 mm, on the serial.
    registerFontSubstitutions();
    const auto layout = test::cardLayout();
    BandPainter painter(layout);
    const QRectF caption =
        painter.textBoxMm(layout->componentIndex("QRLabel1"), QString::fromUtf8("彩票號碼 :"));
    const int serial = layout->componentIndex("QRDBText26");
    for (const char* text : {"0001", "1111", "8888", "9999"}) {
        const QRectF box = painter.textBoxMm(serial, text);
        EXPECT_LT(caption.right(), box.left() - 0.05) << text;
        EXPECT_TRUE(caption.intersected(box).isEmpty()) << text;
    }
    EXPECT_NEAR(caption.right(), 113.3 * 25.4 / 96, 0.3)
        << "Noto Serif CJK TC's proportional colon";
}

} // namespace
} // namespace bingo::report
