#include "caller/CardSource.h"

#include "caller/TableWatcher.h"
#include "cards/CardGenerator.h"
#include "report/JobMetadata.h"
#include "store/CardTable.h"
#include "store/CardTableReader.h"
#include "store/Sqlite.h"
#include "store/StoreError.h"
#include "support/TestFiles.h"

#include <QPainter>
#include <QPdfDocument>
#include <QPdfWriter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace bingo::caller {
namespace {

using test::fileBytes;
using test::writeFile;

/// A job's cards into sink, and the stamp that rebuilds them.
cards::JobStamp runJob(cards::CardSink& sink, std::uint32_t seed, int range, int sheets) {
    cards::DigestingSink digesting(sink);
    cards::RandomSource random(seed);
    cards::NoProgress progress;
    cards::CardGenerator(random, digesting, progress).generate(range, sheets);
    return {seed, range, sheets, digesting.digest()};
}

std::set<std::string> filesIn(const std::filesystem::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

class CardSourceTest : public ::testing::Test {
  protected:
    std::filesystem::path dir() const { return dir_.path().toStdString(); }
    std::filesystem::path tableFile() const { return dir() / "tmpBingo.db"; }

    /// A table of a job as the printing program stores it.
    std::vector<cards::Card> printJob(int range, int sheets, std::uint32_t seed = 42) {
        store::CardTable table("tbTmp");
        table.setDirectory(dir());
        table.prepare();
        cards::CardList sink;
        {
            store::CardTable::Batch batch(table);
            runJob(sink, seed, range, sheets);
            for (const cards::Card& card : sink.cards)
                table.store(card);
            batch.commit();
        }
        table.close();
        return sink.cards;
    }

    void sql(const std::string& statements) {
        store::detail::Database db(tableFile(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, "");
        db.exec(statements);
    }

    std::string errorOf(const std::filesystem::path& directory) {
        try {
            (void)loadTableCards(directory);
        } catch (const SourceError& error) {
            return error.what();
        }
        ADD_FAILURE() << "the table was accepted";
        return {};
    }

    QString writePdf(const QByteArray& xmp, const QString& name = QStringLiteral("job.pdf")) {
        const QString path = dir_.filePath(name);
        QPdfWriter writer(path);
        writer.setTitle(QStringLiteral("Bingo"));
        if (!xmp.isEmpty())
            writer.setDocumentXmpMetadata(xmp);
        QPainter painter(&writer);
        painter.drawText(100, 100, QStringLiteral("0007"));
        painter.end();
        return path;
    }

    QTemporaryDir dir_;
};

TEST_F(CardSourceTest, ReadsTheLastJobsCardsInOrderAndLeavesTheFileAsItWas) {
    const std::vector<cards::Card> printed = printJob(75, 3);
    const std::string bytes = fileBytes(tableFile());
    const std::set<std::string> files = filesIn(dir());

    const CardSet set = loadTableCards(dir());
    ASSERT_EQ(set.cards.size(), printed.size());
    for (std::size_t i = 0; i < printed.size(); ++i) {
        EXPECT_EQ(set.cards[i].serial, printed[i].serial);
        EXPECT_EQ(set.cards[i].numbers, printed[i].numbers);
    }
    EXPECT_EQ(set.job, jobIdentity(printed));
    EXPECT_FALSE(set.rangeKnown);
    EXPECT_GE(set.range, 75);
    EXPECT_EQ(set.range % 5, 0);
    EXPECT_EQ(set.source, QString::fromStdString(tableFile().string()));

    EXPECT_EQ(fileBytes(tableFile()), bytes);
    EXPECT_EQ(filesIn(dir()), files);
    // No lock is left behind: another program can write at once.
    store::detail::Database writer(tableFile(), SQLITE_OPEN_READWRITE, "");
    EXPECT_NO_THROW(writer.exec("BEGIN EXCLUSIVE; DELETE FROM tmpBingo; COMMIT"));
}

TEST_F(CardSourceTest, FieldsAreFoundByNameInAnyCaseAndOrder) {
    std::string create = "CREATE TABLE TMPBINGO (";
    for (int i = 25; i >= 0; --i)
        create += "s" + std::to_string(i) + (i ? " SMALLINT, " : " INTEGER)");
    std::string insert = "INSERT INTO tmpbingo (";
    std::string values = ") VALUES (";
    for (int i = 0; i <= 25; ++i) {
        insert += (i ? ", S" : "S") + std::to_string(i);
        values += (i ? ", " : "") + std::to_string(i == 0 ? 7 : 30 - i);
    }
    sql(create + "; " + insert + values + ")");
    const CardSet set = loadTableCards(dir());
    ASSERT_EQ(set.cards.size(), 1u);
    EXPECT_EQ(set.cards[0].serial, 7);
    EXPECT_EQ(set.cards[0].numbers[0], 29);
    EXPECT_EQ(set.cards[0].numbers[24], 5);
    EXPECT_EQ(set.range, 30);
}

struct BadTable {
    const char* name;
    const char* sql; // run on the table of one printed sheet; empty: the file is replaced
    const char* bytes;
    const char* says; // what the message ends with
};

class BadTableTest : public CardSourceTest, public ::testing::WithParamInterface<BadTable> {};

TEST_P(BadTableTest, IsRefusedWithAMessageAndLeftAsItWas) {
    printJob(75, 1);
    const BadTable& bad = GetParam();
    if (*bad.sql)
        sql(bad.sql);
    else
        writeFile(tableFile(), bad.bytes);
    const std::string before = fileBytes(tableFile());
    const std::string message = errorOf(dir());
    EXPECT_EQ(message, "無法讀取彩卷資料表 " + tableFile().string() + "：" + bad.says);
    EXPECT_EQ(fileBytes(tableFile()), before);
}

const BadTable BadTables[] = {
    {"not_a_database", "", "These are my notes.\n", "它不是資料庫檔案，不是彩卷資料表。"},
    {"empty_file", "", "", "檔案裡沒有 tmpBingo 資料表，不是彩卷資料表。"},
    {"other_table", "DROP TABLE tmpBingo; CREATE TABLE notes (text)", "",
     "檔案裡沒有 tmpBingo 資料表，不是彩卷資料表。"},
    {"missing_field", "ALTER TABLE tmpBingo DROP COLUMN S17", "",
     "找不到欄位 S17，不是彩卷資料表。"},
    {"empty_table", "DELETE FROM tmpBingo", "", "資料表是空的，沒有任何彩卷。"},
    {"text_number", "UPDATE tmpBingo SET S3 = 'seven' WHERE S0 = 2", "",
     "第 2 筆（序號 2）的欄位 S3 不是 1 到 99 的整數。"},
    {"null_number", "UPDATE tmpBingo SET S25 = NULL WHERE S0 = 6", "",
     "第 6 筆（序號 6）的欄位 S25 不是 1 到 99 的整數。"},
    {"number_too_large", "UPDATE tmpBingo SET S1 = 100 WHERE S0 = 1", "",
     "第 1 筆（序號 1）的欄位 S1 不是 1 到 99 的整數。"},
    {"serial_not_integer", "UPDATE tmpBingo SET S0 = 2.5 WHERE S0 = 4", "",
     "第 4 筆的序號 S0 不是整數。"},
};

INSTANTIATE_TEST_SUITE_P(CardTableReader, BadTableTest, ::testing::ValuesIn(BadTables),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CardSourceTest, RepeatedNumberNamesTheNumber) {
    printJob(75, 1);
    sql("UPDATE tmpBingo SET S2 = S1 WHERE S0 = 3");
    EXPECT_TRUE(errorOf(dir()).ends_with(" 重複出現。"));
}

TEST_F(CardSourceTest, MissingOrLinkedOrLockedTablesAreRefused) {
    EXPECT_EQ(errorOf(dir()),
              "無法讀取彩卷資料表 " + tableFile().string() +
                  "：檔案不存在。請先用「賓果彩卷列印」印一批彩卷，或開啟存下的 PDF。");
    EXPECT_TRUE(filesIn(dir()).empty()) << "reading created a file";

    printJob(75, 1);
    const std::filesystem::path other = dir() / "elsewhere";
    std::filesystem::create_directory(other);
    std::filesystem::create_symlink(tableFile(), other / "tmpBingo.db");
    EXPECT_EQ(errorOf(other), "無法讀取彩卷資料表 " + (other / "tmpBingo.db").string() +
                                  "：它是符號連結，為了安全不跟隨連結開啟。");

    store::detail::Database writer(tableFile(), SQLITE_OPEN_READWRITE, "");
    writer.exec("BEGIN EXCLUSIVE; DELETE FROM tmpBingo WHERE S0 = 1");
    EXPECT_EQ(errorOf(dir()), "無法讀取彩卷資料表 " + tableFile().string() +
                                  "：檔案正被另一個程式鎖住；請等它寫完再試一次。");
    writer.exec("ROLLBACK");
    EXPECT_EQ(loadTableCards(dir()).cards.size(), 6u);
}

TEST_F(CardSourceTest, ATableLeftMidJobIsRefusedAndNotRolledBack) {
    printJob(75, 200);
    // A printing program killed while it refills the table leaves a hot journal behind.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        store::detail::Database db(tableFile(), SQLITE_OPEN_READWRITE, "");
        db.exec("PRAGMA cache_size = 2; BEGIN; DELETE FROM tmpBingo; "
                "INSERT INTO tmpBingo SELECT * FROM tmpBingo LIMIT 0");
        for (int i = 0; i < 300; ++i)
            db.exec("INSERT INTO tmpBingo VALUES (" + std::to_string(i) +
                    ", 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, "
                    "22, 23, 24, 25)");
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    const std::filesystem::path journal = dir() / "tmpBingo.db-journal";
    ASSERT_TRUE(std::filesystem::exists(journal));
    const std::string table = fileBytes(tableFile());
    const std::string hot = fileBytes(journal);
    EXPECT_EQ(errorOf(dir()),
              "無法讀取彩卷資料表 " + tableFile().string() +
                  "：上一次寫入沒有完成（留下了未收回的日誌）；請用「賓果彩卷列印」重新印一次。");
    EXPECT_EQ(fileBytes(tableFile()), table);
    EXPECT_EQ(fileBytes(journal), hot);
}

TEST_F(CardSourceTest, TheWatcherSaysOnceWhenTheTableHoldsAnotherJob) {
    printJob(75, 2);
    const CardSet set = loadTableCards(dir());
    TableWatcher watcher(dir(), set.job);
    QSignalSpy told(&watcher, &TableWatcher::anotherJob);
    watcher.poll();
    printJob(75, 2); // the same job again: nothing to say
    watcher.poll();
    EXPECT_EQ(told.count(), 0);
    const std::string before = fileBytes(tableFile());
    printJob(75, 2, 43);
    const std::string replaced = fileBytes(tableFile());
    ASSERT_NE(replaced, before);
    watcher.poll();
    EXPECT_EQ(told.count(), 1);
    printJob(75, 1, 44);
    watcher.poll();
    EXPECT_EQ(told.count(), 1);
}

TEST(JobMetadata, TheStampGoesIntoAPdfAndComesBackOut) {
    QTemporaryDir dir;
    const cards::JobStamp stamp{4000000000u, 99, 9999, 0x0123456789abcdefull};
    const QString path = dir.filePath(QStringLiteral("stamped.pdf"));
    {
        QPdfWriter writer(path);
        writer.setTitle(QStringLiteral("Bingo"));
        writer.setDocumentXmpMetadata(report::jobXmpMetadata(stamp));
        QPainter painter(&writer);
        painter.drawText(100, 100, QStringLiteral("page"));
    }
    EXPECT_EQ(report::readJobStamp(path), stamp);
    // Still a normal document that PDF readers open, titled as before.
    QPdfDocument document;
    ASSERT_EQ(document.load(path), QPdfDocument::Error::None);
    EXPECT_EQ(document.pageCount(), 1);
    EXPECT_EQ(document.metaData(QPdfDocument::MetaDataField::Title).toString(),
              QStringLiteral("Bingo"));
}

TEST_F(CardSourceTest, APdfWithoutAStampOrNotAPdfHasNone) {
    EXPECT_EQ(report::readJobStamp(writePdf({})), std::nullopt);
    const QString notes = dir_.filePath(QStringLiteral("notes.pdf"));
    writeFile(notes.toStdString(), "These are my notes, not a PDF. <bingo:job>bingo-job/1 seed=1 "
                                   "range=75 sheets=1 digest=0000000000000000</bingo:job>");
    EXPECT_EQ(report::readJobStamp(notes), std::nullopt);
    QByteArray broken = report::jobXmpMetadata({1, 75, 1, 2});
    broken.replace("sheets=1", "sheets=many");
    EXPECT_EQ(report::readJobStamp(writePdf(broken, QStringLiteral("broken.pdf"))), std::nullopt);
    EXPECT_THROW((void)report::readJobStamp(dir_.filePath(QStringLiteral("absent.pdf"))),
                 std::runtime_error);
}

TEST_F(CardSourceTest, ASavedPdfRebuildsExactlyItsJobsCards) {
    cards::CardList printed;
    const cards::JobStamp stamp = runJob(printed, 20261211u, 60, 3);
    const QString pdf = writePdf(report::jobXmpMetadata(stamp));
    const CardSet set = loadPdfCards(pdf);
    ASSERT_EQ(set.cards.size(), 18u);
    for (std::size_t i = 0; i < set.cards.size(); ++i) {
        EXPECT_EQ(set.cards[i].serial, printed.cards[i].serial);
        EXPECT_EQ(set.cards[i].numbers, printed.cards[i].numbers);
    }
    EXPECT_EQ(set.range, 60);
    EXPECT_TRUE(set.rangeKnown);
    EXPECT_TRUE(set.fromPdf);
    EXPECT_EQ(set.source, pdf);
    // The same job read from its table is the same game.
    EXPECT_EQ(set.job, jobIdentity(printed.cards));
}

TEST_F(CardSourceTest, APdfThatIsNotOursOrDoesNotRebuildIsRefused) {
    const auto errorOfPdf = [](const QString& path) -> std::string {
        try {
            (void)loadPdfCards(path);
        } catch (const SourceError& error) {
            return error.what();
        }
        return "accepted";
    };
    const QString absent = dir_.filePath(QStringLiteral("absent.pdf"));
    EXPECT_EQ(errorOfPdf(absent), "找不到檔案 " + absent.toStdString() + "。");
    EXPECT_EQ(errorOfPdf(dir_.path()),
              "無法讀取 " + dir_.path().toStdString() + "：它不是可以讀取的檔案。");
    const QString plain = writePdf({});
    EXPECT_EQ(errorOfPdf(plain),
              plain.toStdString() +
                  " 不是「賓果彩卷列印」存下的彩卷 PDF，或沒有記下重建彩卷所需的資料，無法對獎。");
    cards::CardList printed;
    cards::JobStamp stamp = runJob(printed, 5, 75, 2);
    stamp.digest ^= 1;
    const QString edited = writePdf(report::jobXmpMetadata(stamp), QStringLiteral("edited.pdf"));
    EXPECT_EQ(errorOfPdf(edited),
              edited.toStdString() +
                  " 記下的資料重建出來的彩卷與當初印的不符（檔案可能被改過），無法對獎。");
}

} // namespace
} // namespace bingo::caller
