#pragma once

#include <QPageLayout>
#include <QPrinter>
#include <QString>
#include <vector>

namespace bingo::preview {

/// Which sides of the paper a print uses.
enum class Sides { OneSided, TwoSidedLongEdge, TwoSidedShortEdge };

/// One print worked out from the printer set-up: which pages, how many copies, on which sides,
/// to which queue or file. The same for the report's pages and a loaded PDF.
struct PrintPlan {
    int pageCount = 0;      ///< pages of the document the plan picks from
    std::vector<int> pages; ///< picked pages, 0-based, once each, in the order they come out
    int copies = 1;         ///< at least 1
    bool collate = true;    ///< copies come out as whole sets, not page by page
    bool reverse = false;   ///< last page first; already applied to pages
    Sides sides = Sides::OneSided;
    QPageLayout::Orientation orientation = QPageLayout::Portrait; ///< how the paper lies
    QString jobName;
    QString queue;      ///< the print queue; empty when printing to a file
    QString outputFile; ///< non-empty: the pages go into this PDF file instead of a queue

    [[nodiscard]] bool toFile() const { return !outputFile.isEmpty(); }
    /// True when pages is every page of the document in its own order.
    [[nodiscard]] bool wholeDocumentInOrder() const;
    /// Every sheet that comes out, copies included, as page numbers (0-based), in order.
    [[nodiscard]] std::vector<int> sheets() const;
    /// What a PDF made for this plan holds: sheets() for a file (no printer makes the copies
    /// there), else pages (the queue makes the copies).
    [[nodiscard]] std::vector<int> pagesToDraw() const;
    /// The pages as the print system counts them (from 1, ascending, runs joined): "1-3,7".
    [[nodiscard]] QString pageRangesText() const;
};

/// The sides a printer's duplex setting asks for: DuplexAuto is two-sided along the edge that
/// turns pages of the given orientation like a book's.
[[nodiscard]] Sides sidesFor(QPrinter::DuplexMode duplex, QPageLayout::Orientation orientation);

/// Works out the print printer is set up for, on a document of pageCount pages whose
/// current page (for the print range CurrentPage) is currentPage, 0-based. One-sided unless
/// printer's duplex is set to two-sided (see sidesFor()). Selection (a preview selects nothing)
/// prints every page. Throws std::runtime_error with a message for the operator when nothing would
/// print: an empty document, a range outside it, no queue and no file.
[[nodiscard]] PrintPlan planPrint(const QPrinter& printer, int pageCount, int currentPage = 0);

/// Puts the report's own printer settings on printer: one copy, collated, every page, first
/// page first, one-sided, the printer's default paper bin. QPrinter takes its duplex from the
/// queue's default, which may be two-sided: call this whenever a printer is made, so that only
/// what the operator picks in printer set-up differs from the report's settings.
void applyReportPrinterSettings(QPrinter& printer);

} // namespace bingo::preview
