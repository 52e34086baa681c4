#pragma once

namespace bingo::report {

struct ReportLayout;

/// Rounds millimetres to whole tenths of a millimetre, halves to even (95.25 -> 952).
/// The value is first taken to whole hundredths, the precision the layout is written in.
[[nodiscard]] int toTenths(double mm);

/// The page a report flows its bands onto, in whole tenths of a millimetre.
struct PageGeometry {
    int paperWidth = 0;
    int paperLength = 0;
    int marginTop = 0;
    int marginBottom = 0;
    int marginLeft = 0;
    int columns = 1;
    int columnGap = 0;
    int bandWidth = 0;
    int bandHeight = 0; ///< the band's advance: its height rounded to tenths

    /// The geometry of layout's paper and band, the paper lying as orientation says.
    [[nodiscard]] static PageGeometry of(const ReportLayout& layout, bool landscape = false);
};

/// Where one band goes: page from 0, column from 0, its top-left corner in tenths of a
/// millimetre from the paper's top-left corner.
struct BandPlace {
    int page = 0;
    int column = 0;
    int left = 0;
    int top = 0;
    friend bool operator==(const BandPlace&, const BandPlace&) = default;
};

/// Places bands one below the other down the columns of a page, then on a new page.
/// A band moves to the next column when it does not fit in the space left above the bottom
/// margin (a band that fits exactly stays); a band taller than the printable height stays
/// where it is, so that it is drawn once instead of opening pages for ever.
class PageFlow {
  public:
    explicit PageFlow(const PageGeometry& geometry) : geometry_(geometry) {}

    /// Places the next band and moves below it.
    [[nodiscard]] BandPlace next();
    /// Pages opened so far.
    [[nodiscard]] int pageCount() const { return page_ + 1; }

    /// The page count that bands bands give (one page for none, as a report printed empty).
    [[nodiscard]] static int pagesFor(const PageGeometry& geometry, long long bands);

  private:
    PageGeometry geometry_;
    int page_ = -1;
    int column_ = 0;
    int left_ = 0;
    int top_ = 0;
};

} // namespace bingo::report
