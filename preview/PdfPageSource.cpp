#include "preview/PdfPageSource.h"

#include <QDir>
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

QString quoted(const QString& path) {
    return QStringLiteral("「") + QDir::toNativeSeparators(path) + QStringLiteral("」");
}

[[noreturn]] void fail(const QString& message) {
    throw std::runtime_error(message.toStdString());
}

QString reasonFor(QPdfDocument::Error error) {
    switch (error) {
    case QPdfDocument::Error::FileNotFound:
        return PdfPageSource::tr("找不到檔案");
    case QPdfDocument::Error::InvalidFileFormat:
        return PdfPageSource::tr("這不是 PDF 檔案，或檔案已損毀");
    case QPdfDocument::Error::IncorrectPassword:
        return PdfPageSource::tr("檔案受密碼保護");
    case QPdfDocument::Error::UnsupportedSecurityScheme:
        return PdfPageSource::tr("檔案的加密方式不受支援");
    case QPdfDocument::Error::None:
    case QPdfDocument::Error::Unknown:
    case QPdfDocument::Error::DataNotYetAvailable:
        break;
    }
    return PdfPageSource::tr("無法讀取檔案中的 PDF 內容");
}

} // namespace

PdfPageSource::PdfPageSource(const QString& path, QObject* parent)
    : PageSource(parent), fileName_(path) {
    const auto cannotLoad = [&path](const QString& why) {
        fail(tr("無法載入%1：%2。").arg(quoted(path), why));
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        cannotLoad(file.errorString());
    bytes_ = file.readAll();
    if (file.error() != QFileDevice::NoError)
        cannotLoad(file.errorString());
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
        fail(tr("無法載入%1：檔案中沒有任何頁面。").arg(quoted(path)));
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
        fail(tr("無法儲存%1：%2。").arg(quoted(path), file.errorString()));
}

std::optional<PdfPages> PdfPageSource::writePrintPdf(const PrintPlan&, const QString& path,
                                                     const PrintProgress& progress) {
    // The document as it was loaded, whatever became of the file since: the queue or the
    // file picks the pages out of it.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes_) != bytes_.size() || !file.flush())
        fail(tr("無法準備列印的檔案%1：%2。").arg(quoted(path), file.errorString()));
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
