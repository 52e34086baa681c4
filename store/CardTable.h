#pragma once

#include "cards/Card.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace bingo::store {

/// Field count of a card record: "S0" (serial) then "S1" ... "S25".
inline constexpr int FieldCount = 1 + cards::NumbersPerCard;

/// The card table: one SQLite file "<name>.db" in a directory, holding table <name> with the
/// fields "S0" INTEGER and "S1" ... "S25" SMALLINT, records in insertion order.
/// Every failure throws StoreError with a message a user can act on.
class CardTable final : public cards::CardSink {
public:
    /// componentName prefixes field errors ("tbTmp: Field 'S5' not found").
    explicit CardTable(std::string componentName);
    ~CardTable() override;
    CardTable(const CardTable&) = delete;
    CardTable& operator=(const CardTable&) = delete;

    void setDirectory(std::filesystem::path directory);
    void setTableName(std::string name);
    /// Test seam: the SQLite VFS to open the file through (empty: the default one).
    void setVfsName(std::string vfs);

    /// directory / (name + ".db")
    [[nodiscard]] std::filesystem::path filePath() const;
    /// True when something (a file or a link) stands at filePath().
    [[nodiscard]] bool fileExists() const;

    /// Creates the file if missing (mode 0600, never through a link) and (re)creates the table
    /// in it, replacing a table of the same name.
    void create();
    /// Makes the table exist, empty and open, in one step: create() if no file, close, empty, open.
    void prepare();
    void open();
    void close() noexcept;
    /// Deletes all records; keeps the structure. Works on a closed table by opening it briefly.
    void empty();
    [[nodiscard]] bool isOpen() const noexcept;

    /// Groups the appends of one job into one transaction. On destruction without commit()
    /// (a failed job) the cards stored so far are committed all the same; if that fails too,
    /// they are rolled back. Never throws from its destructor.
    class Batch {
    public:
        explicit Batch(CardTable& table);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        void commit();

    private:
        CardTable* table_;
    };

    /// Appends one record. The first append after open() checks the fields by name (case
    /// insensitively, in store order) and throws "<component>: Field 'Sk' not found".
    void store(const cards::Card& card) override;

    /// Reads the records in insertion order. Each field is given as its display text:
    /// integers in decimal, text as stored, NULL as "" (records edited by hand may hold anything).
    class Cursor {
    public:
        Cursor(Cursor&&) noexcept;
        Cursor& operator=(Cursor&&) noexcept;
        ~Cursor();
        /// Steps to the next record; false at the end.
        [[nodiscard]] bool next();
        /// Field i of the current record, 0 = "S0".
        [[nodiscard]] const std::string& field(int i) const;

    private:
        friend class CardTable;
        struct State;
        explicit Cursor(std::unique_ptr<State> state);
        std::unique_ptr<State> state_;
    };
    /// Requires an open table. The cursor must not outlive the table or a close().
    [[nodiscard]] Cursor read() const;
    [[nodiscard]] std::int64_t recordCount() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace bingo::store
