// The program's texts for the operator: every catalogue entry is Chinese with full-width
// punctuation, the error box shows them whole and fits the screen, and Qt's own dialog texts
// are Chinese once start-up has installed the translation.

#include "AppTestSupport.h"
#include "app/AppMessages.h"
#include "app/ErrorBox.h"
#include "app/InterfaceFont.h"
#include "app/Translations.h"
#include "caller/CallerMessages.h"
#include "caller/Game.h"
#include "caller/GameMessages.h"
#include "caller/GameTexts.h"
#include "cards/CardMessages.h"
#include "preview/PreviewMessages.h"
#include "report/ReportMessages.h"
#include "store/ReaderMessages.h"
#include "store/StoreMessages.h"

#include <QFile>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
#include <QTranslator>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace bingo::app::test {
namespace {

/// One catalogue entry called with sample arguments, and those arguments as they appear.
struct Entry {
    const char* name;
    QString text;
    QStringList arguments;
};

QString fromStd(const std::string& text) {
    return QString::fromStdString(text);
}

/// A game of two cards sharing their first row, after calls 1 to 5: both complete that row with
/// the last call, so the who-has-bingo list has names to list and to cut short.
caller::Game twoWinnersGame() {
    cards::Card first{7, {}};
    cards::Card second{8, {}};
    for (int k = 0; k < cards::NumbersPerCard; ++k) {
        first.numbers[static_cast<std::size_t>(k)] = k + 1;
        second.numbers[static_cast<std::size_t>(k)] = k < 5 ? k + 1 : k + 21;
    }
    caller::Game game({first, second}, 45);
    for (int n = 1; n <= 5; ++n)
        game.call(n);
    return game;
}

void appendCallerEntries(std::vector<Entry>& all) {
    namespace caller = bingo::caller;
    namespace messages = bingo::caller::messages;
    namespace reader = bingo::store::messages::reader;
    using messages::Damage;
    const std::filesystem::path file = "/tmp/Some Folder/game-20260101-120000-000-00.jsonl";
    const std::filesystem::path dir = "/tmp/Some Folder";
    const QString record = QString::fromStdString(file.string());
    const QString folder = QString::fromStdString(dir.string());
    const QString pdf = QStringLiteral("/tmp/Some Folder/Bingo.pdf");
    const QString reason = QStringLiteral("Some reason here");
    // An error the caller puts in front of what did not happen.
    const QString error = QStringLiteral("無法寫入遊戲紀錄 /tmp/Some Folder/g.jsonl：磁碟已滿。");
    const std::filesystem::path table = "/tmp/Some Folder/tmpBingo.db";
    const QString tableText = QString::fromStdString(table.string());
    std::vector<Entry> entries{
        {"caller::cannotWriteRecord", messages::cannotWriteRecord(file, reason), {record, reason}},
        {"caller::cannotReadRecord", messages::cannotReadRecord(file, reason), {record, reason}},
        {"caller::cannotCreateRecordDirectory",
         messages::cannotCreateRecordDirectory(dir, reason),
         {folder, reason}},
        {"caller::recordInUse", messages::recordInUse(file), {record}},
        {"caller::fileNotFound", messages::fileNotFound(pdf), {pdf}},
        {"caller::fileNotReadable", messages::fileNotReadable(pdf), {pdf}},
        {"caller::notACardPdf", messages::notACardPdf(pdf), {pdf}},
        {"caller::noCardsInPdf", messages::noCardsInPdf(pdf), {pdf}},
        {"caller::pdfCardsDiffer", messages::pdfCardsDiffer(pdf), {pdf}},
        {"caller::usage", messages::usage(), {"bingo-caller"}},
        {"caller::unreadableRecordNotResumed",
         messages::unreadableRecordNotResumed(error),
         {error}},
        {"caller::recordDoesNotMatch", messages::recordDoesNotMatch(file), {record}},
        {"caller::recordNotResumed", messages::recordNotResumed(error, file), {error, record}},
        {"caller::resumed", messages::resumed(12), {"Ctrl+N"}},
        {"caller::newGameReady", messages::newGameReady(5994, 75), {"Enter"}},
        {"caller::numberOutOfRange", fromStd(messages::numberOutOfRange(100, 75)), {}},
        {"caller::alreadyCalled", fromStd(messages::alreadyCalled(42)), {}},
        {"caller::nothingToUndo", fromStd(messages::nothingToUndo()), {}},
        {"caller::allNumbersCalled", messages::allNumbersCalled(75), {}},
        {"caller::serialNotDigits", messages::serialNotDigits("12a b"), {"12a b"}},
        {"caller::typedCall", messages::typedCall("42"), {}},
        {"caller::called", messages::called(3, 42), {}},
        {"caller::drawn", messages::drawn(3, 42), {}},
        {"caller::undone", messages::undone(42), {}},
        {"caller::noCardWithSerial", messages::noCardWithSerial("0007"), {}},
        {"caller::checked", messages::checked("0007", 2, 1), {}},
        {"caller::callsSoFar", messages::callsSoFar(3), {}},
        {"caller::callNotMade", messages::callNotMade(error), {error}},
        {"caller::drawNotMade", messages::drawNotMade(error), {error}},
        {"caller::undoNotMade", messages::undoNotMade(error), {error}},
        {"caller::checkNotRecorded", messages::checkNotRecorded(error), {error}},
        {"caller::gameNotEnded", messages::gameNotEnded(error), {error}},
        {"caller::endGameQuestion", messages::endGameQuestion(12), {}},
        {"caller::newGameStarted", messages::newGameStarted(), {}},
        {"caller::tableHoldsAnotherJob", messages::tableHoldsAnotherJob(5994), {}},
        {"caller::statusLine", messages::statusLine(5994, tableText, file), {tableText, record}},
        {"caller::statusLine(no record)", messages::statusLine(5994, pdf, {}), {pdf}},
        {"report::cannotReadSavedPdf",
         report::messages::cannotReadSavedPdf(pdf, reason),
         {pdf, reason}},
        {"reader::cannotRead",
         fromStd(reader::cannotRead(table, "Some reason here")),
         {tableText, reason}},
        {"reader::fileMissing", fromStd(reader::fileMissing()), {}},
        {"reader::symbolicLink", fromStd(reader::symbolicLink()), {}},
        {"reader::notARegularFile", fromStd(reader::notARegularFile()), {}},
        {"reader::noTable", fromStd(reader::noTable("tbTmp")), {"tbTmp"}},
        {"reader::missingField", fromStd(reader::missingField("S7")), {}},
        {"reader::serialNotAnInteger", fromStd(reader::serialNotAnInteger(3)), {}},
        {"reader::numberOutOfRange", fromStd(reader::numberOutOfRange(3, 7, "S4")), {}},
        {"reader::numberRepeated", fromStd(reader::numberRepeated(3, 7, 42)), {}},
        {"reader::empty", fromStd(reader::empty()), {}},
        {"reader::locked", fromStd(reader::locked()), {}},
        {"reader::notADatabase", fromStd(reader::notADatabase()), {}},
        {"reader::damaged", fromStd(reader::damaged()), {}},
        {"reader::unfinishedWrite", fromStd(reader::unfinishedWrite()), {}},
        {"reader::cannotOpen", fromStd(reader::cannotOpen()), {}},
    };
    for (const Damage damage : {Damage::NotAnEvent, Damage::NotTheStart, Damage::AfterTheEnd,
                                Damage::UnsoundCall, Damage::UndoNotLast, Damage::UnknownEvent})
        entries.push_back(
            {"caller::recordDamaged", messages::recordDamaged(file, 4, damage), {record}});
    for (const int errorNumber :
         {ENOSPC, EDQUOT, EACCES, EPERM, EROFS, ENOENT, ENOTDIR, ELOOP, EIO})
        entries.push_back(
            {"caller::recordSystemReason", messages::recordSystemReason(errorNumber), {}});

    // The verdicts and the who-has-bingo list.
    for (const caller::Pattern pattern :
         {caller::Pattern::OneLine, caller::Pattern::TwoLines, caller::Pattern::FullCard})
        entries.push_back({"caller::patternLabel", caller::patternLabel(pattern), {}});
    for (int line = 0; line < 12; ++line)
        entries.push_back({"caller::lineLabel", caller::lineLabel(line), {}});
    caller::Verdict winning;
    winning.serial = 7;
    winning.page = 2;
    winning.winning = true;
    winning.lines = {0, 5, 10};
    winning.fullCard = true;
    winning.atCall = 24;
    caller::Verdict losing;
    losing.serial = 8;
    losing.page = 2;
    losing.lines = {11};
    losing.missing = {3, 17, 42};
    entries.push_back({"caller::cardLabel", caller::cardLabel(winning), {}});
    entries.push_back({"caller::verdictText(winning)",
                       caller::verdictText(winning, caller::Pattern::OneLine),
                       {}});
    entries.push_back({"caller::verdictText(losing)",
                       caller::verdictText(losing, caller::Pattern::TwoLines),
                       {}});
    const caller::Game game = twoWinnersGame();
    entries.push_back({"caller::winnersText", caller::winnersText(game), {}});
    entries.push_back({"caller::winnersText(cut short)", caller::winnersText(game, 1), {}});
    caller::Game quiet = twoWinnersGame();
    quiet.call(45);
    entries.push_back({"caller::winnersText(none new)", caller::winnersText(quiet), {}});
    entries.push_back(
        {"caller::winnersText(no calls)", caller::winnersText(caller::Game(game.cards(), 45)), {}});
    all.insert(all.end(), entries.begin(), entries.end());
}

std::vector<Entry> catalogue() {
    namespace store = bingo::store::messages;
    namespace report = bingo::report::messages;
    namespace preview = bingo::preview::messages;
    using store::Action;
    const std::filesystem::path file = "/tmp/Some Folder/tmpBingo.db";
    const std::filesystem::path dir = "/tmp/Some Folder";
    const QString path = QStringLiteral("/tmp/Some Folder/Bingo.pdf");
    const QString folder = QStringLiteral("/tmp/Some Folder");
    const QString reason = QStringLiteral("Some reason here");
    const QStringList f{QString::fromStdString(file.string()), reason};
    std::vector<Entry> all{
        {"store::cannot(Create)", fromStd(store::cannot(Action::Create, file, "Some reason here")),
         f},
        {"store::cannot(Open)", fromStd(store::cannot(Action::Open, file, "Some reason here")), f},
        {"store::cannot(Empty)", fromStd(store::cannot(Action::Empty, file, "Some reason here")),
         f},
        {"store::cannot(Read)", fromStd(store::cannot(Action::Read, file, "Some reason here")), f},
        {"store::cannot(CountRecords)",
         fromStd(store::cannot(Action::CountRecords, file, "Some reason here")), f},
        {"store::cannot(WriteTo)",
         fromStd(store::cannot(Action::WriteTo, file, "Some reason here")), f},
        {"store::cannot(SaveCards)",
         fromStd(store::cannot(Action::SaveCards, file, "Some reason here")), f},
        {"store::cannotStoreCard", fromStd(store::cannotStoreCard(17, file, "Some reason here")),
         f},
        {"store::missingField", fromStd(store::missingField("tbTmp", "S7")), {"tbTmp: ", "S7"}},
        {"store::notAPlainTableName", fromStd(store::notAPlainTableName("a/b c")), {"a/b c"}},
        {"store::noDirectorySet", fromStd(store::noDirectorySet()), {}},
        {"store::notOpen", fromStd(store::notOpen()), {}},
        {"store::directoryMissing", fromStd(store::directoryMissing(dir)), {folder}},
        {"store::notADirectory", fromStd(store::notADirectory(dir)), {folder}},
        {"store::directoryUnreachable",
         fromStd(store::directoryUnreachable(dir, EACCES)),
         {folder}},
        {"store::directoryNotWritable", fromStd(store::directoryNotWritable(dir, EROFS)), {folder}},
        {"store::directoryNotWritable(0)", fromStd(store::directoryNotWritable(dir, 0)), {folder}},
        {"store::directoryTakesNoFiles",
         fromStd(store::directoryTakesNoFiles(dir)),
         {folder, "TEMP"}},
        {"store::symbolicLink", fromStd(store::symbolicLink()), {}},
        {"store::notARegularFile", fromStd(store::notARegularFile()), {}},
        {"store::fileMissing", fromStd(store::fileMissing()), {}},
        {"store::fileReadOnly", fromStd(store::fileReadOnly()), {}},
        {"store::fileNotReadWritable", fromStd(store::fileNotReadWritable(EACCES)), {}},
        {"store::locked", fromStd(store::locked()), {}},
        {"store::notADatabase", fromStd(store::notADatabase()), {}},
        {"store::closedWhileReading", fromStd(store::closedWhileReading()), {}},
        {"store::transactionEnded", fromStd(store::transactionEnded()), {}},
        {"store::sqliteReason(other)",
         fromStd(store::sqliteReason(SQLITE_CONSTRAINT, 0, "constraint failed")),
         {"SQLite", "constraint failed"}},
        {"cards::rangeTooSmall", fromStd(cards::messages::rangeTooSmall(25, 3)), {}},
        {"cards::negativeSheets", fromStd(cards::messages::negativeSheets(-2)), {}},
        {"report::notAnInteger", report::notAnInteger("abc def"), {"abc def"}},
        {"report::recordCannotBePrinted", report::recordCannotBePrinted(3, reason), {reason}},
        {"report::missingField", report::missingField("QRDBText4", "S4"), {"QRDBText4: ", "S4"}},
        {"report::missingPrintHandler",
         report::missingPrintHandler("QRLabel1", "onPrintSerial"),
         {"QRLabel1", "onPrintSerial"}},
        {"report::cannotSavePages", report::cannotSavePages(path, reason), {path, reason}},
        {"report::noPagesToSave", report::noPagesToSave(), {"PDF"}},
        {"report::pdfNotStarted", report::pdfNotStarted(), {"PDF"}},
        {"report::pdfPageRefused", report::pdfPageRefused(2), {"PDF"}},
        {"report::pdfNotFinished", report::pdfNotFinished(), {"PDF"}},
        {"report::pagesNotInReport", report::pagesNotInReport("5-7", 4), {}},
        {"report::cannotPreparePrint", report::cannotPreparePrint(path, reason), {path, reason}},
        {"report::layoutUnusable", report::layoutUnusable(reason), {reason}},
        {"report::placeComponent", report::placeComponent("Big Label"), {"Big Label"}},
        {"report::placeFontOf", report::placeFontOf(report::placeBand()), {}},
        {"report::layoutMissingKey",
         report::layoutMissingKey(report::placeReport(), "paper"),
         {"paper"}},
        {"report::layoutNotANumber",
         report::layoutNotANumber(report::placePaper(), "width"),
         {"width"}},
        {"report::layoutNegative",
         report::layoutNegative(report::placeMargins(), "left"),
         {"left"}},
        {"report::layoutNotPositive",
         report::layoutNotPositive(report::placeComponentNumber(2), "pointSize"),
         {"pointSize"}},
        {"report::layoutNotText", report::layoutNotText(report::placeReport(), "title"), {"title"}},
        {"report::layoutNotBoolean",
         report::layoutNotBoolean(report::placeReport(), "wordWrap"),
         {"wordWrap", "true", "false"}},
        {"report::layoutNotColour",
         report::layoutNotColour(report::placeBand(), "color"),
         {"color"}},
        {"report::layoutUnknownKind",
         report::layoutUnknownKind(report::placeBand(), "round box"),
         {"round box"}},
        {"report::layoutUnknownAlignment",
         report::layoutUnknownAlignment(report::placeBand(), "far left"),
         {"far left"}},
        {"report::layoutOnlyDateTime",
         report::layoutOnlyDateTime(report::placeBand()),
         {"dateTime"}},
        {"report::layoutNotJson",
         report::layoutNotJson("unterminated object", 12),
         {"JSON", "unterminated object"}},
        {"report::layoutUnitsNotMm", report::layoutUnitsNotMm(), {"units", "mm"}},
        {"report::layoutBadOrientation", report::layoutBadOrientation(), {"portrait", "landscape"}},
        {"report::layoutNoColumn", report::layoutNoColumn(), {}},
        {"report::layoutOnlyDetailBand", report::layoutOnlyDetailBand(), {}},
        {"report::layoutBandWithoutSize", report::layoutBandWithoutSize(), {}},
        {"report::layoutDuplicateComponent",
         report::layoutDuplicateComponent("Big Label"),
         {"Big Label"}},
        {"report::layoutResourceMissing",
         report::layoutResourceMissing(":/report/qr1.json"),
         {":/report/qr1.json"}},
        {"preview::cannotLoad", preview::cannotLoad(path, reason), {path, reason}},
        {"preview::noPagesIn", preview::noPagesIn(path), {path}},
        {"preview::cannotSave", preview::cannotSave(path, reason), {path, reason}},
        {"preview::cannotPreparePrint", preview::cannotPreparePrint(path, reason), {path, reason}},
        {"preview::noPrintFolder", preview::noPrintFolder(reason), {reason}},
        {"preview::currentPageOutside", preview::currentPageOutside(5, 4), {}},
        {"preview::rangeOutside", preview::rangeOutside("5-7", 4), {}},
        {"preview::nothingToPrint", preview::nothingToPrint(), {}},
        {"preview::noPrinterChosen", preview::noPrinterChosen(), {}},
        {"preview::cannotReachPrintSystem",
         preview::cannotReachPrintSystem("/run/cups/cups.sock", reason),
         {"/run/cups/cups.sock", reason}},
        {"preview::queueRefusedJob",
         preview::queueRefusedJob("Office Printer", "Printer not accepting jobs"),
         {"Office Printer", "Printer not accepting jobs"}},
        {"preview::cannotSendJob",
         preview::cannotSendJob("Office Printer", "Broken pipe"),
         {"Office Printer", "Broken pipe"}},
        {"preview::queueDidNotTakeJob",
         preview::queueDidNotTakeJob("Office Printer", "Broken pipe"),
         {"Office Printer", "Broken pipe"}},
        {"preview::cannotReadPrintFile",
         preview::cannotReadPrintFile(path, reason),
         {path, reason}},
        {"preview::emptyPrintFile", preview::emptyPrintFile(path), {path, "PDF"}},
        {"preview::loadedPdfToFileOnlyWhole", preview::loadedPdfToFileOnlyWhole(), {"PDF"}},
        {"preview::cannotWritePrintFile",
         preview::cannotWritePrintFile(path, reason),
         {path, reason}},
        {"preview::fileNotFound", preview::fileNotFound(), {}},
        {"preview::notAPdf", preview::notAPdf(), {"PDF"}},
        {"preview::passwordProtected", preview::passwordProtected(), {}},
        {"preview::unsupportedEncryption", preview::unsupportedEncryption(), {}},
        {"preview::unreadablePdf", preview::unreadablePdf(), {"PDF"}},
        {"preview::folderMissing", preview::folderMissing(folder), {folder}},
        {"preview::notAFolder", preview::notAFolder(folder), {folder}},
        {"preview::folderNotWritable", preview::folderNotWritable(folder, EROFS), {folder}},
        {"preview::isAFolder", preview::isAFolder(), {}},
        {"preview::fileNotReadable", preview::fileNotReadable(EACCES), {}},
        {"preview::fileNotWritable", preview::fileNotWritable(EACCES), {}},
        {"preview::diskFull", preview::diskFull(), {}},
        {"app::unexpectedError", messages::unexpectedError(), {}},
        {"app::buttonPictureUnreadable",
         messages::buttonPictureUnreadable(":/glyphs/print.xpm"),
         {":/glyphs/print.xpm"}},
    };
    // The reasons given for the system's errors and SQLite's result codes.
    for (const int error : {EACCES, EPERM, EROFS, ENOENT, ENOSPC, EDQUOT, ENOTDIR, EISDIR,
                            ENAMETOOLONG, ELOOP, EIO, EBUSY, ENOMEM, EMFILE, EEXIST}) {
        all.push_back({"store::systemReason", fromStd(store::systemReason(error)), {}});
        all.push_back({"preview::systemReason", preview::systemReason(error), {}});
    }
    for (const int code : {SQLITE_FULL, SQLITE_BUSY, SQLITE_LOCKED, SQLITE_NOTADB, SQLITE_CORRUPT,
                           SQLITE_NOMEM, SQLITE_READONLY, SQLITE_PERM, SQLITE_TOOBIG, SQLITE_IOERR,
                           SQLITE_IOERR_WRITE, SQLITE_CANTOPEN})
        all.push_back({"store::sqliteReason", fromStd(store::sqliteReason(code, 0, "x y z")), {}});
    appendCallerEntries(all);
    return all;
}

TEST(MessageCatalogue, EveryEntryIsChineseWithFullWidthPunctuation) {
    const QRegularExpression cjk(QStringLiteral("[\\x{4E00}-\\x{9FFF}]"));
    // Two ASCII words in a row are an English phrase; "PDF 檔案" and "SQLite 回報" are not.
    const QRegularExpression english(QStringLiteral("[A-Za-z]{2,}[ ,;:'-]+[A-Za-z]{2,}"));
    const QRegularExpression halfWidth(QStringLiteral("[,;:()!?\"]|\\.$"));
    for (const Entry& entry : catalogue()) {
        SCOPED_TRACE(entry.name);
        QString rest = entry.text;
        for (const QString& argument : entry.arguments)
            rest.replace(argument, QStringLiteral("#"));
        EXPECT_TRUE(entry.text.contains(cjk)) << entry.text.toStdString();
        EXPECT_FALSE(rest.contains(english)) << rest.toStdString();
        EXPECT_FALSE(rest.contains(halfWidth)) << rest.toStdString();
    }
}

TEST(MessageCatalogue, MissingFieldKeepsTheComponentAndTheFieldName) {
    EXPECT_EQ(store::messages::missingField("tbTmp", "S7"), "tbTmp: 資料表中找不到欄位 'S7'");
    EXPECT_EQ(report::messages::missingField("QRDBText4", "S4"),
              QStringLiteral("QRDBText4: 資料表中找不到欄位 'S4'"));
}

TEST(MessageCatalogue, APathHoldingPlaceholdersStaysAsItIs) {
    const std::filesystem::path file = "/tmp/%2 and %3/game.jsonl";
    EXPECT_EQ(caller::messages::recordDamaged(file, 4, caller::messages::Damage::NotAnEvent),
              QStringLiteral("遊戲紀錄 /tmp/%2 and %3/game.jsonl 已損壞：第 4 行不是完整的事件。"));
    EXPECT_EQ(caller::messages::statusLine(12, QStringLiteral("/tmp/%2%3/tmpBingo.db"), file),
              QStringLiteral("12 張彩卷　來源：/tmp/%2%3/tmpBingo.db　紀錄：/tmp/%2 and "
                             "%3/game.jsonl"));
}

TEST(MessageCatalogue, AnErrnoWithoutAPhraseGetsTheSystemsOwnText) {
    EXPECT_EQ(store::messages::systemReason(EXDEV), std::strerror(EXDEV));
    EXPECT_EQ(preview::messages::systemReason(EXDEV), QString::fromLocal8Bit(std::strerror(EXDEV)));
    // The system call behind an I/O error says more than SQLite's code.
    EXPECT_EQ(store::messages::sqliteReason(SQLITE_IOERR_WRITE, ENOSPC, "disk I/O error"),
              "磁碟已滿");
}

struct ChineseStop {
    const char* message;
    const char* shown;
};

void PrintTo(const ChineseStop& c, std::ostream* os) {
    *os << '"' << c.message << '"';
}

class ChineseErrorBoxText : public ::testing::TestWithParam<ChineseStop> {};

TEST_P(ChineseErrorBoxText, EndsWithAChineseFullStop) {
    EXPECT_EQ(errorBoxText(QString::fromUtf8(GetParam().message)),
              QString::fromUtf8(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ChineseErrorBoxText,
    ::testing::Values(ChineseStop{"找不到資料表", "找不到資料表。"},
                      ChineseStop{"已儲存。", "已儲存。"}, ChineseStop{"真的嗎？", "真的嗎？"},
                      ChineseStop{"無法寫入（沒有權限）", "無法寫入（沒有權限）。"},
                      ChineseStop{"無法開啟「/tmp/a.db」", "無法開啟「/tmp/a.db」。"},
                      ChineseStop{"tbTmp: 資料表中找不到欄位 'S7'",
                                  "tbTmp: 資料表中找不到欄位 'S7'。"}));

TEST(ErrorBox, ShortensALongPathInTheMiddleAndKeepsItsEnd) {
    const QString longDir = QStringLiteral("/tmp/") + QString(5029, u'x');
    const QString message =
        QStringLiteral("無法建立卡片資料表「%1/tmpBingo.db」：路徑太長").arg(longDir);
    const QString shown = shortenedRuns(message);
    EXPECT_TRUE(shown.startsWith(QStringLiteral("無法建立卡片資料表「/tmp/xxx")))
        << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("xxx/tmpBingo.db」：路徑太長")))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("…")));
    EXPECT_EQ(shown.size(),
              QStringLiteral("無法建立卡片資料表「」：路徑太長").size() + MaxUnbrokenRun);

    // Short runs, blanks and quotes stay as they are.
    const QString ordinary =
        QStringLiteral("無法開啟卡片資料表「/tmp/a b/tmpBingo.db」：檔案是唯讀的");
    EXPECT_EQ(shortenedRuns(ordinary), ordinary);
}

