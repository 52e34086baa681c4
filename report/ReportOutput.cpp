#include "report/ReportOutput.h"

#include "report/BandPainter.h"
#include "report/BandRun.h"
#include "report/ReportPages.h"

#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <algorithm>
#include <stdexcept>
#include <vector>

namespace bingo::report {
namespace {

constexpr int PdfResolution = 1200;

[[noreturn]] void fail(const QString& message) {
    throw std::runtime_error(message.toStdString());
}

} // namespace

void ReportOutput::savePdf(const QString& path) const {
    const ReportLayout& layout = pages_.layout();
    const auto cannot = [&path](const QString& why) {
        fail("Cannot save the pages to " + path + ": " + why);
    };
    if (pages_.pageCount() == 0)
        cannot(QStringLiteral("there are no pages to save"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        cannot(file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setTitle(layout.title);
        if (!xmp_.isEmpty())
            writer.setDocumentXmpMetadata(xmp_);
        writer.setResolution(PdfResolution);
        writer.setPageLayout(QPageLayout(layout.pageSize(), layout.orientation, QMarginsF()));
        QPainter p;
        if (!p.begin(&writer))
            cannot(QStringLiteral("the PDF could not be started"));
        const qreal pixelsPerMm = PdfResolution / 25.4;
        BandPainter painter(pages_.sharedLayout());
        for (int page = 0; page < pages_.pageCount(); ++page) {
            if (page > 0 && !writer.newPage())
                cannot(QStringLiteral("the PDF did not take page %1").arg(page + 1));
            p.save();
            BandPainter::setUpPainter(p, pixelsPerMm, pixelsPerMm);
            pages_.paintPage(p, page, painter);
            p.restore();
        }
        if (!p.end())
            cannot(QStringLiteral("the PDF could not be finished"));
    }
    // Nothing has been written under path until here; a failure leaves no file behind.
    if (!file.commit())
        cannot(file.errorString());
}

void ReportOutput::print(QPrinter& printer, const Progress& progress) const {
    const ReportLayout& layout = pages_.layout();
    printer.setDocName(layout.title);
    printer.setFullPage(true); // the layout measures from the paper's edges
    const QPageLayout::Orientation orientation = printer.pageLayout().orientation();
    printer.setPageSize(layout.pageSize());
    printer.setPageOrientation(orientation);
    const PageGeometry geometry = PageGeometry::of(layout, orientation == QPageLayout::Landscape);

    const QPageRanges ranges = printer.pageRanges();
    const auto wanted = [&ranges](int page) {
        return ranges.isEmpty() || ranges.contains(page + 1);
    };
    const int pages =
        PageFlow::pagesFor(geometry, std::max<std::int64_t>(pages_.records().recordCount(), 0));
    const int lastWanted = ranges.isEmpty() ? pages - 1 : std::min(pages, ranges.lastPage()) - 1;
    int wantedPages = 0;
    for (int page = 0; page <= lastWanted; ++page)
        wantedPages += wanted(page) ? 1 : 0;
    if (wantedPages == 0)
        fail(
            QStringLiteral("The pages chosen for printing (%1) are not among the report's %2 pages")
                .arg(ranges.toString())
                .arg(pages));

    // A printer that makes copies itself gets the job once.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    const bool collate = printer.collateCopies();
    const int runs = collate ? copies : 1;
    const int repeats = collate ? 1 : copies;
    const int total = wantedPages * copies;

    QPainter p;
    if (!p.begin(&printer))
        fail(QStringLiteral("The printer %1 could not be started").arg(printer.printerName()));
    const QSizeF paper = layout.paperSizeMm(orientation);
    const QRectF device = printer.paperRect(QPrinter::DevicePixel);
    const qreal pixelsPerMmX = device.width() / paper.width();
    const qreal pixelsPerMmY = device.height() / paper.height();

    BandPainter painter(pages_.sharedLayout());
    int printed = 0;
    std::vector<BandPlace> places;
    std::vector<std::vector<QString>> texts;
    // Draws the bands collected for one page; false when the operator stopped the print.
    const auto printPage = [&]() -> bool {
        for (int r = 0; r < repeats; ++r) {
            if (printed > 0 && !printer.newPage())
                fail(QStringLiteral("The printer did not take page %1").arg(printed + 1));
            p.save();
            BandPainter::setUpPainter(p, pixelsPerMmX, pixelsPerMmY);
            painter.beginPage(Qt::white);
            for (std::size_t i = 0; i < places.size(); ++i)
                painter.paint(p, QPointF(places[i].left / 10.0, places[i].top / 10.0), texts[i]);
            p.restore();
            ++printed;
            if (progress && !progress(printed, total))
                return false;
        }
        return true;
    };

    for (int copy = 0; copy < runs; ++copy) {
        BandRun run(layout, pages_.records(), pages_.filler(), geometry);
        int current = -1;
        BandPlace place;
        bool more = run.advance(place);
        while (more || !places.empty()) {
            if (!more || place.page != current) {
                if (!places.empty() && !printPage()) {
                    printer.abort();
                    return;
                }
                places.clear();
                texts.clear();
                if (!more || place.page > lastWanted)
                    break;
                current = place.page;
            }
            if (wanted(place.page)) {
                places.push_back(place);
                run.fill(texts.emplace_back());
            }
            more = run.advance(place);
        }
    }
    if (!p.end())
        fail(QStringLiteral("The printer %1 could not finish the job").arg(printer.printerName()));
}

} // namespace bingo::report
