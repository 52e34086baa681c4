#pragma once

#include "cards/Card.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace bingo::store {

/// Field count of a card record: "S0" (serial) then "S1" ... "S25".
inline constexpr int FieldCount = 1 + cards::NumbersPerCard;

/// How long an operation waits for another program's lock before it fails as "locked".
inline constexpr std::chrono::milliseconds BusyTimeout{1000};

/// The name of field i of a card record: "S0" ... "S25".
[[nodiscard]] std::string fieldName(int i);

/// The card table: one SQLite file "<name>.db" in a directory, holding table <name> with the
/// fields "S0" INTEGER and "S1" ... "S25" SMALLINT, records in insertion (rowid) order.
/// Every failure throws StoreError with a message a user can act on, and leaves the table
/// closed or as it was; the next prepare() starts afresh. Not thread-safe: one thread only.
///
/// The file is never reached through a symbolic link, and a file that is not a SQLite
/// database is never written to: operations on it fail and leave it byte for byte as it was.
/// Any operation that opens the file gives a database lacking the table an empty table.
class CardTable final : public cards::CardSink {
  public:
    /// componentName prefixes field errors ("tbTmp: Field 'S5' not found").
    explicit CardTable(std::string componentName);
    ~CardTable() override;
    CardTable(const CardTable&) = delete;
    CardTable& operator=(const CardTable&) = delete;

    /// Each setter closes the table first. The name defaults to "tmpBingo"; it must be a
    /// plain file name (not empty, no "/"), else StoreError.
    void setDirectory(std::filesystem::path directory);
    void setTableName(std::string name);
    /// Test seam: the SQLite VFS to open the file through (empty: the default one).
    void setVfsName(std::string vfs);

    [[nodiscard]] const std::filesystem::path& directory() const noexcept;
    [[nodiscard]] const std::string& tableName() const noexcept;
    /// directory / (name + ".db")
    [[nodiscard]] std::filesystem::path filePath() const;
    /// True when something (a file or a link) stands at filePath().
    [[nodiscard]] bool fileExists() const;

    /// Closes the table, creates the file if missing (mode 0600, never through a link) and
    /// (re)creates the table in it, replacing a table of the same name. Leaves it closed.
    void create();
    /// Makes the table exist, empty and open, in one step: create() if no file, close, empty,
    /// open. An existing table's structure is not examined here (see store()).
    void prepare();
    /// Opens an existing file for reading and writing (never creates it).
    void open();
    void close() noexcept;
    /// Deletes all records; keeps the structure. Works on a closed table by opening it briefly.
    void empty();
    [[nodiscard]] bool isOpen() const noexcept;

    /// Groups the appends of one job into one transaction, begun here (so a locked file fails
    /// before any card is drawn). Requires an open table. Rolls back on destruction unless
    /// commit() or keepStored() ran. Never throws from its destructor.
    class Batch {
      public:
        explicit Batch(CardTable& table);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        /// Commits; on failure rolls back and throws. Later calls (of either) do nothing.
        void commit();
        /// For a job that failed part-way: commits the cards stored so far, or rolls them back
        /// where that commit fails too; never throws, so the job's own error is the one shown.
        /// Later calls (of either) do nothing.
        void keepStored() noexcept;

      private:
        CardTable* table_;
        bool done_ = false;
    };

    /// Appends one record. The first append after open() checks the fields by name (case
    /// insensitively, in store order) and throws "<component>: Field 'Sk' not found" for the
    /// first one missing, storing nothing. Requires an open table.
    void store(const cards::Card& card) override;

    /// Reads the records in insertion order. Each field is given as its display text:
    /// integers in decimal, text as stored, REAL as SQLite prints it, NULL as "".
    /// A table edited by hand is read as it stands: a missing field reads as "" in every
    /// record, fields beyond "S25" are ignored, and the names match case-insensitively.
    class Cursor {
      public:
        Cursor(Cursor&&) noexcept;
        Cursor& operator=(Cursor&&) noexcept;
        ~Cursor();
        /// Steps to the next record (the first one on the first call); false at the end.
        [[nodiscard]] bool next();
        /// Field i (0 = "S0" ... 25 = "S25") of the current record; std::out_of_range
        /// outside 0 .. FieldCount - 1. Valid until the next call of next().
        [[nodiscard]] const std::string& field(int i) const;

      private:
        friend class CardTable;
        struct State;
        explicit Cursor(std::shared_ptr<State> state);
        std::shared_ptr<State> state_;
    };
    /// Requires an open table. A cursor read to its end holds no lock; one left part-way holds
    /// a read lock on the file until it is destroyed or the table closes. After close() (and
    /// so after prepare() or the table's destruction) its next() throws StoreError.
    [[nodiscard]] Cursor read() const;
    /// Requires an open table.
    [[nodiscard]] std::int64_t recordCount() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace bingo::store
