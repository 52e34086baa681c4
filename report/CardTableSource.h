#pragma once

#include "report/Records.h"

namespace bingo::store {
class CardTable;
}

namespace bingo::report {

/// The card table as a report's data: the fields "S0" ... "S25", read in record order.
class CardTableSource final : public RecordSource {
  public:
    /// Reads table, which must outlive this source and every reading of it.
    explicit CardTableSource(const store::CardTable& table) : table_(table) {}

    [[nodiscard]] QStringList fieldNames() const override;
    /// Requires an open table; throws the table's error otherwise.
    [[nodiscard]] std::unique_ptr<RecordCursor> read() const override;
    [[nodiscard]] std::int64_t recordCount() const override;

  private:
    const store::CardTable& table_;
};

} // namespace bingo::report