TEST(ErrorBox, WithAVeryLongPathFitsTheScreen) {
    const QString longDir = QStringLiteral("/tmp/") + QString(5029, u'd');
    const auto box = createErrorBox(
        "bingo",
        QStringLiteral("無法建立卡片資料表「%1/tmpBingo.db」：資料夾「%1」不存在").arg(longDir));
    box->adjustSize();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(box->width(), screen.width());
    EXPECT_LE(box->height(), screen.height());
    EXPECT_TRUE(box->text().endsWith(QStringLiteral("」不存在。")));
}

class Translation : public ::testing::Test {
  protected:
    void TearDown() override {
        // Deleting a translator takes it out of the application again.
        qDeleteAll(application().findChildren<QTranslator*>(Qt::FindDirectChildrenOnly));
    }
};

TEST_F(Translation, QtsOwnDialogTextsAreChineseOnceInstalled) {
    ASSERT_EQ(QCoreApplication::translate("QFileDialog", "Save As"), "Save As");
    ASSERT_TRUE(installTranslations(application()));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"), QStringLiteral("另存新檔"));
}

TEST_F(Translation, AFolderWithoutItLeavesQtsTextsEnglish) {
    EXPECT_FALSE(installTranslations(application(), QStringLiteral("/nonexistent")));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"), "Save As");
}

TEST(InterfaceFont, DialogsGetACjkSansAndAWidgetsOwnFaceStays) {
    const QFont before = QApplication::font();
    useInterfaceFont(application());
    QLabel dialogText(QStringLiteral("檔案名稱"));
    EXPECT_EQ(QFontInfo(dialogText.font()).family(), "Noto Sans CJK TC");
    QLabel formText(QStringLiteral("列印號數"));
    QFont ming(QStringLiteral("新細明體"), 16);
    formText.setFont(ming);
    EXPECT_NE(QFontInfo(formText.font()).family(), "Noto Sans CJK TC");
    QApplication::setFont(before);
}

} // namespace
} // namespace bingo::app::test
