#include "TableFixture.h"
#include "support/FaultVfs.h"

#include <exception>
#include <ostream>

namespace bingo::store::test {
namespace {

using bingo::test::AllOps;
using bingo::test::FaultVfs;
using bingo::test::ioErrorOf;
using bingo::test::Op;
using bingo::test::opName;

/// A whole job as the program runs it: prepare, store two sheets, read them back.
void fullJob(CardTable& table) {
    runJob(table, 2);
    CardTable::Cursor cursor = table.read();
    while (cursor.next()) {
    }
    (void)table.recordCount();
}

struct Start {
    const char* what;
    bool withEarlierJob;
};

void PrintTo(const Start& start, std::ostream* os) {
    *os << start.what;
}

class FaultInjection : public TableFixture,
                       public ::testing::WithParamInterface<std::tuple<Op, Start>> {
  protected:
    FaultVfs vfs_{"bingo-faulty"};
};

// Every failing file-system call, wherever it falls in a job, ends in a StoreError (never a
// crash or another exception), and the next job on a sound disk succeeds.
TEST_P(FaultInjection, EveryFailureIsAStoreErrorAndTheNextJobWorks) {
    const auto [op, start] = GetParam();
    int failures = 0;
    for (int k = 1; k <= 2000; ++k) {
        SCOPED_TRACE(std::string("failing ") + opName(op) + " call " + std::to_string(k));
        const std::filesystem::path dir = dir_ / std::to_string(k);
        std::filesystem::create_directory(dir);
        CardTable table("tbTmp");
        table.setDirectory(dir);
        if (start.withEarlierJob)
            runJob(table, 1);

        table.setVfsName(vfs_.name());
        // Once, with the error a failing disk gives for that operation.
        vfs_.arm(op, k, ioErrorOf(op), false);
        bool succeeded = false;
        try {
            fullJob(table);
            succeeded = true;
        } catch (const StoreError& error) {
            ++failures;
            EXPECT_FALSE(std::string(error.what()).empty());
        } catch (const std::exception& error) {
            ADD_FAILURE() << "not a StoreError: " << error.what();
        }
        vfs_.disarm();
        if (vfs_.injected() == 0) {
            // The job has fewer such calls than k: every one of them has been made to fail.
            EXPECT_GT(k, 1) << "the job makes no such call";
            break;
        }
        if (succeeded) { // then it must have done its work all the same
            EXPECT_EQ(serials(table), serialsUpTo(12));
        }

        ASSERT_NO_THROW(runJob(table, 2));
        EXPECT_EQ(serials(table), serialsUpTo(12));
        table.close();
        std::filesystem::remove_all(dir);
    }
    // A failing call that no operation reported would be a failure passed off as success.
    EXPECT_GT(failures, 0);
}

INSTANTIATE_TEST_SUITE_P(Calls, FaultInjection,
                         ::testing::Combine(::testing::ValuesIn(AllOps),
                                            ::testing::Values(Start{"NoFile", false},
                                                              Start{"EarlierJob", true})),
                         [](const auto& info) {
                             return std::string(opName(std::get<0>(info.param))) + "_" +
                                    std::get<1>(info.param).what;
                         });

} // namespace
} // namespace bingo::store::test
