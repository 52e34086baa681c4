#pragma once

#include "store/CardTable.h"
#include "store/Sqlite.h"
#include "support/TestFiles.h"

#include <array>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace bingo::store::test {

using Record = std::array<std::string, FieldCount>;

/// Card `serial` of a job: distinct numbers that depend on the serial, so mix-ups show.
cards::Card cardNumber(std::int32_t serial);
/// The record cardNumber(serial) is stored as.
Record recordOf(std::int32_t serial);

/// Prepares the table and stores 6 x sheets cards in one batch, like a print job.
void runJob(CardTable& table, int sheets);
/// Every record of an open table, in read order.
std::vector<Record> readAll(const CardTable& table);
/// The serials ("S0") of readAll(table).
std::vector<std::string> serials(const CardTable& table);

using bingo::test::fileBytes;
using bingo::test::serialsUpTo;
using bingo::test::writeFile;

/// A connection of its own, as another program would have it.
detail::Database rawConnection(const std::filesystem::path& file);
/// The first column of every row of `sql`, as text.
std::vector<std::string> column(detail::Database& db, const std::string& sql);

/// A fresh temporary directory per test, and a card table "tbTmp" pointed at it.
class TableFixture : public ::testing::Test {
  protected:
    TableFixture();
    ~TableFixture() override;

    /// The message of the StoreError that f throws (a test failure if it throws none).
    template <class F> std::string errorOf(F&& f) {
        try {
            f();
        } catch (const StoreError& error) {
            return error.what();
        }
        ADD_FAILURE() << "no StoreError was thrown";
        return {};
    }

    std::filesystem::path dir_;
    CardTable table_{"tbTmp"};
};

} // namespace bingo::store::test
