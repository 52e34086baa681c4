#include "store/CardTable.h"

#include "store/Sqlite.h"
#include "store/StoreError.h"
#include "store/StoreMessages.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace bingo::store {

namespace {

using detail::Database;
using detail::SqliteError;
using detail::Statement;
using messages::Action;

constexpr std::string_view DefaultTableName = "tmpBingo";

bool sameName(std::string_view a, std::string_view b) {
    // SQLite folds only ASCII letters in identifiers, and so do we.
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

/// Why the file cannot be opened or written, found by looking at the file system.
std::string accessReason(const std::filesystem::path& file, const SqliteError& error) {
    const std::filesystem::path dir = file.parent_path();
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0)
        return errno == ENOENT ? messages::directoryMissing(dir)
                               : messages::directoryUnreachable(dir, errno);
    if (!S_ISDIR(st.st_mode))
        return messages::notADirectory(dir);
    const bool exists = ::lstat(file.c_str(), &st) == 0;
    if (exists && S_ISLNK(st.st_mode))
        return messages::symbolicLink();
    if (exists && !S_ISREG(st.st_mode))
        return messages::notARegularFile();
    if (!exists && errno == ENOENT)
        return messages::fileMissing();
    // A link put in place between our check and SQLite's open.
    if (error.sqliteCode() == SQLITE_CANTOPEN_SYMLINK)
        return messages::symbolicLink();
    // SQLite could not make the journal beside the file.
    if (error.sqliteCode() == SQLITE_READONLY_DIRECTORY)
        return messages::directoryNotWritable(dir, error.systemErrno());
    if (::euidaccess(dir.c_str(), W_OK) != 0)
        return messages::directoryNotWritable(dir, errno);
    if (::euidaccess(file.c_str(), R_OK | W_OK) != 0)
        return messages::fileNotReadWritable(errno);
    return messages::sqliteReason(error.sqliteCode(), error.systemErrno(), error.what());
}

/// The reason part of a message for a failure SQLite reported on `file`.
std::string explain(const std::filesystem::path& file, const SqliteError& error) {
    switch (error.primaryCode()) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return messages::locked();
    case SQLITE_NOTADB:
        return messages::notADatabase();
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return accessReason(file, error);
    default:
        return messages::sqliteReason(error.sqliteCode(), error.systemErrno(), error.what());
    }
}

/// A SQLite failure as a StoreError naming the action, the file and the reason.
StoreError translated(Action action, const std::filesystem::path& file, const SqliteError& error) {
    return StoreError(messages::cannot(action, file, explain(file, error)), error.sqliteCode());
}

/// Runs f; a SQLite failure becomes translated(). Other StoreErrors (already worded) pass
/// through.
template <class F> auto guarded(Action action, const std::filesystem::path& file, F&& f) {
    try {
        return f();
    } catch (const SqliteError& error) {
        throw translated(action, file, error);
    }
}

std::vector<std::string> columnNames(Database& db, const std::string& table) {
    Statement stmt = db.prepare("SELECT name FROM pragma_table_info(?1)");
    stmt.bind(1, table);
    std::vector<std::string> names;
    while (stmt.step())
        names.emplace_back(stmt.columnText(0));
    return names;
}

bool hasColumn(const std::vector<std::string>& columns, std::string_view name) {
    return std::any_of(columns.begin(), columns.end(),
                       [&](const std::string& column) { return sameName(column, name); });
}

bool hasTable(Database& db, const std::string& table) {
    Statement stmt =
        db.prepare("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE");
    stmt.bind(1, table);
    return stmt.step();
}

void createTable(Database& db, const std::string& table, bool replace) {
    std::string sql = "CREATE TABLE " + detail::quoted(table) + " (";
    for (int i = 0; i < FieldCount; ++i) {
        if (i > 0)
            sql += ", ";
        sql += detail::quoted(fieldName(i));
        sql += i == 0 ? " INTEGER" : " SMALLINT";
    }
    sql += ")";
    detail::Transaction transaction(db);
    if (replace)
        db.exec("DROP TABLE IF EXISTS " + detail::quoted(table));
    db.exec(sql);
    transaction.commit();
}

} // namespace

std::string fieldName(int i) {
    return "S" + std::to_string(i);
}

