#include "report/PageFlow.h"

#include "ReportTestSupport.h"
#include "report/ReportLayout.h"

#include <gtest/gtest.h>

namespace bingo::report {
namespace {

TEST(PageFlowTest, RoundsToTenthsHalvesToEven) {
    const std::pair<double, int> cases[] = {
        {95.25, 952}, {95.35, 954},  {100.01, 1000}, {0.15, 2},   {0.25, 2},
        {5.0, 50},    {297.0, 2970}, {95.26, 953},   {-0.25, -2},
    };
    for (const auto& [mm, tenths] : cases)
        EXPECT_EQ(toTenths(mm), tenths) << mm;
}

TEST(PageFlowTest, CardGeometryIsInTenths) {
    const PageGeometry g = PageGeometry::of(*test::cardLayout());
    EXPECT_EQ(g.paperLength, 2970);
    EXPECT_EQ(g.paperWidth, 2100);
    EXPECT_EQ(g.marginTop, 50);
    EXPECT_EQ(g.marginBottom, 50);
    EXPECT_EQ(g.marginLeft, 50);
    EXPECT_EQ(g.columns, 2);
    EXPECT_EQ(g.bandWidth, 1000);
    EXPECT_EQ(g.bandHeight, 952);
}

// Twelve cards: two pages of three down the left column at 5.0, 100.2, 195.4 mm, then three
// down the right column at 105.0 mm.
TEST(PageFlowTest, SixCardsToAPageThreeDownEachColumn) {
    PageFlow flow(PageGeometry::of(*test::cardLayout()));
    const BandPlace expected[] = {
        {0, 0, 50, 50},     {0, 0, 50, 1002},   {0, 0, 50, 1954},   {0, 1, 1050, 50},
        {0, 1, 1050, 1002}, {0, 1, 1050, 1954}, {1, 0, 50, 50},     {1, 0, 50, 1002},
        {1, 0, 50, 1954},   {1, 1, 1050, 50},   {1, 1, 1050, 1002}, {1, 1, 1050, 1954},
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const BandPlace place = flow.next();
        EXPECT_EQ(place, expected[i]) << "card " << i + 1 << ": page " << place.page << " column "
                                      << place.column << " at " << place.left << ", " << place.top;
    }
    EXPECT_EQ(flow.pageCount(), 2);
}

TEST(PageFlowTest, SheetsGiveAsManyPages) {
    const PageGeometry g = PageGeometry::of(*test::cardLayout());
    const std::pair<long long, int> cases[] = {{0, 1},    {1, 1},        {6, 1},
                                               {7, 2},    {12, 2},       {180, 30},
                                               {181, 31}, {59994, 9999}, {100000, 16667}};
    for (const auto& [bands, pages] : cases)
        EXPECT_EQ(PageFlow::pagesFor(g, bands), pages) << bands << " bands";
    PageFlow flow(g);
    for (int i = 0; i < 6 * 30; ++i)
        static_cast<void>(flow.next());
    EXPECT_EQ(flow.pageCount(), 30);
}

TEST(PageFlowTest, BandThatFitsExactlyStays) {
    PageGeometry g = PageGeometry::of(*test::cardLayout());
    g.bandHeight = 1435; // two fill the printable 287.0 mm exactly
    PageFlow flow(g);
    EXPECT_EQ(flow.next().top, 50);
    EXPECT_EQ(flow.next(), (BandPlace{0, 0, 50, 1485}));
    EXPECT_EQ(flow.next(), (BandPlace{0, 1, 1050, 50}));
}

TEST(PageFlowTest, BandTallerThanThePageNeverMovesOn) {
    PageGeometry g = PageGeometry::of(*test::cardLayout());
    g.bandHeight = 2871; // 0.1 mm more than the printable height
    PageFlow flow(g);
    EXPECT_EQ(flow.next(), (BandPlace{0, 0, 50, 50}));
    EXPECT_EQ(flow.next(), (BandPlace{0, 0, 50, 50 + 2871}));
    EXPECT_EQ(flow.pageCount(), 1);
    EXPECT_EQ(PageFlow::pagesFor(g, 1000), 1);
}

TEST(PageFlowTest, OneColumnOpensANewPage) {
    PageGeometry g = PageGeometry::of(*test::cardLayout());
    g.columns = 1;
    PageFlow flow(g);
    for (int i = 0; i < 3; ++i)
        static_cast<void>(flow.next());
    EXPECT_EQ(flow.next(), (BandPlace{1, 0, 50, 50}));
}

} // namespace
} // namespace bingo::report
