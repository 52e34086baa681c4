// How fast cards are drawn, and what a whole 9999-sheet job costs next to the cheapest way
// SQLite can take the same rows.
#include "cards/CardGenerator.h"
#include "store/CardTable.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sqlite3.h>
#include <stdexcept>
#include <string>

namespace {

using namespace bingo;

constexpr int LargestJobSheets = 9999;
constexpr int LargestJobCards = LargestJobSheets * cards::CardsPerSheet;

class NoProgress final : public cards::ProgressSink {
  public:
    void setMaximum(int) override {}
    void setPosition(int) override {}
    void setVisible(bool) override {}
};

class ScratchDirectory {
  public:
    ScratchDirectory() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "bingo-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a scratch directory");
        path_ = pattern;
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

void DrawCards(benchmark::State& state) {
    const int range = static_cast<int>(state.range(0));
    cards::RandomSource random(12345);
    cards::Card card;
    for (auto _ : state) {
        cards::CardGenerator::drawCard(random, range, card);
        benchmark::DoNotOptimize(card);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("cards");
}
BENCHMARK(DrawCards)->Arg(25)->Arg(50)->Arg(99);

// Prepare, draw and store, as the Print command does before the preview.
void WholeJob(benchmark::State& state) {
    ScratchDirectory scratch;
    store::CardTable table("tbTmp");
    table.setDirectory(scratch.path());
    table.setTableName("tmpBingo");
    cards::RandomSource random(12345);
    NoProgress progress;
    for (auto _ : state) {
        table.prepare();
        store::CardTable::Batch batch(table);
        cards::CardGenerator(random, table, progress).generate(50, LargestJobSheets);
        batch.commit();
    }
    state.SetItemsProcessed(state.iterations() * LargestJobCards);
}
BENCHMARK(WholeJob)->Unit(benchmark::kMillisecond)->MinTime(2.0);

struct SqliteCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

void check(int rc, sqlite3* db) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE)
        throw std::runtime_error(sqlite3_errmsg(db));
}

// The floor: the same rows through one prepared statement in one transaction, nothing else.
void BareSqliteBaseline(benchmark::State& state) {
    ScratchDirectory scratch;
    const std::string file = (scratch.path() / "baseline.db").string();
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open(file.c_str(), &raw);
    std::unique_ptr<sqlite3, SqliteCloser> db(raw);
    check(opened, db.get());

    std::string columns = "\"S0\" INTEGER";
    std::string placeholders = "?";
    for (int k = 1; k <= cards::NumbersPerCard; ++k) {
        columns += ", \"S" + std::to_string(k) + "\" SMALLINT";
        placeholders += ",?";
    }
    check(sqlite3_exec(db.get(), ("CREATE TABLE t(" + columns + ")").c_str(), nullptr, nullptr,
                       nullptr),
          db.get());
    sqlite3_stmt* rawInsert = nullptr;
    check(sqlite3_prepare_v2(db.get(), ("INSERT INTO t VALUES(" + placeholders + ")").c_str(), -1,
                             &rawInsert, nullptr),
          db.get());
    std::unique_ptr<sqlite3_stmt, StatementFinalizer> insert(rawInsert);

    for (auto _ : state) {
        check(sqlite3_exec(db.get(), "DELETE FROM t", nullptr, nullptr, nullptr), db.get());
        check(sqlite3_exec(db.get(), "BEGIN", nullptr, nullptr, nullptr), db.get());
        for (int row = 1; row <= LargestJobCards; ++row) {
            sqlite3_bind_int(insert.get(), 1, row);
            for (int k = 1; k <= cards::NumbersPerCard; ++k)
                sqlite3_bind_int(insert.get(), k + 1, (row + k) % 99 + 1);
            check(sqlite3_step(insert.get()), db.get());
            sqlite3_reset(insert.get());
        }
        check(sqlite3_exec(db.get(), "COMMIT", nullptr, nullptr, nullptr), db.get());
    }
    state.SetItemsProcessed(state.iterations() * LargestJobCards);
}
BENCHMARK(BareSqliteBaseline)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
