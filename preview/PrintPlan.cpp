#include "preview/PrintPlan.h"

#include "preview/PreviewMessages.h"

#include <QPageRanges>
#include <QPrinter>
#include <algorithm>
#include <stdexcept>

namespace bingo::preview {
namespace {

[[noreturn]] void fail(const QString& message) {
    throw std::runtime_error(message.toStdString());
}

std::vector<int> pickedPages(const QPrinter& printer, int pageCount, int currentPage) {
    std::vector<int> pages;
    switch (printer.printRange()) {
    case QPrinter::AllPages:
    case QPrinter::Selection:
        break;
    case QPrinter::CurrentPage:
        if (currentPage < 0 || currentPage >= pageCount)
            fail(messages::currentPageOutside(currentPage + 1, pageCount));
        return {currentPage};
    case QPrinter::PageRange: {
        QPageRanges ranges = printer.pageRanges();
        if (ranges.isEmpty() && printer.fromPage() > 0)
            ranges.addRange(printer.fromPage(), std::max(printer.fromPage(), printer.toPage()));
        if (ranges.isEmpty())
            break;
        for (int page = 1; page <= pageCount; ++page) {
            if (ranges.contains(page))
                pages.push_back(page - 1);
        }
        if (pages.empty())
            fail(messages::rangeOutside(ranges.toString(), pageCount));
        return pages;
    }
    }
    pages.resize(static_cast<std::size_t>(pageCount));
    for (int page = 0; page < pageCount; ++page)
        pages[static_cast<std::size_t>(page)] = page;
    return pages;
}

} // namespace

bool PrintPlan::wholeDocumentInOrder() const {
    if (pages.size() != static_cast<std::size_t>(pageCount))
        return false;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (pages[i] != static_cast<int>(i))
            return false;
    }
    return true;
}

std::vector<int> PrintPlan::sheets() const {
    std::vector<int> out;
    const auto n = static_cast<std::size_t>(std::max(1, copies));
    out.reserve(pages.size() * n);
    if (collate) {
        for (std::size_t copy = 0; copy < n; ++copy)
            out.insert(out.end(), pages.begin(), pages.end());
    } else {
        for (const int page : pages)
            out.insert(out.end(), n, page);
    }
    return out;
}

std::vector<int> PrintPlan::pagesToDraw() const {
    return toFile() ? sheets() : pages;
}

QString PrintPlan::pageRangesText() const {
    std::vector<int> sorted = pages;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    QStringList runs;
    for (std::size_t i = 0; i < sorted.size();) {
        std::size_t j = i;
        while (j + 1 < sorted.size() && sorted[j + 1] == sorted[j] + 1)
            ++j;
        runs << (i == j ? QString::number(sorted[i] + 1)
                        : QStringLiteral("%1-%2").arg(sorted[i] + 1).arg(sorted[j] + 1));
        i = j + 1;
    }
    return runs.join(QLatin1Char(','));
}

Sides sidesFor(QPrinter::DuplexMode duplex, QPageLayout::Orientation orientation) {
    switch (duplex) {
    case QPrinter::DuplexNone:
        return Sides::OneSided;
    case QPrinter::DuplexLongSide:
        return Sides::TwoSidedLongEdge;
    case QPrinter::DuplexShortSide:
        return Sides::TwoSidedShortEdge;
    case QPrinter::DuplexAuto:
        break;
    }
    return orientation == QPageLayout::Landscape ? Sides::TwoSidedShortEdge
                                                 : Sides::TwoSidedLongEdge;
}

PrintPlan planPrint(const QPrinter& printer, int pageCount, int currentPage) {
    if (pageCount <= 0)
        fail(messages::nothingToPrint());
    PrintPlan plan;
    plan.pageCount = pageCount;
    plan.pages = pickedPages(printer, pageCount, currentPage);
    plan.reverse = printer.pageOrder() == QPrinter::LastPageFirst;
    if (plan.reverse)
        std::reverse(plan.pages.begin(), plan.pages.end());
    plan.copies = std::max(1, printer.copyCount());
    plan.collate = printer.collateCopies();
    plan.sides = sidesFor(printer.duplex(), printer.pageLayout().orientation());
    plan.orientation = printer.pageLayout().orientation();
    plan.jobName = printer.docName();
    plan.outputFile = printer.outputFileName();
    if (!plan.toFile()) {
        plan.queue = printer.printerName();
        if (plan.queue.isEmpty())
            fail(messages::noPrinterChosen());
    }
    return plan;
}

void applyReportPrinterSettings(QPrinter& printer) {
    printer.setCopyCount(1);
    printer.setCollateCopies(true);
    printer.setPrintRange(QPrinter::AllPages);
    printer.setPageRanges({});
    printer.setPageOrder(QPrinter::FirstPageFirst);
    printer.setDuplex(QPrinter::DuplexNone);
    printer.setPaperSource(QPrinter::Auto);
}

} // namespace bingo::preview