/// Shared with the table, which finalizes the statement when it closes: a cursor left over
/// then fails instead of holding a lock on the file.
struct CardTable::Cursor::State {
    State(Statement stmt, std::filesystem::path file)
        : stmt(std::move(stmt)), file(std::move(file)) {}
    std::optional<Statement> stmt;
    std::filesystem::path file;
    std::array<std::string, FieldCount> fields;
    bool done = false;
};

struct CardTable::Impl {
    std::string component;
    std::filesystem::path directory;
    std::string name{DefaultTableName};
    std::string vfs;
    // Declared before the statement, so the statement is finalized first.
    std::optional<Database> db;
    // Prepared on the first store() after open(), once the fields have been checked.
    std::optional<Statement> insert;
    std::vector<std::weak_ptr<Cursor::State>> cursors;

    Impl() = default;
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    ~Impl() { close(); }

    /// The file as messages name it: absolute (so SQLite never takes a relative "file:..."
    /// for a URI), with the directory as it was given.
    [[nodiscard]] std::filesystem::path file() const {
        std::error_code error;
        const std::filesystem::path dir = std::filesystem::absolute(directory, error);
        return (error ? directory : dir) / (name + ".db");
    }

    /// The file as it is opened: the directory with its symbolic links resolved, because
    /// SQLite, told not to follow a link at the file, refuses one anywhere in the path.
    [[nodiscard]] std::filesystem::path openedFile() const {
        std::error_code error;
        const std::filesystem::path dir = std::filesystem::canonical(directory, error);
        return error ? file() : dir / (name + ".db");
    }

    [[noreturn]] void fail(Action action, const std::string& reason) const {
        throw StoreError(messages::cannot(action, file(), reason));
    }

    void requireDirectory(Action action) const {
        if (directory.empty())
            throw StoreError(messages::cannot(action, name + ".db", messages::noDirectorySet()));
    }

    Database& requireOpen(Action action) {
        if (!db)
            fail(action, messages::notOpen());
        return *db;
    }

    void close() noexcept {
        for (const auto& cursor : cursors)
            if (const auto state = cursor.lock())
                state->stmt.reset();
        cursors.clear();
        insert.reset();
        db.reset();
    }

    void createFileIfMissing() const {
        const std::filesystem::path path = openedFile();
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                              S_IRUSR | S_IWUSR);
        if (fd < 0) {
            const int error = errno;
            if (error == EEXIST)
                return;
            const std::filesystem::path dir = file().parent_path();
            struct stat st {};
            switch (error) {
            case ENOENT:
                // Some file systems (/proc, /sys) answer "no such file" to a new file in a
                // directory that is there.
                if (::stat(path.parent_path().c_str(), &st) == 0 && S_ISDIR(st.st_mode))
                    fail(Action::Create, messages::directoryTakesNoFiles(dir));
                fail(Action::Create, messages::directoryMissing(dir));
            case ENOTDIR:
                fail(Action::Create, messages::notADirectory(dir));
            case EACCES:
            case EPERM:
            case EROFS:
                fail(Action::Create, messages::directoryNotWritable(dir, error));
            default:
                fail(Action::Create, messages::systemReason(error));
            }
        }
        // The umask may take bits away; the owner must still read and write.
        const int chmodResult = ::fchmod(fd, S_IRUSR | S_IWUSR);
        const int chmodError = errno;
        ::close(fd);
        if (chmodResult != 0)
            fail(Action::Create, messages::systemReason(chmodError));
    }

    /// A new connection to the existing file; with `ensureTable` a database without the table
    /// is given one. Nothing is written before SQLite has read the file as a database.
    [[nodiscard]] Database connect(bool ensureTable) const {
        requireDirectory(Action::Open);
        const std::filesystem::path path = openedFile();
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0) {
            if (S_ISLNK(st.st_mode))
                fail(Action::Open, messages::symbolicLink());
            // Anything else (a FIFO would block the first read forever) is not ours to open.
            if (!S_ISREG(st.st_mode))
                fail(Action::Open, messages::notARegularFile());
        }
        return guarded(Action::Open, file(), [&] {
            // One thread uses the table (see the header), so the connection needs no mutex of
            // its own: a job binds 26 values per card, and each would lock and unlock it.
            Database connection(
                path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_NOMUTEX, vfs);
            connection.setBusyTimeout(BusyTimeout);
            // Some builds of SQLite (Debian's among them) scrub every freed page by default:
            // emptying the table then journals and rewrites the whole file, and the next job
            // writes it all once more. FAST scrubs only where that costs no extra I/O, so freed
            // pages go to the freelist untouched, and the job's transaction, which begins after
            // the emptying has committed, reuses them without journaling their old content.
            connection.exec("PRAGMA secure_delete = FAST");
            const bool tableExists = hasTable(connection, name);
            if (connection.isReadOnly())
                throw SqliteError(SQLITE_READONLY, messages::fileReadOnly());
            if (!tableExists && ensureTable)
                createTable(connection, name, false);
            return connection;
        });
    }

    void deleteAll(Database& connection) const {
        guarded(Action::Empty, file(),
                [&] { connection.exec("DELETE FROM " + detail::quoted(name)); });
    }

    void prepareInsert(Database& connection) {
        const std::vector<std::string> columns =
            guarded(Action::Open, file(), [&] { return columnNames(connection, name); });
        for (int i = 0; i < FieldCount; ++i)
            if (!hasColumn(columns, fieldName(i)))
                throw StoreError(messages::missingField(component, fieldName(i)));

        std::string sql = "INSERT INTO " + detail::quoted(name) + " (";
        std::string values = ") VALUES (";
        for (int i = 0; i < FieldCount; ++i) {
            if (i > 0) {
                sql += ", ";
                values += ", ";
            }
            sql += detail::quoted(fieldName(i));
            values += "?" + std::to_string(i + 1);
        }
        sql += values + ")";
        insert = guarded(Action::Open, file(), [&] { return connection.prepare(sql, true); });
    }
};

