#pragma once

#include "report/ReportPages.h"
#include "report/rpBingo.h"
#include "store/CardTable.h"
#include "store/Sqlite.h"

#include <QPdfDocument>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>

namespace bingo::faults {

/// What the report made of a table: laid out into pages, or stopped with a message.
struct Outcome {
    std::optional<std::string> error;
    int pages = 0;
};

/// A card table file of a finished job in a fresh directory, for a test to edit by hand, and
/// the report qr1 over it with a fixed clock.
class ReportFixture : public ::testing::Test {
  protected:
    ReportFixture();
    ~ReportFixture() override;

    /// Stores 6 x sheets valid cards (serial i, numbers (i + 7k) mod 99 + 1) and closes the table.
    void writeJob(int sheets);
    /// Runs SQL on the table file as another program would.
    void edit(const std::string& sql);
    /// The number of records the file now holds (0 without the table).
    [[nodiscard]] long long records();

    /// Opens the table and lays the report out as the preview does.
    [[nodiscard]] Outcome layOut();
    /// Prints the report (laid out anew from the table) into a PDF; pages "first-last" of the
    /// report, all of them by default. The outcome counts the pages of the PDF written.
    [[nodiscard]] Outcome printToPdf(int first = 0, int last = 0);

    std::filesystem::path dir_;
    store::CardTable table_{"tbTmp"};
    std::unique_ptr<report::Tqr1> qr1_;
    std::unique_ptr<report::ReportPages> pages_;
};

} // namespace bingo::faults
