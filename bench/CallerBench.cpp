// What the caller costs on the largest job, 59,994 cards: opening the table to a game ready to
// call and a window showing the board, a call with its who-has-bingo list, a check by serial,
// and the resident memory once the cards are loaded.
#include "StoredJob.h"
#include "caller/CallerWindow.h"
#include "caller/CardSource.h"
#include "caller/GameSession.h"
#include "caller/GameTexts.h"
#include "cards/CardGenerator.h"
#include "report/Fonts.h"
#include "store/CardTable.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>

namespace {

using namespace bingo;

constexpr int Sheets = 9999;

/// A scratch directory holding the table of a 9999-sheet job with N = 99, made once.
class LargestJob {
  public:
    LargestJob() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "bingo-caller-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a scratch directory");
        dir_ = pattern;
        store::CardTable table("tbTmp");
        table.setDirectory(dir_);
        cards::RandomSource random(20261211u);
        bench::storeJob(table, random, 99, Sheets);
        table.close();
    }
    ~LargestJob() {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    LargestJob(const LargestJob&) = delete;
    LargestJob& operator=(const LargestJob&) = delete;
    [[nodiscard]] const std::filesystem::path& dir() const { return dir_; }
    [[nodiscard]] std::filesystem::path games() const { return dir_ / "games"; }

  private:
    std::filesystem::path dir_;
};

const LargestJob& largestJob() {
    static const LargestJob job;
    return job;
}

double residentMegabytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

/// The numbers 1 .. 99 in a fixed random order: the calls of a game.
std::vector<int> callOrder() {
    std::vector<int> order(99);
    for (int i = 0; i < 99; ++i)
        order[static_cast<std::size_t>(i)] = i + 1;
    std::shuffle(order.begin(), order.end(), std::mt19937(11));
    return order;
}

void ReadTable(benchmark::State& state) {
    const LargestJob& job = largestJob();
    for (auto _ : state)
        benchmark::DoNotOptimize(caller::loadTableCards(job.dir()).cards.size());
}
BENCHMARK(ReadTable)->Unit(benchmark::kMillisecond);

void OpenTableToGame(benchmark::State& state) {
    const LargestJob& job = largestJob();
    for (auto _ : state) {
        caller::GameSession session(caller::loadTableCards(job.dir()), job.games());
        benchmark::DoNotOptimize(session.game().cardCount());
    }
    state.counters["rss_MB"] = residentMegabytes();
}
BENCHMARK(OpenTableToGame)->Unit(benchmark::kMillisecond);

void OpenTableToBoardShown(benchmark::State& state) {
    const LargestJob& job = largestJob();
    for (auto _ : state) {
        caller::CallerWindow window(
            std::make_unique<caller::GameSession>(caller::loadTableCards(job.dir()), job.games()),
            {}, QStringLiteral("Bingo-caller"));
        window.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.grab());
        state.PauseTiming();
        window.close();
        state.ResumeTiming();
    }
    state.counters["rss_MB"] = residentMegabytes();
}
BENCHMARK(OpenTableToBoardShown)->Unit(benchmark::kMillisecond);

/// A call in the middle of a game (calls before it: the argument), with the who-has-bingo
/// list's text; the game is put back outside the timing.
void CallWithWinners(benchmark::State& state) {
    caller::Game game(caller::loadTableCards(largestJob().dir()).cards, 99);
    const std::vector<int> order = callOrder();
    const auto before = static_cast<std::size_t>(state.range(0));
    for (std::size_t i = 0; i < before; ++i)
        game.call(order[i]);
    const int next = order[before];
    std::size_t winners = 0;
    for (auto _ : state) {
        game.call(next);
        const QString text = caller::winnersText(game);
        benchmark::DoNotOptimize(text.size());
        winners = game.justCompleted().size();
        state.PauseTiming();
        game.undo();
        state.ResumeTiming();
    }
    state.counters["completed"] = static_cast<double>(winners);
}
BENCHMARK(CallWithWinners)->Arg(0)->Arg(10)->Arg(20)->Arg(40)->Unit(benchmark::kMicrosecond);

/// The same call through the session: recorded and on disk (fdatasync) before it counts.
void CallRecorded(benchmark::State& state) {
    const LargestJob& job = largestJob();
    caller::GameSession session(caller::loadTableCards(job.dir()), job.games());
    const std::vector<int> order = callOrder();
    for (int i = 0; i < 20; ++i)
        session.call(order[static_cast<std::size_t>(i)]);
    for (auto _ : state) {
        session.call(order[20]);
        benchmark::DoNotOptimize(caller::winnersText(session.game()).size());
        session.undo(); // recorded too: the pair is two events on disk
    }
    state.SetLabel("call + undo, both recorded");
}
BENCHMARK(CallRecorded)->Unit(benchmark::kMicrosecond);

/// A check of "0007", which names six cards in this job, after 30 calls: the verdicts only,
/// and through the session with its record.
void CheckSerial(benchmark::State& state) {
    const LargestJob& job = largestJob();
    caller::GameSession session(caller::loadTableCards(job.dir()), job.games());
    const std::vector<int> order = callOrder();
    for (int i = 0; i < 30; ++i)
        session.call(order[static_cast<std::size_t>(i)]);
    const bool recorded = state.range(0) != 0;
    for (auto _ : state) {
        if (recorded) {
            benchmark::DoNotOptimize(session.check(QStringLiteral("7")).verdicts.size());
        } else {
            for (const int index : session.game().cardsPrinting("0007"))
                benchmark::DoNotOptimize(session.game().verdict(index));
        }
    }
    state.SetLabel(recorded ? "recorded" : "verdicts only");
}
BENCHMARK(CheckSerial)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bingo::report::registerFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
