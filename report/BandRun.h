#pragma once

#include "report/PageFlow.h"
#include "report/Records.h"
#include "report/ReportLayout.h"

#include <QHash>
#include <QLocale>
#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace bingo::report {

/// Rewrites a text box's value just before it is drawn. Called only when the text it would
/// print is not empty; what it leaves in value is printed. May throw to stop the layout.
using PrintHandler = std::function<void(QString& value)>;
/// Print handlers by the names a layout gives them (Component::onPrint).
using PrintHandlers = QHash<QString, PrintHandler>;

/// Turns a record into the texts of a band's components, running the print handlers.
class BandFiller {
  public:
    /// Binds layout's data fields to fieldNames by name. Throws std::runtime_error when a
    /// field is missing ("<component>: Field '<name>' not found") or a handler is not given.
    BandFiller(const ReportLayout& layout, const QStringList& fieldNames,
               const PrintHandlers& handlers);

    /// texts[i] becomes what component i prints ("" for rectangles); record is null for the
    /// band of an empty data set. Throws what a handler throws.
    void fill(const RecordCursor* record, std::vector<QString>& texts) const;

  private:
    const QString& systemDateTime() const;

    struct Source {
        ComponentKind kind = ComponentKind::Rectangle;
        int field = -1;
        QString text;
        PrintHandler handler;
    };
    std::vector<Source> sources_;
    QLocale system_ = QLocale::system();
    mutable QString systemText_;
    mutable std::chrono::steady_clock::time_point systemTextAt_;
};

/// One pass over the records from the first: each band's place on the pages and its texts.
/// An empty data set gives one band without a record when the layout prints if empty.
class BandRun {
  public:
    /// Opens a reading of records (throws what the records throw); filler must outlive the run.
    BandRun(const ReportLayout& layout, const RecordSource& records, const BandFiller& filler,
            const PageGeometry& geometry);

    /// Moves to the next band and places it; false after the last one.
    [[nodiscard]] bool advance(BandPlace& place);
    /// The texts of the band advance() placed. Throws std::runtime_error naming the record
    /// ("Record <n> cannot be printed: <why>") when a handler or the record fails.
    void fill(std::vector<QString>& texts) const;
    /// Records read so far.
    [[nodiscard]] std::int64_t records() const { return records_; }

  private:
    bool printIfEmpty_;
    std::unique_ptr<RecordCursor> cursor_;
    const BandFiller& filler_;
    PageFlow flow_;
    std::int64_t records_ = 0;
    bool banded_ = false;
    bool atRecord_ = false;
    bool exhausted_ = false;
};

} // namespace bingo::report
