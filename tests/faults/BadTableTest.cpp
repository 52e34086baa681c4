// A "tmpBingo.db" the program did not leave as it is: every job on it ends in a message that
// says what is wrong, the program carries on, and nothing is overwritten that is not its own.

#include "JobFixture.h"

#include <QProcess>
#include <ostream>
#include <unistd.h>

namespace bingo::faults {
namespace {

using BadTable = JobFixture;

std::string tableText(const std::filesystem::path& file) {
    return "卡片資料表「" + pathText(file) + "」";
}

/// A card table file as another program might have written it: a table tmpBingo with the
/// given columns and one record of integers.
void makeTable(const std::filesystem::path& file, const std::vector<std::string>& columns) {
    store::detail::Database db(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, "");
    std::string sql = "CREATE TABLE tmpBingo (";
    std::string values = "INSERT INTO tmpBingo VALUES (";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        sql += (i ? ", " : "") + columns[i] + " INTEGER";
        values += (i ? ", " : "") + std::to_string(i + 1);
    }
    db.exec(sql + ")");
    db.exec(values + ")");
}

TEST_F(BadTable, NotADatabaseIsLeftByteForByte) {
    std::string bytes = "My shopping list\n";
    for (int i = 0; i < 300; ++i)
        bytes += "eggs, milk, bread " + std::to_string(i) + "\n";
    writeFile(tableFile(), bytes);

    const std::vector<std::string> expected{
        "無法開啟" + tableText(tableFile()) +
        "：這個檔案不是資料庫，程式沒有更動它：請將它移走或刪除，程式會在原處建立新的卡片資料表。"};
    EXPECT_EQ(print(1), expected);
    EXPECT_EQ(print(1), expected); // and again: nothing was repaired behind the operator's back
    EXPECT_EQ(fileBytes(tableFile()), bytes);
    EXPECT_FALSE(std::filesystem::exists(temp() / "tmpBingo.db-journal"));

    // Moved away, as the message says: the next job makes a new table.
    std::filesystem::rename(tableFile(), temp() / "list.txt");
    EXPECT_EQ(print(1), NoMessage);
    EXPECT_EQ(serialsOf(tableFile()), serialsUpTo(6));
    EXPECT_EQ(fileBytes(temp() / "list.txt"), bytes);
}

TEST_F(BadTable, EmptyFileBecomesATable) {
    // An empty file is an empty SQLite database: it is the program's to fill.
    writeFile(tableFile(), "");
    EXPECT_EQ(print(1), NoMessage);
    EXPECT_EQ(serialsOf(tableFile()), serialsUpTo(6));
}

struct MissingField {
    const char* name;
    std::vector<std::string> columns;
    const char* message;
};

void PrintTo(const MissingField& field, std::ostream* os) {
    *os << field.name;
}

class LacksAField : public JobFixture, public ::testing::WithParamInterface<MissingField> {};

TEST_P(LacksAField, FirstStoreNamesTheFieldAndNoCardIsStored) {
    const MissingField& c = GetParam();
    makeTable(tableFile(), c.columns);

    EXPECT_EQ(print(2), std::vector<std::string>{c.message});
    // The job emptied the table and then stored nothing; the structure was not repaired.
    EXPECT_EQ(column(tableFile(), "SELECT count(*) FROM tmpBingo"), std::vector<std::string>{"0"});
    EXPECT_EQ(column(tableFile(), "SELECT count(*) FROM pragma_table_info('tmpBingo')"),
              std::vector<std::string>{std::to_string(c.columns.size())});
    EXPECT_EQ(integrityOf(tableFile()), "ok");
    // The same window goes on working once the file is moved away.
    std::filesystem::remove(tableFile());
    EXPECT_EQ(print(1), NoMessage);
    EXPECT_EQ(serialsOf(tableFile()), serialsUpTo(6));
}

std::vector<std::string> fieldsWithout(const std::string& missing) {
    std::vector<std::string> columns;
    for (int i = 0; i <= 25; ++i)
        if ("S" + std::to_string(i) != missing)
            columns.push_back("S" + std::to_string(i));
    return columns;
}

INSTANTIATE_TEST_SUITE_P(
    Fields, LacksAField,
    ::testing::Values(
        MissingField{"S0", fieldsWithout("S0"), "tbTmp: 資料表中找不到欄位 'S0'。"},
        MissingField{"S7", fieldsWithout("S7"), "tbTmp: 資料表中找不到欄位 'S7'。"},
        MissingField{"S25", fieldsWithout("S25"), "tbTmp: 資料表中找不到欄位 'S25'。"},
        // Store order: S0 first, then S1 ... S25.
        MissingField{"S3AndS0", {"S1", "S2", "S4"}, "tbTmp: 資料表中找不到欄位 'S0'。"},
        MissingField{"OnlyS0", {"S0"}, "tbTmp: 資料表中找不到欄位 'S1'。"}),
    [](const auto& info) { return std::string(info.param.name); });

class RefusesACard : public JobFixture, public ::testing::WithParamInterface<int> {};

// A table that refuses card k (a trigger another program added) ends the job there: the cards
// before it stay in the table, and none of the earlier job's.
TEST_P(RefusesACard, JobEndsThereAndKeepsTheCardsBeforeIt) {
    const int refused = GetParam();
    ASSERT_EQ(print(3), NoMessage);
    table().close();
    connectTo(tableFile())
        .exec("CREATE TRIGGER refuse BEFORE INSERT ON tmpBingo WHEN NEW.S0 = " +
              std::to_string(refused) + " BEGIN SELECT RAISE(ABORT, 'card refused'); END");

    EXPECT_EQ(print(2),
              std::vector<std::string>{"無法將第 " + std::to_string(refused) + " 號卡片存入" +
                                       tableText(tableFile()) +
                                       "：資料表的限制條件不接受這筆資料：「card refused」。"});
    table().close();
    EXPECT_EQ(serialsOf(tableFile()), serialsUpTo(refused - 1));
    EXPECT_EQ(integrityOf(tableFile()), "ok");

    connectTo(tableFile()).exec("DROP TRIGGER refuse");
    EXPECT_EQ(print(2), NoMessage);
    EXPECT_EQ(serialsOf(tableFile()), serialsUpTo(12));
}

INSTANTIATE_TEST_SUITE_P(Cards, RefusesACard, ::testing::Values(1, 10, 12),
                         [](const auto& info) { return "Card" + std::to_string(info.param); });

/// The sqlite3 command-line program holding an exclusive lock on a file until stopped.
class LockHolder {
  public:
    explicit LockHolder(const std::filesystem::path& file) {
        process_.start("sqlite3", {"-batch", QString::fromStdString(pathText(file))});
        if (!process_.waitForStarted(5000))
            throw std::runtime_error("cannot start the sqlite3 program: " +
                                     process_.errorString().toStdString());
        process_.write("BEGIN EXCLUSIVE;\nSELECT 'locked';\n");
        while (!process_.readAllStandardOutput().contains("locked"))
            if (!process_.waitForReadyRead(5000))
                throw std::runtime_error("sqlite3 did not take the lock: " +
                                         process_.readAllStandardError().toStdString());
    }
    ~LockHolder() {
        process_.write("ROLLBACK;\n.quit\n");
        process_.closeWriteChannel();
        if (!process_.waitForFinished(5000))
            process_.kill();
        process_.waitForFinished(1000);
    }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

