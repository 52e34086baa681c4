#pragma once

#include "preview/PrintPlan.h"
#include "preview/PrintSubmission.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace bingo::report {

class ReportPages;

/// The report's output beyond the screen: the laid-out pages saved as PDF, and the records laid
/// out anew onto a printer. Each output draws with a painter of its own, never the preview's.
class ReportOutput {
  public:
    /// pages must outlive this object.
    explicit ReportOutput(const ReportPages& pages) : pages_(pages) {}

    /// XMP metadata written into every saved PDF (empty: Qt's own).
    void setPdfMetadata(QByteArray xmp) { xmp_ = std::move(xmp); }

    /// Writes the pages laid out so far as an A4 PDF at 1200 dpi titled after the report;
    /// throws std::runtime_error and leaves no file under path when it cannot (writes a
    /// temporary beside it, then renames).
    void savePdf(const QString& path) const;

    /// Called after each printed page with the pages done and the total; false stops the print.
    using Progress = std::function<bool(int done, int total)>;
    /// Lays the records out again from the first, running the handlers again, and draws the
    /// pages plan prints (plan.pagesToDraw(); every page of the new layout when the plan takes
    /// the whole document and the new layout has another page count) into a PDF at path, A4
    /// as the plan's paper lies. The pages on display stay as they are. nullopt when progress
    /// stopped it; throws std::runtime_error when a record cannot be printed, the file cannot
    /// be written, or the plan's pages are none of the new layout's.
    [[nodiscard]] std::optional<preview::PdfPages> writePrintPdf(const preview::PrintPlan& plan,
                                                                 const QString& path,
                                                                 const Progress& progress) const;

  private:
    const ReportPages& pages_;
    QByteArray xmp_;
};

} // namespace bingo::report
