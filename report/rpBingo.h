#pragma once

#include "cards/JobStamp.h"
#include "preview/PreviewWindow.h"
#include "report/CardTableSource.h"
#include "report/Clock.h"
#include "report/PrintTexts.h"

#include <QByteArray>
#include <QLocale>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

namespace bingo::store {
class CardTable;
}

namespace bingo::report {

class ReportPages;
struct ReportLayout;

/// What the report reads besides its table: the clock and the locale of its stamps, and what
/// its preview needs from the program.
struct ReportContext {
    Clock clock;
    /// The locale of the time stamps' year and separators.
    QLocale locale;
    preview::PreviewContext preview;
};

/// The card sheet report: lays the card table out six cards to an A4 page and shows the
/// pages in a preview window, from which they are saved, loaded and printed.
class Tqr1 : public QObject {
    Q_OBJECT
  public:
    /// The report reads tbTmp, and no other data, for as long as it lives. Reads its layout
    /// from the program's resources; throws std::runtime_error if that is unusable.
    Tqr1(const store::CardTable& tbTmp, ReportContext context, QObject* parent = nullptr);
    /// Deletes an open preview first: its pages call back into this report.
    ~Tqr1() override;
    Q_DISABLE_COPY_MOVE(Tqr1)

    void setClock(Clock clock);
    /// The locale of the time stamps' year and separators.
    void setLocale(const QLocale& locale);
    /// The job the table holds, written into the PDFs the next Preview() saves so that its
    /// cards can be rebuilt from them (nullopt: a table of no known job, saved without).
    void setJob(const std::optional<cards::JobStamp>& job);

    /// Opens the preview window "Bingo" (top-level, maximised) and lays the whole table out
    /// into it, page by page, while the event loop runs; returns at once. While a layout is
    /// still in progress it returns at once and shows nothing. A preview whose layout has
    /// finished is closed and replaced. Throws what the table throws when it cannot be read
    /// (the table must be open). The report owns the window and deletes it once closed.
    void Preview();
    /// Closes an open preview and cancels its layout; afterwards nothing reads the table.
    void closePreview();
    [[nodiscard]] bool isPreviewOpen() const;
    /// True while a preview's pages are still being laid out from the table.
    [[nodiscard]] bool isLayoutInProgress() const;
    /// The open preview, or nullptr.
    [[nodiscard]] preview::PreviewWindow* previewWindow() const;

    /// The report's pages, not yet laid out, wired to this report's print handlers: for
    /// benchmarks and tests (layOutAll(), then ReportOutput). Must not outlive the report.
    [[nodiscard]] std::unique_ptr<ReportPages> createPages();

    /// Print handler of the serial: Value "n" becomes the last four digits of n + 10000.
    /// Throws std::runtime_error when Value is not a decimal 32-bit integer.
    void QRDBText26Print(QObject* sender, QString& Value) const;
    /// Print handler of the time stamp: Value becomes the current time as "eee/mm/dd-hh:nn".
    void QRSysData1Print(QObject* sender, QString& Value) const;

  private:
    class PreviewPages;

    void previewClosed();

    CardTableSource records_;
    std::shared_ptr<const ReportLayout> layout_;
    Clock clock_;
    TimeStampFormat stampFormat_;
    preview::PreviewContext previewContext_;
    QByteArray pdfMetadata_;
    std::unique_ptr<preview::PreviewWindow> preview_;
    ReportPages* pages_ = nullptr; // the open preview's, owned through it
};

} // namespace bingo::report
