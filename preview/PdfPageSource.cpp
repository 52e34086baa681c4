#include "preview/PdfPageSource.h"

#include "preview/PreviewMessages.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QSaveFile>
#include <algorithm>
#include <stdexcept>
#include <vector>

namespace bingo::preview {

namespace {

constexpr double MmPerPoint = 25.4 / 72.0;
constexpr double MmPerInch = 25.4;
// Cards are lines and text: more dots than this only make the print job slower.
constexpr int MaxPrintDpi = 600;
// Pages go to the printer in stripes of about this many bytes, whatever the resolution.
constexpr qint64 StripeBytes = 16LL * 1024 * 1024;

[[noreturn]] void fail(const QString& message) {
    throw std::runtime_error(message.toStdString());
}

QString reasonFor(QPdfDocument::Error error) {
    switch (error) {
    case QPdfDocument::Error::FileNotFound:
        return messages::fileNotFound();
    case QPdfDocument::Error::InvalidFileFormat:
        return messages::notAPdf();
    case QPdfDocument::Error::IncorrectPassword:
        return messages::passwordProtected();
    case QPdfDocument::Error::UnsupportedSecurityScheme:
        return messages::unsupportedEncryption();
    case QPdfDocument::Error::None:
    case QPdfDocument::Error::Unknown:
    case QPdfDocument::Error::DataNotYetAvailable:
        break;
    }
    return messages::unreadablePdf();
}

// The pages the printer was set up for, from 0, in the order they are to come out.
std::vector<int> pagesToPrint(const QPrinter& printer, int pageCount) {
    std::vector<int> pages;
    const QPageRanges ranges = printer.pageRanges();
    const bool all = printer.printRange() != QPrinter::PageRange || ranges.isEmpty();
    for (int page = 1; page <= pageCount; ++page) {
        if (all || ranges.contains(page))
            pages.push_back(page - 1);
    }
    if (printer.pageOrder() == QPrinter::LastPageFirst)
        std::reverse(pages.begin(), pages.end());
    return pages;
}

// Each sheet to print, with copies the printer cannot make itself made here.
std::vector<int> sheetsToPrint(const QPrinter& printer, const std::vector<int>& pages) {
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    std::vector<int> sheets;
    sheets.reserve(pages.size() * static_cast<std::size_t>(copies));
    if (printer.collateCopies()) {
        for (int copy = 0; copy < copies; ++copy)
            sheets.insert(sheets.end(), pages.begin(), pages.end());
    } else {
        for (const int page : pages)
            sheets.insert(sheets.end(), static_cast<std::size_t>(copies), page);
    }
    return sheets;
}

} // namespace

PdfPageSource::PdfPageSource(const QString& path, QObject* parent)
    : PageSource(parent), fileName_(path) {
    const auto cannotLoad = [&path](const QString& why) { fail(messages::cannotLoad(path, why)); };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        cannotLoad(messages::fileFailureReason(path, file, false));
    bytes_ = file.readAll();
    if (file.error() != QFileDevice::NoError)
        cannotLoad(messages::fileFailureReason(path, file, false));
    // Qt PDF leaks a little on every file it refuses; most refused files are not PDFs at all.
    if (!bytes_.left(1024).contains("%PDF-"))
        cannotLoad(reasonFor(QPdfDocument::Error::InvalidFileFormat));
    buffer_.setBuffer(&bytes_);
    buffer_.open(QIODevice::ReadOnly);
    // A buffer already holding the whole file loads at once, not in the background.
    document_.load(&buffer_);
    if (document_.status() != QPdfDocument::Status::Ready)
        cannotLoad(reasonFor(document_.error()));
    if (document_.pageCount() <= 0)
        fail(messages::noPagesIn(path));
}

PdfPageSource::~PdfPageSource() = default;

int PdfPageSource::pageCount() const {
    return document_.pageCount();
}

QSizeF PdfPageSource::pageSizeMm(int page) const {
    return document_.pagePointSize(page) * MmPerPoint;
}

QImage PdfPageSource::renderPage(int page, QSize pixelSize) const {
    if (page < 0 || page >= pageCount() || pixelSize.isEmpty())
        return {};
    QImage image(pixelSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderOnto(painter, page, image.rect());
    return image;
}

void PdfPageSource::savePdf(const QString& path) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes_) != bytes_.size() || !file.commit())
        fail(messages::cannotSave(path, messages::fileFailureReason(path, file, true)));
}

void PdfPageSource::print(QPrinter& printer, const PrintProgress& progress) {
    const std::vector<int> sheets = sheetsToPrint(printer, pagesToPrint(printer, pageCount()));
    if (sheets.empty())
        return;
    QPainter painter;
    if (!painter.begin(&printer))
        fail(messages::printerUnavailable(printer.printerName()));
    // The painter's origin is the printable area's corner; the page goes on the whole paper.
    const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel).translated(-printable.topLeft());
    const int dpi = printer.resolution();
    const double scale = std::min(1.0, double(MaxPrintDpi) / std::max(1, dpi));
    const int total = static_cast<int>(sheets.size());
    for (int done = 0; done < total; ++done) {
        if (done > 0 && !printer.newPage())
            fail(messages::printerRefusedNextPage(printer.printerName()));
        const int page = sheets[static_cast<std::size_t>(done)];
        // Fit the page to the paper, keeping its proportions, centred.
        const QSizeF pageDots = pageSizeMm(page) * (dpi / MmPerInch);
        const double fit =
            std::min(paper.width() / pageDots.width(), paper.height() / pageDots.height());
        QSizeF target = pageDots * fit;
        const QPointF corner = paper.topLeft() + QPointF((paper.width() - target.width()) / 2,
                                                         (paper.height() - target.height()) / 2);
        painter.save();
        painter.translate(corner);
        painter.scale(1 / scale, 1 / scale);
        renderOnto(painter, page, QRect(QPoint(0, 0), (target * scale).toSize()));
        painter.restore();
        if (progress && !progress(done + 1, total)) {
            printer.abort();
            return;
        }
    }
    painter.end();
}

void PdfPageSource::renderOnto(QPainter& painter, int page, const QRect& target) const {
    if (target.isEmpty())
        return;
    const int rows = static_cast<int>(
        std::clamp<qint64>(StripeBytes / (qint64(target.width()) * 4), 1, target.height()));
    QPdfDocumentRenderOptions options;
    options.setRenderFlags(QPdfDocumentRenderOptions::RenderFlag::Annotations);
    options.setScaledSize(target.size());
    for (int top = 0; top < target.height(); top += rows) {
        const QRect clip(0, top, target.width(), std::min(rows, target.height() - top));
        options.setScaledClipRect(clip);
        // The document renders onto transparency; the page is white paper.
        QImage stripe(clip.size(), QImage::Format_RGB32);
        stripe.fill(Qt::white);
        QPainter onWhite(&stripe);
        onWhite.drawImage(0, 0, document_.render(page, clip.size(), options));
        onWhite.end();
        painter.drawImage(target.topLeft() + clip.topLeft(), stripe);
    }
}

} // namespace bingo::preview
