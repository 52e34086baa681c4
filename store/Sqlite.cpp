#include "store/Sqlite.h"

namespace bingo::store::detail {

namespace {

/// Throws the connection's last error; `code` is the result that reported it.
[[noreturn]] void throwError(sqlite3* db, int code) {
    if (db == nullptr)
        throw SqliteError(code, sqlite3_errstr(code));
    throw SqliteError(code, sqlite3_errmsg(db), sqlite3_system_errno(db));
}

} // namespace

Database::Database(const std::filesystem::path& file, int flags, const std::string& vfs) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(file.c_str(), &raw, flags | SQLITE_OPEN_EXRESCODE,
                                   vfs.empty() ? nullptr : vfs.c_str());
    db_.reset(raw);
    if (rc != SQLITE_OK)
        throwError(raw, rc);
}

void Database::setBusyTimeout(std::chrono::milliseconds timeout) {
    const int rc = sqlite3_busy_timeout(handle(), static_cast<int>(timeout.count()));
    if (rc != SQLITE_OK)
        throwError(handle(), rc);
}

bool Database::isReadOnly() const noexcept {
    return sqlite3_db_readonly(handle(), "main") == 1;
}

bool Database::inAutocommit() const noexcept {
    return sqlite3_get_autocommit(handle()) != 0;
}

void Database::exec(const std::string& sql) {
    const int rc = sqlite3_exec(handle(), sql.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throwError(handle(), rc);
}

Statement Database::prepare(std::string_view sql, bool persistent) {
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v3(handle(), sql.data(), static_cast<int>(sql.size()),
                                      persistent ? SQLITE_PREPARE_PERSISTENT : 0, &raw, nullptr);
    Statement statement(raw);
    if (rc != SQLITE_OK)
        throwError(handle(), rc);
    return statement;
}

void Statement::bind(int position, int value) {
    const int rc = sqlite3_bind_int(handle(), position, value);
    if (rc != SQLITE_OK)
        throwError(sqlite3_db_handle(handle()), rc);
}

void Statement::bind(int position, std::string_view text) {
    const int rc = sqlite3_bind_text(handle(), position, text.data(), static_cast<int>(text.size()),
                                     SQLITE_TRANSIENT);
    if (rc != SQLITE_OK)
        throwError(sqlite3_db_handle(handle()), rc);
}

bool Statement::step() {
    const int rc = sqlite3_step(handle());
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3* db = sqlite3_db_handle(handle());
    SqliteError error(rc, sqlite3_errmsg(db), sqlite3_system_errno(db));
    reset();
    throw error;
}

std::string_view Statement::columnText(int column) const noexcept {
    // text before bytes: sqlite3_column_bytes then reports the length of that text.
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(handle(), column));
    if (text == nullptr)
        return {};
    return {text, static_cast<std::size_t>(sqlite3_column_bytes(handle(), column))};
}

Transaction::Transaction(Database& db) : db_(db) {
    db_.exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (!done_ && !db_.inAutocommit())
        sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
    db_.exec("COMMIT");
    done_ = true;
}

std::string quoted(std::string_view identifier) {
    std::string sql = "\"";
    for (const char c : identifier) {
        if (c == '"')
            sql += '"';
        sql += c;
    }
    sql += '"';
    return sql;
}

} // namespace bingo::store::detail
