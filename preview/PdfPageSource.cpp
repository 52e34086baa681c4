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

std::optional<PdfPages> PdfPageSource::writePrintPdf(const PrintPlan&, const QString& path,
                                                     const PrintProgress& progress) {
    // The document as it was loaded, whatever became of the file since: the queue or the
    // file picks the pages out of it.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes_) != bytes_.size() || !file.flush())
        fail(messages::cannotPreparePrint(path, messages::fileFailureReason(path, file, true)));
    if (progress && !progress(pageCount(), pageCount()))
        return std::nullopt;
    return PdfPages::Document;
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