  private:
    QProcess process_;
};

TEST_F(BadTable, LockedByAnotherProgramFailsAndKeepsItsCards) {
    ASSERT_EQ(print(3), NoMessage);
    table().close();
    const std::string before = fileBytes(tableFile());
    {
        LockHolder other(tableFile());
        const std::vector<std::string> expected{
            "無法開啟" + tableText(tableFile()) +
            "：檔案正由其他程式使用中；請關閉該程式或等它完成，再試一次。"};
        EXPECT_EQ(print(1), expected);
        EXPECT_EQ(print(1), expected);
    }
    EXPECT_EQ(fileBytes(tableFile()), before);
    EXPECT_EQ(serialsOf(tableFile()), serialsUpTo(18));
    // The other program has let go: the next job goes through.
    EXPECT_EQ(print(1), NoMessage);
    EXPECT_EQ(serialsOf(tableFile()), serialsUpTo(6));
}

class PlantedLink : public JobFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(PlantedLink, IsRefusedAndItsTargetLeftAlone) {
    const bool targetExists = GetParam();
    const std::filesystem::path target = dir_ / "elsewhere" / "precious.db";
    std::filesystem::create_directories(target.parent_path());
    if (targetExists)
        makeTable(target, fieldsWithout(""));
    const std::string bytes = fileBytes(target);
    std::filesystem::create_symlink(target, tableFile());

    const std::vector<std::string> expected{
        "無法開啟" + tableText(tableFile()) +
        "：這是符號連結，卡片資料表一律不經由連結開啟；請刪除這個連結。"};
    EXPECT_EQ(print(1), expected);
    EXPECT_TRUE(std::filesystem::is_symlink(tableFile()));
    EXPECT_EQ(std::filesystem::exists(target), targetExists);
    EXPECT_EQ(fileBytes(target), bytes);

    std::filesystem::remove(tableFile());
    EXPECT_EQ(print(1), NoMessage);
    EXPECT_FALSE(std::filesystem::is_symlink(tableFile()));
    EXPECT_EQ(fileBytes(target), bytes);
}

INSTANTIATE_TEST_SUITE_P(Targets, PlantedLink, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "ToADatabase" : "Dangling"; });

} // namespace
} // namespace bingo::faults
