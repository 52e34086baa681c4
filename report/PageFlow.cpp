#include "report/PageFlow.h"

#include "report/ReportLayout.h"

#include <cmath>

namespace bingo::report {

int toTenths(double mm) {
    const long long hundredths = std::llround(mm * 100);
    const long long sign = hundredths < 0 ? -1 : 1;
    const long long magnitude = hundredths * sign;
    long long tenths = magnitude / 10;
    const long long rest = magnitude % 10;
    if (rest > 5 || (rest == 5 && tenths % 2 == 1))
        ++tenths;
    return static_cast<int>(tenths * sign);
}

PageGeometry PageGeometry::of(const ReportLayout& layout, bool landscape) {
    const QSizeF paper =
        layout.paperSizeMm(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    PageGeometry g;
    g.paperWidth = toTenths(paper.width());
    g.paperLength = toTenths(paper.height());
    g.marginTop = toTenths(layout.marginsMm.top());
    g.marginBottom = toTenths(layout.marginsMm.bottom());
    g.marginLeft = toTenths(layout.marginsMm.left());
    g.columns = layout.columns;
    g.columnGap = toTenths(layout.columnGapMm);
    g.bandWidth = toTenths(layout.band.sizeMm.width());
    g.bandHeight = toTenths(layout.band.sizeMm.height());
    return g;
}

BandPlace PageFlow::next() {
    const int spaceLeft = geometry_.paperLength - geometry_.marginBottom - top_;
    const int printable = geometry_.paperLength - geometry_.marginTop - geometry_.marginBottom;
    const bool movesOn = geometry_.bandHeight > spaceLeft && geometry_.bandHeight <= printable;
    if (page_ < 0 || movesOn) {
        if (page_ < 0 || column_ + 1 >= geometry_.columns) {
            ++page_;
            column_ = 0;
            left_ = geometry_.marginLeft;
        } else {
            ++column_;
            left_ += geometry_.bandWidth + geometry_.columnGap;
        }
        top_ = geometry_.marginTop;
    }
    const BandPlace place{page_, column_, left_, top_};
    top_ += geometry_.bandHeight;
    return place;
}

int PageFlow::pagesFor(const PageGeometry& geometry, long long bands) {
    // Every page repeats the first one's pattern: count the bands the first page takes.
    PageFlow flow(geometry);
    static_cast<void>(flow.next());
    long long perPage = 1;
    while (perPage < bands && flow.next().page == 0)
        ++perPage;
    if (bands <= perPage)
        return 1;
    const long long pages = (bands + perPage - 1) / perPage;
    return pages > 0x7fffffff ? 0x7fffffff : static_cast<int>(pages);
}

} // namespace bingo::report