CardTable::CardTable(std::string componentName) : impl_(std::make_unique<Impl>()) {
    impl_->component = std::move(componentName);
}

CardTable::~CardTable() = default;

void CardTable::setDirectory(std::filesystem::path directory) {
    close();
    impl_->directory = std::move(directory);
}

void CardTable::setTableName(std::string name) {
    if (name.empty() || name == "." || name == ".." ||
        name.find_first_of(std::string_view("/\0", 2)) != std::string::npos)
        throw StoreError(messages::notAPlainTableName(name));
    close();
    impl_->name = std::move(name);
}

void CardTable::setVfsName(std::string vfs) {
    close();
    impl_->vfs = std::move(vfs);
}

const std::filesystem::path& CardTable::directory() const noexcept {
    return impl_->directory;
}

const std::string& CardTable::tableName() const noexcept {
    return impl_->name;
}

std::filesystem::path CardTable::filePath() const {
    return impl_->directory / (impl_->name + ".db");
}

bool CardTable::fileExists() const {
    struct stat st {};
    return ::lstat(filePath().c_str(), &st) == 0;
}

void CardTable::create() {
    close();
    impl_->requireDirectory(Action::Create);
    impl_->createFileIfMissing();
    Database connection = impl_->connect(false);
    guarded(Action::Create, impl_->file(), [&] { createTable(connection, impl_->name, true); });
}

void CardTable::prepare() {
    if (!fileExists())
        create();
    close();
    // Emptying and opening share one connection: the same result as close, empty, open. The
    // emptying commits on its own, so the job's transaction finds the freed pages free already.
    Database connection = impl_->connect(true);
    impl_->deleteAll(connection);
    impl_->db = std::move(connection);
}

void CardTable::open() {
    close();
    impl_->db = impl_->connect(true);
}

void CardTable::close() noexcept {
    impl_->close();
}

void CardTable::empty() {
    if (impl_->db) {
        impl_->deleteAll(*impl_->db);
        return;
    }
    Database connection = impl_->connect(true);
    impl_->deleteAll(connection);
}

bool CardTable::isOpen() const noexcept {
    return impl_->db.has_value();
}

