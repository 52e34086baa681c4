// An I/O fault sweep in the way SQLite tests itself: for every k, the k-th read, write, sync
// or lock of the card table's files fails, during a two-sheet job as the operator starts it.
// Each k must end in one clear message or in a job that did its whole work, leave a file that
// passes SQLite's integrity check and holds either the earlier job or the start of this one,
// and let the next job, without faults, succeed in the same window.

#include "JobFixture.h"
#include "support/FaultVfs.h"

#include <iostream>
#include <set>

namespace bingo::faults {
namespace {

using bingo::test::FaultVfs;
using bingo::test::Op;
using bingo::test::opName;

struct Sweep {
    Op op;
    int code;
    const char* codeName;
    bool persistent;
    bool earlierJob;
};

std::string sweepName(const Sweep& s) {
    return std::string(opName(s.op)) + "_" + s.codeName + (s.persistent ? "_Persistent" : "_Once") +
           (s.earlierJob ? "_EarlierJob" : "_NoFile");
}

void PrintTo(const Sweep& s, std::ostream* os) {
    *os << sweepName(s);
}

class IoFaults : public JobFixture, public ::testing::WithParamInterface<Sweep> {
  protected:
    FaultVfs vfs_{"bingo-fault-sweep"};
};

TEST_P(IoFaults, EveryFaultEndsInAMessageOnASoundFile) {
    const Sweep& sweep = GetParam();
    const int sheets = 2;
    int swept = 0;
    int failedJobs = 0;
    std::set<std::string> messages;
    for (int k = 1;; ++k) {
        ASSERT_LT(k, 5000) << "the sweep does not end";
        SCOPED_TRACE("failing " + std::string(opName(sweep.op)) + " call " + std::to_string(k));
        const std::filesystem::path dir = dir_ / std::to_string(k);
        const std::filesystem::path file = dir / "tmpBingo.db";
        std::filesystem::create_directory(dir);
        table().setDirectory(dir);
        table().setVfsName("");
        if (sweep.earlierJob) {
            ASSERT_EQ(print(3), NoMessage);
        }

        table().setVfsName(vfs_.name());
        vfs_.arm(sweep.op, k, sweep.code, sweep.persistent);
        const std::vector<std::string> shown = print(sheets);
        const bool injected = vfs_.injected() > 0;
        vfs_.disarm();
        if (!injected) {
            // k is past the job's last such call: every earlier one has been made to fail.
            EXPECT_EQ(shown, NoMessage);
            EXPECT_EQ(serialsOf(file), serialsUpTo(6 * sheets));
            EXPECT_TRUE(previewWasComplete());
            break;
        }
        ++swept;
        if (shown.empty()) {
            // SQLite got over the fault by itself; then the job must have done all its work.
            EXPECT_EQ(serialsOf(file), serialsUpTo(6 * sheets))
                << "a failure passed off as success";
            EXPECT_TRUE(previewWasComplete()) << "a layout that stopped without a word";
        } else {
            ++failedJobs;
            ASSERT_EQ(shown.size(), 1u);
            const std::string& text = shown.front();
            const std::string where = "卡片資料表「" + pathText(file) + "」：";
            EXPECT_TRUE(text.starts_with("無法") && text.find(where) != std::string::npos &&
                        text.ends_with("。"))
                << text;
            std::string general = text;
            general.replace(general.find(pathText(dir)), pathText(dir).size(), "TEMP");
            messages.insert(general);
        }

        EXPECT_EQ(integrityOf(file), "ok");
        // A fault while the table was being created leaves a database without it: no cards.
        const bool hasTable =
            !column(file, "SELECT name FROM sqlite_master WHERE name = 'tmpBingo'").empty();
        const std::vector<std::string> kept =
            hasTable ? serialsOf(file) : std::vector<std::string>{};
        const bool earlier = sweep.earlierJob && kept == serialsUpTo(18);
        EXPECT_TRUE(earlier || kept == serialsUpTo(static_cast<int>(kept.size())))
            << "the table holds neither the earlier job nor the start of this one";
        EXPECT_LE(kept.size(), earlier ? 18u : 12u);

        EXPECT_EQ(print(sheets), NoMessage) << "the next job, without faults";
        EXPECT_TRUE(previewWasComplete());
        EXPECT_EQ(serialsOf(file), serialsUpTo(6 * sheets));
        EXPECT_EQ(integrityOf(file), "ok");
        table().close();
        std::filesystem::remove_all(dir);
        if (HasFatalFailure())
            return;
    }
    // A fault that nothing reported would be a failure passed off as success; some must show.
    EXPECT_GT(failedJobs, 0);
    RecordProperty("swept", swept);
    std::cout << "[ swept    ] " << swept << " values of k, " << failedJobs
              << " ending in a message:\n";
    for (const std::string& text : messages)
        std::cout << "             " << text << "\n";
}

std::vector<Sweep> sweeps() {
    struct Fault {
        Op op;
        int code;
        const char* name;
    };
    const Fault faults[] = {{Op::Read, SQLITE_IOERR_READ, "IOERR"},
                            {Op::Write, SQLITE_IOERR_WRITE, "IOERR"},
                            {Op::Write, SQLITE_FULL, "FULL"},
                            {Op::Sync, SQLITE_IOERR_FSYNC, "IOERR"},
                            {Op::Lock, SQLITE_IOERR_LOCK, "IOERR"}};
    std::vector<Sweep> all;
    for (const Fault& f : faults)
        for (const bool persistent : {false, true})
            for (const bool earlierJob : {false, true})
                all.push_back({f.op, f.code, f.name, persistent, earlierJob});
    return all;
}

INSTANTIATE_TEST_SUITE_P(Calls, IoFaults, ::testing::ValuesIn(sweeps()),
                         [](const auto& info) { return sweepName(info.param); });

} // namespace
} // namespace bingo::faults
