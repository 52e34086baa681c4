#include "store/CardTableReader.h"

#include "store/ReaderMessages.h"
#include "store/Sqlite.h"
#include "store/StoreError.h"
#include "store/StoreMessages.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <sys/stat.h>

namespace bingo::store {

namespace {

using detail::Database;
using detail::SqliteError;
using detail::Statement;

bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

std::string fieldText(int i) {
    return "S" + std::to_string(i);
}

} // namespace

CardTableReader::CardTableReader(std::filesystem::path file, std::string table)
    : file_(std::move(file)), table_(std::move(table)) {}

std::vector<cards::Card> CardTableReader::load() const {
    const auto fail = [&](const std::string& reason) -> StoreError {
        return StoreError(messages::reader::cannotRead(file_, reason));
    };

    struct stat st {};
    if (::lstat(file_.c_str(), &st) != 0)
        throw fail(messages::reader::fileMissing());
    if (S_ISLNK(st.st_mode))
        throw fail(messages::reader::symbolicLink());
    if (!S_ISREG(st.st_mode))
        throw fail(messages::reader::notARegularFile());

    // The directory resolved, because SQLite told not to follow links refuses one anywhere.
    std::error_code ignored;
    const std::filesystem::path dir = std::filesystem::canonical(file_.parent_path(), ignored);
    const std::filesystem::path opened = dir.empty() ? file_ : dir / file_.filename();

    try {
        Database db(opened, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOFOLLOW, "");
        db.setBusyTimeout(busyTimeout_);

        Statement columns = db.prepare("SELECT name FROM pragma_table_info(?1)");
        columns.bind(1, table_);
        std::vector<std::string> names;
        while (columns.step())
            names.emplace_back(columns.columnText(0));
        if (names.empty())
            throw fail(messages::reader::noTable(table_));

        std::string sql = "SELECT ";
        for (int i = 0; i < 1 + cards::NumbersPerCard; ++i) {
            const std::string field = fieldText(i);
            const auto found = std::find_if(names.begin(), names.end(), [&](const std::string& n) {
                return sameName(n, field);
            });
            if (found == names.end())
                throw fail(messages::reader::missingField(field));
            if (i > 0)
                sql += ", ";
            sql += detail::quoted(*found);
        }
        sql += " FROM " + detail::quoted(table_) + " ORDER BY rowid";

        std::vector<cards::Card> result;
        // One statement, one read transaction: it ends when the statement is finished below.
        Statement rows = db.prepare(sql);
        while (rows.step()) {
            const auto record = result.size() + 1;
            cards::Card& card = result.emplace_back();
            sqlite3_stmt* stmt = rows.handle();
            if (sqlite3_column_type(stmt, 0) != SQLITE_INTEGER ||
                sqlite3_column_int64(stmt, 0) !=
                    static_cast<std::int32_t>(sqlite3_column_int64(stmt, 0)))
                throw fail(messages::reader::serialNotAnInteger(record));
            card.serial = static_cast<std::int32_t>(sqlite3_column_int64(stmt, 0));
            std::bitset<100> seen;
            for (int k = 0; k < cards::NumbersPerCard; ++k) {
                const sqlite3_int64 value = sqlite3_column_int64(stmt, k + 1);
                if (sqlite3_column_type(stmt, k + 1) != SQLITE_INTEGER || value < 1 || value > 99)
                    throw fail(
                        messages::reader::numberOutOfRange(record, card.serial, fieldText(k + 1)));
                if (seen.test(static_cast<std::size_t>(value)))
                    throw fail(messages::reader::numberRepeated(record, card.serial, value));
                seen.set(static_cast<std::size_t>(value));
                card.numbers[static_cast<std::size_t>(k)] = static_cast<std::int32_t>(value);
            }
        }
        if (result.empty())
            throw fail(messages::reader::empty());
        return result;
    } catch (const SqliteError& error) {
        switch (error.primaryCode()) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            throw fail(messages::reader::locked());
        case SQLITE_NOTADB:
            throw fail(messages::reader::notADatabase());
        case SQLITE_CORRUPT:
            throw fail(messages::reader::damaged());
        case SQLITE_READONLY:
            throw fail(messages::reader::unfinishedWrite());
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            throw fail(messages::reader::cannotOpen());
        default:
            // SQLite's own text is English; the shared reasons say it in Chinese where they can.
            throw fail(
                messages::sqliteReason(error.sqliteCode(), error.systemErrno(), error.what()));
        }
    }
}

} // namespace bingo::store
