#pragma once

#include "store/StoreError.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <sqlite3.h>
#include <string>
#include <string_view>

/// A thin RAII layer over SQLite's C API. Every failure throws detail::SqliteError.
namespace bingo::store::detail {

/// A failure reported by SQLite: its (extended) result code, its message and the errno of the
/// system call behind it, if any. The card table turns it into a message naming the file.
class SqliteError : public StoreError {
  public:
    SqliteError(int code, const std::string& message, int systemErrno = 0)
        : StoreError(message, code), systemErrno_(systemErrno) {}
    /// The primary result code (SQLITE_BUSY, SQLITE_NOTADB, ...).
    [[nodiscard]] int primaryCode() const noexcept { return sqliteCode() & 0xff; }
    /// errno of the failed system call, 0 where SQLite recorded none.
    [[nodiscard]] int systemErrno() const noexcept { return systemErrno_; }

  private:
    int systemErrno_;
};

class Statement;

/// One connection. The handle is owned from the moment sqlite3_open_v2 returns, so a failed
/// open still closes it.
class Database {
  public:
    /// vfs: empty for the default one.
    Database(const std::filesystem::path& file, int flags, const std::string& vfs);
    Database(Database&&) noexcept = default;
    Database& operator=(Database&&) noexcept = default;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database() = default;

    [[nodiscard]] sqlite3* handle() const noexcept { return db_.get(); }
    void setBusyTimeout(std::chrono::milliseconds timeout);
    /// True when SQLite fell back to read-only access to the main database file.
    [[nodiscard]] bool isReadOnly() const noexcept;
    /// True outside an explicit transaction (SQLite may end one by itself after some errors).
    [[nodiscard]] bool inAutocommit() const noexcept;
    /// Runs statements that return no rows.
    void exec(const std::string& sql);
    [[nodiscard]] Statement prepare(std::string_view sql, bool persistent = false);

  private:
    struct Closer {
        // close_v2 defers the close while statements are alive, so the order in which
        // owners are destroyed never leaks or crashes.
        void operator()(sqlite3* db) const noexcept { sqlite3_close_v2(db); }
    };
    std::unique_ptr<sqlite3, Closer> db_;
};

/// One prepared statement. Bind positions are 1-based, column indexes 0-based (SQLite's own
/// convention).
class Statement {
  public:
    Statement(Statement&&) noexcept = default;
    Statement& operator=(Statement&&) noexcept = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() = default;

    [[nodiscard]] sqlite3_stmt* handle() const noexcept { return stmt_.get(); }
    void bind(int position, int value);
    void bind(int position, std::string_view text);
    /// Steps once: true with a row to read, false when done. Throws on failure; the statement
    /// is reset then, ready to run again.
    bool step();
    /// Ready to run again; bindings stay.
    void reset() noexcept { sqlite3_reset(stmt_.get()); }
    /// The column's value as text; "" for NULL. Valid until the next step or reset.
    [[nodiscard]] std::string_view columnText(int column) const noexcept;

  private:
    friend class Database;
    explicit Statement(sqlite3_stmt* stmt) noexcept : stmt_(stmt) {}
    struct Finalizer {
        void operator()(sqlite3_stmt* stmt) const noexcept { sqlite3_finalize(stmt); }
    };
    std::unique_ptr<sqlite3_stmt, Finalizer> stmt_;
};

/// An explicit transaction that rolls back unless commit() ran.
class Transaction {
  public:
    /// BEGIN IMMEDIATE: takes the write lock now, so a locked file fails before any work.
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

  private:
    Database& db_;
    bool done_ = false;
};

/// The SQL text of an identifier in double quotes, inner quotes doubled.
[[nodiscard]] std::string quoted(std::string_view identifier);

} // namespace bingo::store::detail
