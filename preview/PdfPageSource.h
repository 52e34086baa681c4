#pragma once

#include "preview/PageSource.h"

#include <QBuffer>
#include <QByteArray>
#include <QPdfDocument>

namespace bingo::preview {

/// The pages of a PDF file, read whole into memory when constructed: shown and printed like
/// the pages of a report, and saved back byte for byte.
class PdfPageSource : public PageSource {
    Q_OBJECT
  public:
    /// Reads the PDF at path; throws std::runtime_error naming the file and the reason when
    /// it cannot be read, is not a PDF, is damaged, locked or has no pages.
    explicit PdfPageSource(const QString& path, QObject* parent = nullptr);
    ~PdfPageSource() override;
    Q_DISABLE_COPY_MOVE(PdfPageSource)

    /// The file the pages were read from.
    [[nodiscard]] QString fileName() const { return fileName_; }

    [[nodiscard]] int pageCount() const override;
    [[nodiscard]] QSizeF pageSizeMm(int page) const override;
    [[nodiscard]] QImage renderPage(int page, QSize pixelSize) const override;
    [[nodiscard]] bool isComplete() const override { return true; }
    [[nodiscard]] int progressPercent() const override { return 100; }
    /// Writes the bytes read, unchanged, through a temporary file renamed into place.
    void savePdf(const QString& path) const override;
    /// Writes the bytes read, unchanged: a loaded PDF prints as the PDF it is.
    [[nodiscard]] std::optional<PdfPages> writePrintPdf(const PrintPlan& plan, const QString& path,
                                                        const PrintProgress& progress) override;

  private:
    void renderOnto(QPainter& painter, int page, const QRect& target) const;

    QString fileName_;
    QByteArray bytes_;
    QBuffer buffer_;
    // Rendering changes the document's internal state, not the pages it shows.
    mutable QPdfDocument document_;
};

} // namespace bingo::preview
