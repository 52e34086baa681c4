#include "TableFixture.h"

#include <cstdlib>
#include <sstream>
#include <sys/stat.h>
#include <system_error>

namespace bingo::store::test {

cards::Card cardNumber(std::int32_t serial) {
    cards::Card card;
    card.serial = serial;
    for (int k = 0; k < cards::NumbersPerCard; ++k)
        card.numbers[static_cast<std::size_t>(k)] = (serial * 7 + k) % 99 + 1;
    return card;
}

Record recordOf(std::int32_t serial) {
    const cards::Card card = cardNumber(serial);
    Record record;
    record[0] = std::to_string(card.serial);
    for (int k = 0; k < cards::NumbersPerCard; ++k)
        record[static_cast<std::size_t>(k) + 1] =
            std::to_string(card.numbers[static_cast<std::size_t>(k)]);
    return record;
}

void runJob(CardTable& table, int sheets) {
    table.prepare();
    CardTable::Batch batch(table);
    for (int serial = 1; serial <= cards::CardsPerSheet * sheets; ++serial)
        table.store(cardNumber(serial));
    batch.commit();
}

std::vector<Record> readAll(const CardTable& table) {
    std::vector<Record> records;
    CardTable::Cursor cursor = table.read();
    while (cursor.next()) {
        Record record;
        for (int i = 0; i < FieldCount; ++i)
            record[static_cast<std::size_t>(i)] = cursor.field(i);
        records.push_back(record);
    }
    return records;
}

std::vector<std::string> serials(const CardTable& table) {
    std::vector<std::string> result;
    for (const Record& record : readAll(table))
        result.push_back(record[0]);
    return result;
}

detail::Database rawConnection(const std::filesystem::path& file) {
    return detail::Database(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, "");
}

std::vector<std::string> column(detail::Database& db, const std::string& sql) {
    detail::Statement stmt = db.prepare(sql);
    std::vector<std::string> values;
    while (stmt.step())
        values.emplace_back(stmt.columnText(0));
    return values;
}

TableFixture::TableFixture() {
    std::string pattern = (std::filesystem::temp_directory_path() / "store-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::system_error(errno, std::generic_category(), "mkdtemp");
    dir_ = pattern;
    table_.setDirectory(dir_);
}

TableFixture::~TableFixture() {
    table_.close();
    // A test may have taken the write permission away.
    std::error_code ignored;
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(dir_, ignored);
}

} // namespace bingo::store::test
