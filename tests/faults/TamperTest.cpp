// A property test: a valid card table tampered with at random, a few hundred times from a fixed
// seed, and the report run over each result. Whatever the table holds, the report lays it out
// into the pages its records need or stops with a message, and printing does the same; the
// sanitizer build runs this too, so reading out of bounds or overflowing shows.

#include "ReportFixture.h"

#include <QImage>
#include <random>

namespace bingo::faults {
namespace {

class Tamper {
  public:
    explicit Tamper(std::uint32_t seed) : random_(seed) {}

    /// One random change of the table, as SQL.
    std::string next() {
        switch (pick(10)) {
        case 0:
        case 1:
        case 2:
        case 3:
            return "UPDATE tmpBingo SET " + field() + " = " + value() + " WHERE rowid = " + row();
        case 4:
            return "UPDATE tmpBingo SET " + field() + " = " + value();
        case 5:
            return "DELETE FROM tmpBingo WHERE rowid = " + row();
        case 6: {
            std::string sql = "INSERT INTO tmpBingo (S0";
            std::string values = value();
            for (int k = 1; k <= 25; ++k) {
                sql += ", S" + std::to_string(k);
                values += ", " + value();
            }
            return sql + ") VALUES (" + values + ")";
        }
        case 7:
            return "INSERT INTO tmpBingo SELECT * FROM tmpBingo WHERE rowid % 3 = " +
                   std::to_string(pick(3));
        case 8:
            return "UPDATE tmpBingo SET S0 = S0 * " + value() + " WHERE rowid % 2 = 0";
        default:
            return "DELETE FROM tmpBingo WHERE rowid > " + std::to_string(pick(40));
        }
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

  private:
    std::string field() { return "S" + std::to_string(pick(26)); }
    std::string row() { return std::to_string(1 + pick(30)); }
    std::string value() {
        static const char* const values[] = {
            "NULL",
            "''",
            "'x'",
            "' 7'",
            "'07'",
            "'+7'",
            "'-0'",
            "'0x10'",
            "'1e3'",
            "'７'",
            "'99999999999999999999'",
            "-1",
            "0",
            "100",
            "2147483647",
            "2147483648",
            "-2147483648",
            "-2147483649",
            "9223372036854775807",
            "3.5",
            "-0.0",
            "1e308",
            "x'00'",
            "x'ff00fe'",
            "'彩票號碼'",
            "'\n\t'",
            "char(0)",
            "'一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十'"};
        if (pick(3) == 0)
            return std::to_string(pick(120) - 10);
        return values[pick(static_cast<int>(std::size(values)))];
    }

    std::mt19937 random_;
};

using TamperedTable = ReportFixture;

TEST_F(TamperedTable, IsLaidOutOrRefusedWithAMessage) {
    const int rounds = 300;
    writeJob(3);
    const std::filesystem::path original = dir_ / "original.db";
    std::filesystem::copy_file(table_.filePath(), original);
    Tamper tamper(20261211);
    int laidOut = 0;
    for (int round = 0; round < rounds; ++round) {
        std::filesystem::copy_file(original, table_.filePath(),
                                   std::filesystem::copy_options::overwrite_existing);
        std::string edits;
        for (int n = 1 + tamper.pick(4); n > 0; --n) {
            const std::string sql = tamper.next();
            edits += sql + ";\n";
            edit(sql);
        }
        SCOPED_TRACE("round " + std::to_string(round) + ":\n" + edits);
        const long long count = records();

        const Outcome preview = layOut();
        if (preview.error) {
            EXPECT_TRUE(preview.error->starts_with("第 ")) << *preview.error;
            EXPECT_NE(preview.error->find(" 筆資料無法列印："), std::string::npos);
        } else {
            ++laidOut;
            EXPECT_EQ(preview.pages, count == 0 ? 1 : static_cast<int>((count + 5) / 6));
            // The preview paints the first and the last page.
            for (const int page : {0, preview.pages - 1})
                EXPECT_FALSE(pages_->renderPage(page, QSize(210, 297)).isNull());
        }
        // Printing lays the table out again, and comes to the same end.
        if (round % 10 == 0) {
            const Outcome printed = printToPdf();
            EXPECT_EQ(printed.error.has_value(), preview.error.has_value());
            if (!printed.error) {
                EXPECT_EQ(printed.pages, preview.pages);
            }
        }
        if (HasFailure())
            return;
    }
    // A tamperer that broke every table would test only the refusals.
    EXPECT_GT(laidOut, rounds / 4);
    EXPECT_LT(laidOut, rounds);
    RecordProperty("laid_out", laidOut);
}

} // namespace
} // namespace bingo::faults
