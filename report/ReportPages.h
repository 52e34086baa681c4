#pragma once

#include "report/BandRun.h"
#include "report/PageFlow.h"
#include "report/Records.h"
#include "report/ReportLayout.h"

#include <QHash>
#include <QImage>
#include <QObject>
#include <QSizeF>
#include <cstdint>
#include <memory>
#include <vector>

class QPainter;

namespace bingo::report {

class BandPainter;

/// A report laid out from its records: one band per record (one band without a record when
/// there are none and the layout prints if empty), flowed onto pages. The layout runs a chunk
/// of records per turn of the event loop and keeps per band only its place and its texts
/// after the handlers ran, so the pages are painted on demand and stay small in memory.
/// Saving and printing are ReportOutput's. Use from one thread only.
class ReportPages final : public QObject {
    Q_OBJECT
  public:
    /// Reads records (which must outlive this object) through layout. Throws
    /// std::runtime_error when the layout binds a field the records lack ("<component>: Field
    /// '<name>' not found") or names a handler that handlers lacks.
    ReportPages(std::shared_ptr<const ReportLayout> layout, const RecordSource& records,
                PrintHandlers handlers, QObject* parent = nullptr);
    /// The same, the paper lying as orientation says instead of as the layout has it.
    ReportPages(std::shared_ptr<const ReportLayout> layout, const RecordSource& records,
                PrintHandlers handlers, QPageLayout::Orientation orientation);
    ~ReportPages() override;
    Q_DISABLE_COPY_MOVE(ReportPages)

    /// Opens a reading from the first record and lays the records out over the next turns of
    /// the event loop; a failure there ends the layout in the failed state (failed()). Throws
    /// what the records throw when they cannot be read. Does nothing once started.
    void start();
    /// Lays out at once whatever is left, starting first if need be. An exception from the
    /// records or a handler fails the layout (hasFailed()) and is passed on, the record's
    /// number in its message.
    void layOutAll();
    /// Stops a layout in progress, releases the reading and discards the pages.
    void cancel();
    [[nodiscard]] bool isLayingOut() const { return state_ == State::LayingOut; }
    [[nodiscard]] bool isComplete() const { return state_ == State::Complete; }
    [[nodiscard]] bool hasFailed() const { return state_ == State::Failed; }
    /// Why the layout failed ("" unless hasFailed()); the pages laid out before stay.
    [[nodiscard]] const QString& failure() const { return failure_; }

    [[nodiscard]] const ReportLayout& layout() const { return *layout_; }
    [[nodiscard]] std::shared_ptr<const ReportLayout> sharedLayout() const { return layout_; }
    /// A report over the same records and handlers, not laid out yet, on paper lying as
    /// orientation says: what a print lays out anew.
    [[nodiscard]] std::unique_ptr<ReportPages> anew(QPageLayout::Orientation orientation) const;

    [[nodiscard]] int bandCount() const { return static_cast<int>(bands_.size()); }
    /// Where band (from 0) was placed, in tenths of a millimetre.
    [[nodiscard]] BandPlace bandPlace(int band) const;
    /// What the component called componentName prints on band: "" for nothing (and for
    /// rectangles).
    [[nodiscard]] QString bandText(int band, const QString& componentName) const;

    /// Pages laid out so far (grows while isLayingOut()), numbered from 0.
    [[nodiscard]] int pageCount() const;
    /// Paper size in millimetres (210 x 297 for A4 portrait).
    [[nodiscard]] QSizeF pageSizeMm(int page) const;
    /// Layout progress in percent, 100 when complete.
    [[nodiscard]] int progressPercent() const;

    /// Paints page onto p, set up with BandPainter::setUpPainter(), with painter (one per
    /// output, so that a print never shares the preview's).
    void paintPage(QPainter& p, int page, BandPainter& painter) const;
    /// Renders page into an image of pixelSize, white paper, with this object's own painter.
    [[nodiscard]] QImage renderPage(int page, QSize pixelSize) const;

  Q_SIGNALS:
    /// pageCount() has grown, or the layout progress changed.
    void pagesChanged();
    /// The layout has finished: pageCount() is final.
    void completed();
    /// The layout stopped at a failure; message says which record and why.
    void failed(const QString& message);

  private:
    enum class State { Idle, LayingOut, Complete, Failed, Cancelled };
    struct Placed {
        std::int32_t page;
        std::int16_t column;
        std::int16_t left; // tenths of a millimetre
        std::int16_t top;
    };

    void layOutNext(std::int64_t records);
    void layOutChunk();
    void keep(const BandPlace& place, const std::vector<QString>& texts);
    void finish(State state);
    void textsOf(int band, std::vector<QString>& texts) const;

    std::shared_ptr<const ReportLayout> layout_;
    const RecordSource& records_;
    PrintHandlers handlers_;
    QPageLayout::Orientation orientation_;
    PageGeometry geometry_;
    std::unique_ptr<BandFiller> filler_;
    std::unique_ptr<BandPainter> painter_; // the preview's
    std::vector<int> slotOf_;              // component -> its text slot in a kept band, or -1
    int slots_ = 0;

    State state_ = State::Idle;
    QString failure_;
    std::unique_ptr<BandRun> run_;
    std::int64_t expectedRecords_ = 0;
    std::vector<QString> scratch_;

    std::vector<Placed> bands_;
    std::vector<std::uint32_t> bandTexts_; // slots_ text ids per band
    std::vector<int> pageFirstBand_;
    std::vector<QString> texts_; // distinct texts, by id
    QHash<QString, std::uint32_t> textIds_;
};

} // namespace bingo::report
