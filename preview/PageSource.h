#pragma once

#include "preview/PrintPlan.h"
#include "preview/PrintSubmission.h"

#include <QImage>
#include <QObject>
#include <QSizeF>
#include <QString>
#include <functional>
#include <optional>

namespace bingo::preview {

/// The pages a preview shows, saves and prints: a report being laid out, or a loaded PDF.
/// Pages are numbered from 0. pageCount() may grow while isComplete() is false.
class PageSource : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    ~PageSource() override = default;

    [[nodiscard]] virtual int pageCount() const = 0;
    /// Paper size of a page in millimetres (210 x 297 for A4 portrait).
    [[nodiscard]] virtual QSizeF pageSizeMm(int page) const = 0;
    /// Renders one page into an image of the given size in device pixels, white background.
    /// Cheap enough to be called for the pages in view only; must not touch other pages.
    [[nodiscard]] virtual QImage renderPage(int page, QSize pixelSize) const = 0;
    /// True once every page exists (printing and printer set-up wait for this).
    [[nodiscard]] virtual bool isComplete() const = 0;
    /// Layout progress in percent, 100 when complete.
    [[nodiscard]] virtual int progressPercent() const = 0;
    /// Why the layout stopped before it was complete ("" when it did not); the pages made
    /// before the failure stay and can be saved, but not printed.
    [[nodiscard]] virtual QString failure() const { return {}; }

    /// Writes the pages on display as a PDF at path; on failure throws std::runtime_error
    /// and leaves no file under that name (writes a temporary beside it, then renames).
    virtual void savePdf(const QString& path) const = 0;

    /// Called after each page written for a print, with the pages done and the total;
    /// returning false stops the print.
    using PrintProgress = std::function<bool(int done, int total)>;
    /// Writes what plan prints into a new PDF file at path, with a painter of its own, and
    /// says what it holds: exactly plan.pagesToDraw() in that order, or the whole document as
    /// it is. nullopt when progress stopped it. Throws std::runtime_error when it cannot.
    [[nodiscard]] virtual std::optional<PdfPages>
    writePrintPdf(const PrintPlan& plan, const QString& path, const PrintProgress& progress) = 0;

  Q_SIGNALS:
    /// pageCount() has grown, or the layout progress changed.
    void pagesChanged();
    /// The layout has finished: pageCount() is final.
    void completed();
    /// The layout has stopped at a failure (failure() says why): pageCount() is final.
    void failed(const QString& message);
};

} // namespace bingo::preview
