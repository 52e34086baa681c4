#include "TableFixture.h"
#include "support/FaultVfs.h"

#include <filesystem>
#include <linux/capability.h>
#include <ostream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace bingo::store::test {
namespace {

namespace fs = std::filesystem;

std::string declaredColumns(detail::Database& db, const std::string& table) {
    std::string text;
    detail::Statement stmt =
        db.prepare("SELECT name, type, \"notnull\", pk FROM pragma_table_info(?1)");
    stmt.bind(1, table);
    while (stmt.step()) {
        text += std::string(stmt.columnText(0)) + " " + std::string(stmt.columnText(1));
        if (stmt.columnText(2) != "0" || stmt.columnText(3) != "0")
            text += " (required or key)";
        text += "; ";
    }
    return text;
}

std::string expectedColumns() {
    std::string text = "S0 INTEGER; ";
    for (int i = 1; i < FieldCount; ++i)
        text += "S" + std::to_string(i) + " SMALLINT; ";
    return text;
}

// ---- creating, emptying, refilling ----

class FirstRun : public TableFixture, public ::testing::WithParamInterface<const char*> {};

TEST_P(FirstRun, CreatesAPrivateFileWithTheTwentySixFields) {
    const std::string name = GetParam();
    table_.setTableName(name);
    ASSERT_EQ(table_.filePath(), dir_ / (name + ".db"));
    ASSERT_FALSE(table_.fileExists());

    runJob(table_, 2);

    struct stat st {};
    ASSERT_EQ(::lstat(table_.filePath().c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_TRUE(table_.isOpen());
    EXPECT_EQ(table_.recordCount(), 12);
    const std::vector<Record> records = readAll(table_);
    ASSERT_EQ(records.size(), 12u);
    for (int serial = 1; serial <= 12; ++serial)
        EXPECT_EQ(records[static_cast<std::size_t>(serial) - 1], recordOf(serial));

    table_.close();
    detail::Database db = rawConnection(table_.filePath());
    EXPECT_EQ(declaredColumns(db, name), expectedColumns());
    EXPECT_EQ(column(db, "SELECT type || ':' || name FROM sqlite_master"),
              std::vector<std::string>{"table:" + name});
}

INSTANTIATE_TEST_SUITE_P(Names, FirstRun, ::testing::Values("tmpBingo", "a \"quoted\" name; DROP"));

TEST_F(TableFixture, NextJobEmptiesTheTableAndRefillsItFromSerialOne) {
    runJob(table_, 30);
    ASSERT_EQ(table_.recordCount(), 180);

    // The next run of the program finds the file again.
    CardTable nextRun("tbTmp");
    nextRun.setDirectory(dir_);
    ASSERT_TRUE(nextRun.fileExists());
    nextRun.prepare();
    EXPECT_EQ(nextRun.recordCount(), 0);
    {
        CardTable::Batch batch(nextRun);
        for (int serial = 1; serial <= 12; ++serial)
            nextRun.store(cardNumber(serial));
        batch.commit();
    }
    EXPECT_EQ(serials(nextRun), serialsUpTo(12));

    nextRun.close();
    detail::Database db = rawConnection(nextRun.filePath());
    EXPECT_EQ(declaredColumns(db, "tmpBingo"), expectedColumns());
}

TEST_F(TableFixture, CreateReplacesTheTableAndLeavesItClosed) {
    runJob(table_, 1);
    table_.create();
    EXPECT_FALSE(table_.isOpen());
    table_.open();
    EXPECT_EQ(table_.recordCount(), 0);
}

TEST_F(TableFixture, EmptyWorksOnAClosedTable) {
    runJob(table_, 1);
    table_.close();
    table_.empty();
    EXPECT_FALSE(table_.isOpen());
    table_.open();
    EXPECT_EQ(table_.recordCount(), 0);
}

// A crash between creating the file and the table leaves an empty file; a database may also
// hold other tables. Either way the table is added and nothing else is lost.
struct FileWithoutTable {
    const char* what;
    const char* sql; // run on the file before the job; nullptr: a 0-byte file
};

void PrintTo(const FileWithoutTable& file, std::ostream* os) {
    *os << file.what;
}

class WithoutTable : public TableFixture, public ::testing::WithParamInterface<FileWithoutTable> {};

TEST_P(WithoutTable, PrepareGivesTheFileTheTable) {
    if (GetParam().sql == nullptr) {
        writeFile(table_.filePath(), "");
    } else {
        detail::Database db = rawConnection(table_.filePath());
        db.exec(GetParam().sql);
    }
    runJob(table_, 1);
    EXPECT_EQ(serials(table_), serialsUpTo(6));

    table_.close();
    detail::Database db = rawConnection(table_.filePath());
    EXPECT_EQ(declaredColumns(db, "tmpBingo"), expectedColumns());
    if (GetParam().sql != nullptr) {
        EXPECT_EQ(column(db, "SELECT x FROM other"), std::vector<std::string>{"kept"});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, WithoutTable,
    ::testing::Values(FileWithoutTable{"EmptyFile", nullptr},
                      FileWithoutTable{
                          "OtherTable",
                          "CREATE TABLE other (x); INSERT INTO other VALUES ('kept')"}),
    [](const auto& info) { return std::string(info.param.what); });

// ---- a field missing from a table made by hand ----

struct MissingField {
    const char* what;
    std::vector<int> dropped; // fields left out of the table
    const char* expected;     // "" when every field is there
    bool lowerCase = false;
};

void PrintTo(const MissingField& field, std::ostream* os) {
    *os << field.what;
}

class HandMadeTable : public TableFixture, public ::testing::WithParamInterface<MissingField> {};

TEST_P(HandMadeTable, FirstStoreChecksTheFieldsByName) {
    const MissingField& param = GetParam();
    std::string sql = "CREATE TABLE tmpBingo (";
    for (int i = 0; i < FieldCount; ++i) {
        if (std::find(param.dropped.begin(), param.dropped.end(), i) != param.dropped.end())
            continue;
        sql += (param.lowerCase ? "s" : "S") + std::to_string(i) + " INTEGER, ";
    }
    sql += "Extra TEXT)";
    {
        detail::Database db = rawConnection(table_.filePath());
        db.exec(sql);
    }

    // The structure is not examined while preparing.
    ASSERT_NO_THROW(table_.prepare());
    CardTable::Batch batch(table_);
    if (*param.expected == '\0') {
        table_.store(cardNumber(1));
        batch.commit();
        EXPECT_EQ(readAll(table_), std::vector<Record>{recordOf(1)});
        return;
    }
    EXPECT_EQ(errorOf([&] { table_.store(cardNumber(1)); }), param.expected);
    // The job stops at that point; nothing of it reaches the table.
    batch.commit();
    EXPECT_EQ(table_.recordCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, HandMadeTable,
    ::testing::Values(MissingField{"FirstOfTwoMissing", {7, 5}, "tbTmp: 資料表中找不到欄位 'S5'"},
                      MissingField{"Serial", {0}, "tbTmp: 資料表中找不到欄位 'S0'"},
                      MissingField{"Last", {25}, "tbTmp: 資料表中找不到欄位 'S25'"},
                      MissingField{"LowerCaseNames", {}, "", true}),
    [](const auto& info) { return std::string(info.param.what); });

// ---- how a job's batch ends ----

enum class BatchEnd { Commit, KeepStored, Destroyed };

struct Ending {
    const char* what;
    BatchEnd end;
    bool storeFails; // the fourth card is refused before the batch ends
    int kept;
};

void PrintTo(const Ending& ending, std::ostream* os) {
    *os << ending.what;
}

class BatchEnding : public TableFixture, public ::testing::WithParamInterface<Ending> {};

TEST_P(BatchEnding, KeepsTheStoredCardsOnlyWhenTold) {
    const Ending& ending = GetParam();
    {
        // A table that refuses the fourth card.
        detail::Database db = rawConnection(table_.filePath());
        std::string sql = "CREATE TABLE tmpBingo (S0 INTEGER CHECK (S0 < 4)";
        for (int i = 1; i < FieldCount; ++i)
            sql += ", S" + std::to_string(i) + " SMALLINT";
        db.exec(sql + ")");
    }
    table_.prepare();
    try {
        CardTable::Batch batch(table_);
        for (int serial = 1; serial <= 3; ++serial)
            table_.store(cardNumber(serial));
        if (ending.storeFails) {
            EXPECT_EQ(
                errorOf([&] { table_.store(cardNumber(4)); }),
                "無法將第 4 號卡片存入卡片資料表「" + table_.filePath().string() +
                    "」：資料表的限制條件不接受這筆資料：「CHECK constraint failed: S0 < 4」");
        }
        switch (ending.end) {
        case BatchEnd::Commit:
            batch.commit();
            break;
        case BatchEnd::KeepStored:
            batch.keepStored();
            EXPECT_NO_THROW(batch.commit()) << "a second ending does nothing";
            break;
        case BatchEnd::Destroyed:
            throw std::runtime_error("the job failed");
        }
    } catch (const std::runtime_error&) {
    }
    // Another program sees what was kept, and the table is not left inside a transaction.
    CardTable other("tbTmp");
    other.setDirectory(dir_);
    other.open();
    EXPECT_EQ(serials(other), serialsUpTo(ending.kept));
    other.close();
    table_.prepare();
    {
        CardTable::Batch next(table_);
        table_.store(cardNumber(1));
        next.commit();
    }
    EXPECT_EQ(serials(table_), serialsUpTo(1));
}

INSTANTIATE_TEST_SUITE_P(
    Ends, BatchEnding,
    ::testing::Values(Ending{"Committed", BatchEnd::Commit, false, 3},
                      Ending{"CommittedAfterARefusedCard", BatchEnd::Commit, true, 3},
                      Ending{"KeptAfterTheJobFailed", BatchEnd::KeepStored, false, 3},
                      Ending{"KeptAfterARefusedCard", BatchEnd::KeepStored, true, 3},
                      Ending{"DestroyedRollsBack", BatchEnd::Destroyed, false, 0},
                      Ending{"DestroyedAfterARefusedCardRollsBack", BatchEnd::Destroyed, true, 0}),
    [](const auto& info) { return std::string(info.param.what); });

// ---- a job on a table that an earlier job filled ----

struct Refill {
    const char* what;
    int earlierSheets;
    int sheets;
};

void PrintTo(const Refill& refill, std::ostream* os) {
    *os << refill.what;
}

class Refilled : public TableFixture, public ::testing::WithParamInterface<Refill> {};

// The next job reuses the pages the emptying freed; the file must stay sound and hold exactly
// the new job, whatever the sizes of the two.
TEST_P(Refilled, LeavesASoundFileWithExactlyTheNewCards) {
    const Refill& refill = GetParam();
    runJob(table_, refill.earlierSheets);
    runJob(table_, refill.sheets);
    std::vector<Record> expected;
    for (int serial = 1; serial <= cards::CardsPerSheet * refill.sheets; ++serial)
        expected.push_back(recordOf(serial));
    EXPECT_EQ(readAll(table_), expected);
    table_.close();
    detail::Database db = rawConnection(table_.filePath());
    EXPECT_EQ(column(db, "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
}

INSTANTIATE_TEST_SUITE_P(Sizes, Refilled,
                         ::testing::Values(Refill{"SmallerAfterLarger", 500, 1},
                                           Refill{"SameSize", 300, 300},
                                           Refill{"LargerAfterSmaller", 2, 300},
                                           Refill{"NoneAfterLarger", 300, 0}),
                         [](const auto& info) { return std::string(info.param.what); });

// Emptying a large table must not journal and scrub every page it frees, and the next job must
// reuse those pages without journaling them: a job after a job of its size writes about as
// often as the same job on a new file.
TEST_F(TableFixture, JobAfterALargeJobWritesAboutAsMuchAsOnANewFile) {
    const int sheets = 1000;
    bingo::test::FaultVfs counting("bingo-counting");
    const auto writesOf = [&](CardTable& table) {
        table.setVfsName(counting.name());
        counting.arm(bingo::test::Op::Write, 1, SQLITE_IOERR_WRITE, false);
        counting.disarm();
        runJob(table, sheets);
        const int writes = counting.calls(bingo::test::Op::Write);
        table.setVfsName("");
        return writes;
    };
    CardTable fresh("tbTmp");
    fresh.setDirectory(dir_ / "fresh");
    fs::create_directory(dir_ / "fresh");
    const int onANewFile = writesOf(fresh);

    runJob(table_, sheets);
    const int afterALargeJob = writesOf(table_);
    table_.open();
    EXPECT_EQ(table_.recordCount(), cards::CardsPerSheet * sheets);
    // A page of this job is a few dozen cards: scrubbing or journaling the freed pages would
    // add a couple of hundred writes.
    EXPECT_LE(afterALargeJob, onANewFile + 20) << "on a new file: " << onANewFile;
}

// ---- reading a table edited by hand ----

TEST_F(TableFixture, CursorReadsWhateverAHandEditedTableHolds) {
    {
        detail::Database db = rawConnection(table_.filePath());
        db.exec("CREATE TABLE tmpBingo (s1 SMALLINT, S0 INTEGER, Extra, S2 SMALLINT, S3);"
                "INSERT INTO tmpBingo (rowid, S0, s1, S2, S3, Extra)"
                "  VALUES (9, 2, 'text', 2.5, 123456789012345678901234567890, 'x');"
                "INSERT INTO tmpBingo (rowid, S0, s1, S2, S3, Extra)"
                "  VALUES (4, -1, NULL, 9223372036854775807, X'41', 'y');");
    }
    table_.open();
    Record first;
    first[0] = "-1";
    first[2] = "9223372036854775807";
    first[3] = "A";
    Record second;
    second[0] = "2";
    second[1] = "text";
    second[2] = "2.5";
    second[3] = "1.23456789012346e+29";
    // Records in rowid order; fields S4 ... S25 do not exist and read as "".
    EXPECT_EQ(readAll(table_), (std::vector<Record>{first, second}));
}

TEST_F(TableFixture, CursorEndsCleanly) {
    runJob(table_, 1);
    CardTable::Cursor cursor = table_.read();
    int rows = 0;
    while (cursor.next())
        ++rows;
    EXPECT_EQ(rows, 6);
    EXPECT_FALSE(cursor.next()); // does not start over
    EXPECT_THROW((void)cursor.field(FieldCount), std::out_of_range);
    CardTable::Cursor moved = std::move(cursor);
    EXPECT_FALSE(moved.next());
}

TEST_F(TableFixture, CursorLeftPartWayDoesNotHoldUpTheNextJob) {
    runJob(table_, 1);
    CardTable::Cursor cursor = table_.read();
    ASSERT_TRUE(cursor.next());
    // Its read lock would make the next job fail as locked.
    runJob(table_, 2);
    EXPECT_EQ(errorOf([&] { (void)cursor.next(); }),
              "無法讀取卡片資料表「" + table_.filePath().string() + "」：資料表在讀取途中被關閉");
    EXPECT_EQ(serials(table_), serialsUpTo(12));
}

TEST_F(TableFixture, ReadingAClosedTableFails) {
    EXPECT_EQ(errorOf([&] { (void)table_.read(); }),
              "無法讀取卡片資料表「" + table_.filePath().string() + "」：資料表尚未開啟");
    EXPECT_EQ(errorOf([&] { table_.store(cardNumber(1)); }),
              "無法寫入卡片資料表「" + table_.filePath().string() + "」：資料表尚未開啟");
}

// ---- faults of the file and the directory ----

const std::string NotADatabase = "Serial;Numbers\n1;5 17 23\n" + std::string(5000, 'x');

struct Operation {
    const char* what;
    void (*run)(CardTable&);
};

void PrintTo(const Operation& operation, std::ostream* os) {
    *os << operation.what;
}

class OnAForeignFile : public TableFixture, public ::testing::WithParamInterface<Operation> {};

TEST_P(OnAForeignFile, FailsAndLeavesItsBytesAsTheyWere) {
    writeFile(table_.filePath(), NotADatabase);
    EXPECT_EQ(errorOf([&] { GetParam().run(table_); }),
              "無法開啟卡片資料表「" + table_.filePath().string() +
                  "」：這個檔案不是資料庫，程式沒有更動它：請將它移走或刪除，程式會在原處建立新的"
                  "卡片資料表");
    EXPECT_EQ(fileBytes(table_.filePath()), NotADatabase);
    EXPECT_FALSE(table_.isOpen());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

INSTANTIATE_TEST_SUITE_P(Operations, OnAForeignFile,
                         ::testing::Values(Operation{"prepare", [](CardTable& t) { t.prepare(); }},
                                           Operation{"create", [](CardTable& t) { t.create(); }},
                                           Operation{"open", [](CardTable& t) { t.open(); }},
                                           Operation{"empty", [](CardTable& t) { t.empty(); }}),
                         [](const auto& info) { return std::string(info.param.what); });

TEST_F(TableFixture, SymbolicLinkIsRefusedAndItsTargetLeftAlone) {
    const fs::path target = dir_ / "target";
    writeFile(target, NotADatabase);
    fs::create_symlink(target, table_.filePath());
    const std::string expected = "無法開啟卡片資料表「" + table_.filePath().string() +
                                 "」：這是符號連結，卡片資料表一律不經由連結開啟；請刪除這個連結";
    EXPECT_EQ(errorOf([&] { table_.prepare(); }), expected);
    EXPECT_EQ(errorOf([&] { table_.create(); }), expected);
    EXPECT_EQ(fileBytes(target), NotADatabase);

    // A dangling link: nothing is created through it.
    fs::remove(target);
    EXPECT_EQ(errorOf([&] { table_.prepare(); }), expected);
    EXPECT_FALSE(fs::exists(fs::symlink_status(target)));
}

TEST_F(TableFixture, DirectoryReachedThroughALinkIsUsed) {
    const fs::path real = dir_ / "real";
    fs::create_directory(real);
    fs::create_symlink(real, dir_ / "link");
    table_.setDirectory(dir_ / "link");
    runJob(table_, 1);
    EXPECT_EQ(serials(table_), serialsUpTo(6));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(real / "tmpBingo.db")));
}

TEST_F(TableFixture, OpenNeverCreatesTheFile) {
    EXPECT_EQ(errorOf([&] { table_.open(); }),
              "無法開啟卡片資料表「" + table_.filePath().string() + "」：檔案不存在");
    EXPECT_FALSE(table_.fileExists());
}

TEST_F(TableFixture, MissingDirectoryIsNotCreated) {
    const fs::path missing = dir_ / "gone";
    table_.setDirectory(missing);
    EXPECT_EQ(errorOf([&] { table_.prepare(); }), "無法建立卡片資料表「" +
                                                      table_.filePath().string() + "」：資料夾「" +
                                                      missing.string() + "」不存在");
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(TableFixture, FileWhereTheDirectoryShouldBe) {
    const fs::path file = dir_ / "file";
    writeFile(file, "x");
    table_.setDirectory(file);
    EXPECT_EQ(errorOf([&] { table_.prepare(); }), "無法建立卡片資料表「" +
                                                      table_.filePath().string() + "」：「" +
                                                      file.string() + "」不是資料夾");
    EXPECT_EQ(fileBytes(file), "x");
}

TEST_F(TableFixture, DirectoryAtTheFileName) {
    fs::create_directory(table_.filePath());
    EXPECT_EQ(errorOf([&] { table_.prepare(); }),
              "無法開啟卡片資料表「" + table_.filePath().string() + "」：這不是一般檔案");
}

/// Takes the capabilities that let root ignore permission bits from this thread while alive,
/// so that a directory without write permission is one for root too.
class WithoutPermissionOverride {
  public:
    WithoutPermissionOverride() {
        if (::geteuid() != 0) {
            active_ = true; // the permission bits apply already
            return;
        }
        if (::syscall(SYS_capget, &header_, saved_) != 0)
            return;
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &=
            ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        active_ = ::syscall(SYS_capset, &header_, reduced) == 0;
        dropped_ = active_;
    }
    ~WithoutPermissionOverride() {
        if (dropped_)
            ::syscall(SYS_capset, &header_, saved_);
    }
    WithoutPermissionOverride(const WithoutPermissionOverride&) = delete;
    WithoutPermissionOverride& operator=(const WithoutPermissionOverride&) = delete;
    [[nodiscard]] bool active() const { return active_; }

  private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool active_ = false;
    bool dropped_ = false;
};

class ReadOnlyDirectory : public TableFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(ReadOnlyDirectory, FailsAndKeepsTheEarlierJob) {
    const bool earlierJob = GetParam();
    if (earlierJob) {
        runJob(table_, 1);
        table_.close();
    }
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    std::string error;
    {
        WithoutPermissionOverride unprivileged;
        if (!unprivileged.active())
            GTEST_SKIP() << "cannot give up root's permission override (capset failed), so a "
                            "directory cannot be made unwritable";
        error = errorOf([&] { table_.prepare(); });
    }
    fs::permissions(dir_, fs::perms::owner_all);

    // Without the file it cannot be created; with it, no journal can be made to empty it.
    EXPECT_EQ(error, std::string(earlierJob ? "無法清空" : "無法建立") + "卡片資料表「" +
                         table_.filePath().string() + "」：資料夾「" + dir_.string() +
                         "」無法寫入" + (earlierJob ? "" : "（沒有權限）"));
    EXPECT_FALSE(table_.isOpen());
    if (earlierJob) {
        table_.open();
        EXPECT_EQ(serials(table_), serialsUpTo(6));
    } else {
        EXPECT_FALSE(table_.fileExists());
    }
}

INSTANTIATE_TEST_SUITE_P(States, ReadOnlyDirectory, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "WithFile" : "NoFile"; });

// ---- another program holding the file ----

struct Lock {
    const char* what;
    const char* begin;  // run by the other connection
    const char* action; // what fails: reading needs no more than a shared lock
};

void PrintTo(const Lock& lock, std::ostream* os) {
    *os << lock.what;
}

class LockedFile : public TableFixture, public ::testing::WithParamInterface<Lock> {};

TEST_P(LockedFile, FailsAsLockedAndKeepsTheEarlierJob) {
    runJob(table_, 1);
    table_.close();
    {
        detail::Database other = rawConnection(table_.filePath());
        other.exec(GetParam().begin);
        EXPECT_EQ(errorOf([&] { table_.prepare(); }),
                  std::string(GetParam().action) + "卡片資料表「" + table_.filePath().string() +
                      "」：檔案正由其他程式使用中；請關閉該程式或等它完成，再試一次");
        EXPECT_FALSE(table_.isOpen());
        other.exec("ROLLBACK");
    }
    table_.open();
    EXPECT_EQ(serials(table_), serialsUpTo(6));
    runJob(table_, 2);
    EXPECT_EQ(serials(table_), serialsUpTo(12));
}

INSTANTIATE_TEST_SUITE_P(Locks, LockedFile,
                         ::testing::Values(Lock{"Exclusive", "BEGIN EXCLUSIVE", "無法開啟"},
                                           Lock{"Reserved", "BEGIN IMMEDIATE", "無法清空"}),
                         [](const auto& info) { return std::string(info.param.what); });

TEST_F(TableFixture, BatchFailsAsLockedWhileAnotherProgramWrites) {
    table_.prepare();
    detail::Database other = rawConnection(table_.filePath());
    other.exec("BEGIN IMMEDIATE");
    EXPECT_EQ(errorOf([&] { CardTable::Batch batch(table_); }),
              "無法寫入卡片資料表「" + table_.filePath().string() +
                  "」：檔案正由其他程式使用中；請關閉該程式或等它完成，再試一次");
}

TEST_F(TableFixture, NoDirectoryAndBadNames) {
    CardTable unset("tbTmp");
    EXPECT_EQ(errorOf([&] { unset.prepare(); }),
              "無法建立卡片資料表「tmpBingo.db」：尚未指定它所在的資料夾");
    for (const char* name : {"", "a/b", ".."})
        EXPECT_EQ(errorOf([&] { table_.setTableName(name); }),
                  "卡片資料表的名稱「" + std::string(name) + "」不是單純的檔名");
    EXPECT_EQ(table_.tableName(), "tmpBingo");
}

} // namespace
} // namespace bingo::store::test
