#pragma once

#include "preview/PageSource.h"
#include "report/PageFlow.h"
#include "report/Records.h"
#include "report/ReportLayout.h"

#include <QHash>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QPainter;

namespace bingo::report {

class BandPainter;

/// Rewrites a text box's value just before it is drawn. Called only when the text it would
/// print is not empty; what it leaves in value is printed. May throw to stop the layout.
using PrintHandler = std::function<void(QString& value)>;
/// Print handlers by the names a layout gives them (Component::onPrint).
using PrintHandlers = QHash<QString, PrintHandler>;

/// A report laid out from its records: one band per record (one band without a record when
/// there are none and the layout prints if empty), flowed onto pages. The layout runs a chunk
/// of records per turn of the event loop and keeps per band only its place and its texts
/// after the handlers ran, so the pages are painted on demand and stay small in memory.
/// Printing lays the records out anew onto the printer. Use from one thread only.
class ReportPages final : public preview::PageSource {
    Q_OBJECT
  public:
    /// Reads records (which must outlive this object) through layout. Throws
    /// std::runtime_error when the layout binds a field the records lack ("<component>: Field
    /// '<name>' not found") or names a handler that handlers lacks.
    ReportPages(std::shared_ptr<const ReportLayout> layout, const RecordSource& records,
                PrintHandlers handlers, QObject* parent = nullptr);
    ~ReportPages() override;
    Q_DISABLE_COPY_MOVE(ReportPages)

    /// Opens a reading from the first record and lays the records out over the next turns of
    /// the event loop. Throws what the records throw when they cannot be read. Does nothing
    /// once started.
    void start();
    /// Lays out at once whatever is left, starting first if need be. An exception from the
    /// records or a handler stops the layout (hasFailed()) and is passed on, the record's
    /// number added to its message.
    void layOutAll();
    /// Stops a layout in progress, releases the reading and discards the pages.
    void cancel();
    [[nodiscard]] bool isLayingOut() const { return state_ == State::LayingOut; }
    [[nodiscard]] bool hasFailed() const { return state_ == State::Failed; }

    [[nodiscard]] const ReportLayout& layout() const { return *layout_; }
    [[nodiscard]] int bandCount() const { return static_cast<int>(bands_.size()); }
    /// Where band (from 0) was placed, in tenths of a millimetre.
    [[nodiscard]] BandPlace bandPlace(int band) const;
    /// What the component called componentName prints on band: "" for nothing (and for
    /// rectangles).
    [[nodiscard]] QString bandText(int band, const QString& componentName) const;

    [[nodiscard]] int pageCount() const override;
    [[nodiscard]] QSizeF pageSizeMm(int page) const override;
    [[nodiscard]] QImage renderPage(int page, QSize pixelSize) const override;
    [[nodiscard]] bool isComplete() const override { return state_ == State::Complete; }
    [[nodiscard]] int progressPercent() const override;
    /// A4 PDF at 1200 dpi, titled after the report, of the pages laid out so far.
    void savePdf(const QString& path) const override;
    /// Lays the records out again from the first, running the handlers again, directly onto
    /// printer (A4, its orientation, copies and page ranges; the job named after the report).
    /// The pages on display stay as they are. Throws std::runtime_error when the printer
    /// fails, or when its page ranges hold none of the report's pages.
    void print(QPrinter& printer, const PrintProgress& progress) override;

    /// Paints page of the pages on display onto p, set up with BandPainter::setUpPainter().
    void paintPage(QPainter& p, int page) const;

  private:
    enum class State { Idle, LayingOut, Complete, Failed, Cancelled };
    struct Run;
    struct Placed {
        std::int32_t page;
        std::int16_t column;
        std::int16_t left; // tenths of a millimetre
        std::int16_t top;
    };
    class Filler;

    [[nodiscard]] std::unique_ptr<Run> openRun(const PageGeometry& geometry) const;
    /// Moves run to its next band; false after the last one.
    bool advance(Run& run, BandPlace& place) const;
    void fill(const Run& run, std::vector<QString>& texts) const;
    void layOutNext(std::int64_t records);
    void layOutChunk();
    void keep(const BandPlace& place, const std::vector<QString>& texts);
    void finish(State state);
    void textsOf(int band, std::vector<QString>& texts) const;
    [[nodiscard]] QPointF topLeftMm(const BandPlace& place) const;

    std::shared_ptr<const ReportLayout> layout_;
    const RecordSource& records_;
    PageGeometry geometry_;
    std::unique_ptr<Filler> filler_;
    std::unique_ptr<BandPainter> painter_;
    std::vector<int> slotOf_; // component -> its text slot in a kept band, or -1
    int slots_ = 0;

    State state_ = State::Idle;
    std::unique_ptr<Run> run_;
    std::int64_t expectedRecords_ = 0;
    std::vector<QString> scratch_;

    std::vector<Placed> bands_;
    std::vector<std::uint32_t> bandTexts_; // slots_ text ids per band
    std::vector<int> pageFirstBand_;
    std::vector<QString> texts_; // distinct texts, by id
    QHash<QString, std::uint32_t> textIds_;
};

} // namespace bingo::report