void CardTable::store(const cards::Card& card) {
    Impl& impl = *impl_;
    if (!impl.insert) {
        Database& connection = impl.requireOpen(Action::WriteTo);
        impl.prepareInsert(connection);
    }
    Statement& insert = *impl.insert;
    try {
        // Bound by position: the INSERT names the columns, so ?1 is "S0" and ?k+1 is "Sk".
        insert.bind(1, card.serial);
        for (int k = 0; k < cards::NumbersPerCard; ++k)
            insert.bind(k + 2, card.numbers[k]);
        insert.step();
        insert.reset();
    } catch (const SqliteError& error) {
        const std::filesystem::path file = impl.file();
        throw StoreError(messages::cannotStoreCard(card.serial, file, explain(file, error)),
                         error.sqliteCode());
    }
}

CardTable::Batch::Batch(CardTable& table) : table_(&table) {
    Database& connection = table.impl_->requireOpen(Action::WriteTo);
    guarded(Action::WriteTo, table.impl_->file(), [&] { connection.exec("BEGIN IMMEDIATE"); });
}

CardTable::Batch::~Batch() {
    if (done_)
        return;
    const auto& db = table_->impl_->db;
    // Some errors make SQLite end the transaction itself; then there is nothing to undo.
    if (db && !db->inAutocommit())
        sqlite3_exec(db->handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void CardTable::Batch::keepStored() noexcept {
    if (done_)
        return;
    done_ = true;
    const auto& db = table_->impl_->db;
    if (!db || db->inAutocommit())
        return;
    if (sqlite3_exec(db->handle(), "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        sqlite3_exec(db->handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void CardTable::Batch::commit() {
    if (done_)
        return;
    done_ = true;
    Impl& impl = *table_->impl_;
    if (!impl.db || impl.db->inAutocommit())
        impl.fail(Action::SaveCards, messages::transactionEnded());
    try {
        impl.db->exec("COMMIT");
    } catch (const SqliteError& error) {
        sqlite3_exec(impl.db->handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw translated(Action::SaveCards, impl.file(), error);
    }
}

CardTable::Cursor::Cursor(std::shared_ptr<State> state) : state_(std::move(state)) {}
CardTable::Cursor::Cursor(Cursor&&) noexcept = default;
CardTable::Cursor& CardTable::Cursor::operator=(Cursor&&) noexcept = default;
CardTable::Cursor::~Cursor() = default;

bool CardTable::Cursor::next() {
    // A finished statement would start over on the next step, so the end is remembered.
    if (!state_ || state_->done)
        return false;
    if (!state_->stmt)
        throw StoreError(
            messages::cannot(Action::Read, state_->file, messages::closedWhileReading()));
    const bool row = guarded(Action::Read, state_->file, [&] { return state_->stmt->step(); });
    if (!row) {
        state_->done = true;
        return false;
    }
    for (int i = 0; i < FieldCount; ++i)
        state_->fields[static_cast<std::size_t>(i)].assign(state_->stmt->columnText(i));
    return true;
}

const std::string& CardTable::Cursor::field(int i) const {
    if (!state_)
        throw std::out_of_range("CardTable::Cursor::field: the cursor was moved from");
    return state_->fields.at(static_cast<std::size_t>(i));
}

CardTable::Cursor CardTable::read() const {
    Database& connection = impl_->requireOpen(Action::Read);
    return guarded(Action::Read, impl_->file(), [&] {
        // A field missing from a table edited by hand reads as NULL, that is "".
        const std::vector<std::string> columns = columnNames(connection, impl_->name);
        std::string sql = "SELECT ";
        for (int i = 0; i < FieldCount; ++i) {
            if (i > 0)
                sql += ", ";
            sql += hasColumn(columns, fieldName(i)) ? detail::quoted(fieldName(i)) : "NULL";
        }
        sql += " FROM " + detail::quoted(impl_->name) + " ORDER BY rowid";
        auto state = std::make_shared<Cursor::State>(connection.prepare(sql), impl_->file());
        std::erase_if(impl_->cursors, [](const auto& cursor) { return cursor.expired(); });
        impl_->cursors.push_back(state);
        return Cursor(std::move(state));
    });
}

std::int64_t CardTable::recordCount() const {
    Database& connection = impl_->requireOpen(Action::CountRecords);
    return guarded(Action::CountRecords, impl_->file(), [&] {
        Statement stmt = connection.prepare("SELECT count(*) FROM " + detail::quoted(impl_->name));
        stmt.step();
        return static_cast<std::int64_t>(sqlite3_column_int64(stmt.handle(), 0));
    });
}

} // namespace bingo::store
