#pragma once

#include <QStringList>
#include <cstdint>
#include <memory>
#include <string>

namespace bingo::report {

/// One reading of a data set's records, from the first to the last.
class RecordCursor {
  public:
    virtual ~RecordCursor() = default;
    /// Steps to the next record (the first one on the first call); false at the end.
    [[nodiscard]] virtual bool next() = 0;
    /// The display text of field i of the current record ("" for NULL), i from 0.
    [[nodiscard]] virtual const std::string& field(int i) const = 0;
};

/// The data a report reads: its field names and fresh readings from the first record.
class RecordSource {
  public:
    virtual ~RecordSource() = default;
    /// Field names in field order; a report binds its data fields to them by name.
    [[nodiscard]] virtual QStringList fieldNames() const = 0;
    /// A new reading from the first record. It must not outlive the source.
    [[nodiscard]] virtual std::unique_ptr<RecordCursor> read() const = 0;
    /// The number of records, for progress.
    [[nodiscard]] virtual std::int64_t recordCount() const = 0;
};

} // namespace bingo::report
