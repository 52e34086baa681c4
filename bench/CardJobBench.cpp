// How fast cards are drawn, and what a whole 9999-sheet job costs next to the cheapest way
// SQLite can take the same rows (a new file) and next to deleting and inserting them again.
#include "StoredJob.h"
#include "cards/CardGenerator.h"
#include "store/CardTable.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sqlite3.h>
#include <stdexcept>
#include <string>

namespace {

using namespace bingo;

constexpr int LargestJobSheets = 9999;
constexpr int LargestJobCards = LargestJobSheets * cards::CardsPerSheet;

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

/// Bytes this process has handed to write() and read() so far, from /proc/self/io: where the
/// time of a job goes is easier to see in bytes than in milliseconds on a busy machine.
struct IoTotals {
    double written = 0;
    double read = 0;

    static IoTotals now() {
        std::ifstream in("/proc/self/io");
        IoTotals totals;
        std::string key;
        double value = 0;
        while (in >> key >> value) {
            if (key == "wchar:")
                totals.written = value;
            else if (key == "rchar:")
                totals.read = value;
        }
        return totals;
    }
};

/// Reports the bytes written and read per iteration since `start`.
void reportIo(benchmark::State& state, const IoTotals& start) {
    const IoTotals end = IoTotals::now();
    const auto perJob = benchmark::Counter::kAvgIterations;
    state.counters["written"] =
        benchmark::Counter(end.written - start.written, perJob, benchmark::Counter::kIs1024);
    state.counters["read"] =
        benchmark::Counter(end.read - start.read, perJob, benchmark::Counter::kIs1024);
}

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

// Prepare, draw and store, as the Print command does before the preview, on a table that an
// earlier 9999-sheet job filled, as the operator's table is from the second job on: create if
// missing, empty, open, then draw and store 59,994 cards in one transaction and commit.
void CardJob_AfterALargeJob(benchmark::State& state) {
    ScratchDirectory scratch;
    store::CardTable table("tbTmp");
    table.setDirectory(scratch.path());
    table.setTableName("tmpBingo");
    cards::RandomSource random(12345);
    const auto job = [&] { bench::storeJob(table, random, 50, LargestJobSheets); };
    job();
    const IoTotals start = IoTotals::now();
    for (auto _ : state)
        job();
    reportIo(state, start);
    state.SetItemsProcessed(state.iterations() * LargestJobCards);
}
BENCHMARK(CardJob_AfterALargeJob)->Unit(benchmark::kMillisecond)->MinTime(1.0)->Repetitions(5);

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

using Connection = std::unique_ptr<sqlite3, SqliteCloser>;

Connection openFile(const std::filesystem::path& file) {
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open(file.c_str(), &raw);
    Connection db(raw);
    check(opened, db.get());
    return db;
}

void exec(sqlite3* db, const std::string& sql) {
    check(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), db);
}

void createTable(sqlite3* db) {
    std::string columns = "\"S0\" INTEGER";
    for (int k = 1; k <= cards::NumbersPerCard; ++k)
        columns += ", \"S" + std::to_string(k) + "\" SMALLINT";
    exec(db, "CREATE TABLE tmpBingo(" + columns + ")");
}

// The rows of a 9999-sheet job through one prepared statement in one transaction.
void insertJob(sqlite3* db) {
    std::string placeholders = "?";
    for (int k = 1; k <= cards::NumbersPerCard; ++k)
        placeholders += ",?";
    sqlite3_stmt* rawInsert = nullptr;
    check(sqlite3_prepare_v2(db, ("INSERT INTO tmpBingo VALUES(" + placeholders + ")").c_str(), -1,
                             &rawInsert, nullptr),
          db);
    std::unique_ptr<sqlite3_stmt, StatementFinalizer> insert(rawInsert);
    exec(db, "BEGIN");
    for (int row = 1; row <= LargestJobCards; ++row) {
        sqlite3_bind_int(insert.get(), 1, row);
        for (int k = 1; k <= cards::NumbersPerCard; ++k)
            sqlite3_bind_int(insert.get(), k + 1, (row + k) % 99 + 1);
        check(sqlite3_step(insert.get()), db);
        sqlite3_reset(insert.get());
    }
    exec(db, "COMMIT");
}

// The floor: SQLite alone putting the same rows into a new file (open, create the table, one
// prepared statement in one transaction, close), with the library's default settings.
void SqliteFloor_NewFile(benchmark::State& state) {
    ScratchDirectory scratch;
    const std::filesystem::path file = scratch.path() / "tmpBingo.db";
    const IoTotals start = IoTotals::now();
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(file);
        state.ResumeTiming();
        Connection db = openFile(file);
        createTable(db.get());
        insertJob(db.get());
    }
    reportIo(state, start);
    state.SetItemsProcessed(state.iterations() * LargestJobCards);
}
BENCHMARK(SqliteFloor_NewFile)->Unit(benchmark::kMillisecond)->MinTime(1.0)->Repetitions(5);

// What the card job measured itself against before: SQLite alone deleting the 59,994 rows of
// the previous run, then inserting the same rows again in one transaction. With the library's
// defaults (on Debian, secure_delete on) the delete journals and zeroes every page; with
// secure_delete FAST, as the card table sets it, the freed pages are reused untouched.
void SqliteDeleteThenInsert(benchmark::State& state, const char* setting) {
    ScratchDirectory scratch;
    Connection db = openFile(scratch.path() / "tmpBingo.db");
    exec(db.get(), setting);
    createTable(db.get());
    insertJob(db.get());
    const IoTotals start = IoTotals::now();
    for (auto _ : state) {
        exec(db.get(), "DELETE FROM tmpBingo");
        insertJob(db.get());
    }
    reportIo(state, start);
    state.SetItemsProcessed(state.iterations() * LargestJobCards);
}
BENCHMARK_CAPTURE(SqliteDeleteThenInsert, LibraryDefaults, "")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->Repetitions(5);
BENCHMARK_CAPTURE(SqliteDeleteThenInsert, SecureDeleteFast, "PRAGMA secure_delete = FAST")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->Repetitions(5);

} // namespace

BENCHMARK_MAIN();
