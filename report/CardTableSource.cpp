#include "report/CardTableSource.h"

#include "store/CardTable.h"

namespace bingo::report {
namespace {

class CardTableCursor final : public RecordCursor {
  public:
    explicit CardTableCursor(store::CardTable::Cursor cursor) : cursor_(std::move(cursor)) {}
    bool next() override { return cursor_.next(); }
    const std::string& field(int i) const override { return cursor_.field(i); }

  private:
    store::CardTable::Cursor cursor_;
};

} // namespace

QStringList CardTableSource::fieldNames() const {
    QStringList names;
    for (int i = 0; i < store::FieldCount; ++i)
        names << u'S' + QString::number(i);
    return names;
}

std::unique_ptr<RecordCursor> CardTableSource::read() const {
    return std::make_unique<CardTableCursor>(table_.read());
}

std::int64_t CardTableSource::recordCount() const {
    return table_.recordCount();
}

} // namespace bingo::report
