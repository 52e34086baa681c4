// The program's texts for the operator: every catalogue entry is Chinese with full-width
// punctuation, the error box shows them whole and fits the screen, and Qt's own dialog texts
// are Chinese once start-up has installed the translation.

#include "AppTestSupport.h"
#include "app/AppMessages.h"
#include "app/ErrorBox.h"
#include "app/InterfaceFont.h"
#include "app/Translations.h"
#include "cards/CardMessages.h"
#include "preview/PreviewMessages.h"
#include "report/ReportMessages.h"
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
