#include "caller/CallerMessages.h"

#include <cerrno>
#include <cstring>

namespace bingo::caller::messages {

namespace {

QString pathText(const std::filesystem::path& file) {
    return QString::fromStdString(file.string());
}

QString damageText(Damage damage) {
    switch (damage) {
    case Damage::NotAnEvent:
        return QStringLiteral("不是完整的事件");
    case Damage::NotTheStart:
        return QStringLiteral("不是這一局的開始");
    case Damage::AfterTheEnd:
        return QStringLiteral("在這一局結束之後");
    case Damage::UnsoundCall:
        return QStringLiteral("的叫號不合理");
    case Damage::UndoNotLast:
        return QStringLiteral("收回的不是最後叫的號碼");
    case Damage::UnknownEvent:
        return QStringLiteral("是不認得的事件");
    }
    return QStringLiteral("無法辨識");
}

} // namespace

QString recordSystemReason(int error) {
    switch (error) {
    case ENOSPC:
        return QStringLiteral("磁碟已滿");
    case EDQUOT:
        return QStringLiteral("已超過磁碟配額");
    case EACCES:
    case EPERM:
        return QStringLiteral("沒有寫入的權限");
    case EROFS:
        return QStringLiteral("檔案系統是唯讀的");
    case ENOENT:
        return QStringLiteral("目錄不存在");
    case ENOTDIR:
        return QStringLiteral("路徑中有一段不是目錄");
    case ELOOP:
        return QStringLiteral("它是符號連結，不跟隨連結寫入");
    case EIO:
        return QStringLiteral("磁碟讀寫錯誤");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

QString cannotWriteRecord(const std::filesystem::path& file, const QString& reason) {
    return QStringLiteral("無法寫入遊戲紀錄 %1：%2。").arg(pathText(file), reason);
}

QString cannotReadRecord(const std::filesystem::path& file, const QString& reason) {
    return QStringLiteral("無法讀取遊戲紀錄 %1：%2。").arg(pathText(file), reason);
}

QString cannotCreateRecordDirectory(const std::filesystem::path& directory, const QString& reason) {
    return QStringLiteral("無法建立遊戲紀錄的目錄 %1：%2。").arg(pathText(directory), reason);
}

QString recordInUse(const std::filesystem::path& file) {
    return QStringLiteral("遊戲紀錄 %1 正由另一個賓果對獎視窗使用中。").arg(pathText(file));
}

QString recordDamaged(const std::filesystem::path& file, qsizetype line, Damage damage) {
    // One pass over the placeholders: a path may hold "%2" of its own.
    return QStringLiteral("遊戲紀錄 %1 已損壞：第 %2 行%3。")
        .arg(pathText(file), QString::number(line), damageText(damage));
}

QString fileNotFound(const QString& path) {
    return QStringLiteral("找不到檔案 %1。").arg(path);
}

QString fileNotReadable(const QString& path) {
    return QStringLiteral("無法讀取 %1：它不是可以讀取的檔案。").arg(path);
}

QString notACardPdf(const QString& path) {
    return QStringLiteral("%1 不是「賓果彩卷列印」存下的彩卷 PDF，或沒有記下重建彩卷所需的資料，"
                          "無法對獎。")
        .arg(path);
}

QString noCardsInPdf(const QString& path) {
    return QStringLiteral("%1 記下的這批彩卷沒有任何一張。").arg(path);
}

QString pdfCardsDiffer(const QString& path) {
    return QStringLiteral("%1 記下的資料重建出來的彩卷與當初印的不符（檔案可能被改過），"
                          "無法對獎。")
        .arg(path);
}

QString usage() {
    return QStringLiteral("用法：bingo-caller [存下的彩卷 PDF]");
}

QString unreadableRecordNotResumed(const QString& error) {
    return error + QStringLiteral("無法接續那一局；舊紀錄保留不動，這次開始新的一局。");
}

QString recordDoesNotMatch(const std::filesystem::path& file) {
    return QStringLiteral("遊戲紀錄 %1 與這批彩卷不符，無法接續；舊紀錄保留不動，"
                          "這次開始新的一局。")
        .arg(pathText(file));
}

QString recordNotResumed(const QString& error, const std::filesystem::path& file) {
    return error +
           QStringLiteral("無法接續遊戲紀錄 %1 的那一局；舊紀錄保留不動，這次開始新的一局。")
               .arg(pathText(file));
}

QString resumed(int calls) {
    return QStringLiteral("接續上次未結束的一局：已叫 %1 個號碼。按 Ctrl+N 結束它並開始新的一局。")
        .arg(calls);
}

QString newGameReady(int cards, int range) {
    return QStringLiteral("新的一局：%1 張彩卷，號碼 1 到 %2。輸入號碼後按 Enter 叫號。")
        .arg(cards)
        .arg(range);
}

QString allNumbersCalled(int range) {
    return QStringLiteral("1 到 %1 的號碼都已經叫過了。").arg(range);
}

QString serialNotDigits(const QString& typed) {
    return QStringLiteral("序號「%1」不是 1 到 4 位數字。").arg(typed);
}

QString typedCall(const QString& typed) {
    return QStringLiteral("叫號：%1").arg(typed);
}

QString called(int count, int number) {
    return QStringLiteral("第 %1 個號碼：%2").arg(count).arg(number);
}

QString drawn(int count, int number) {
    return QStringLiteral("抽出第 %1 個號碼：%2").arg(count).arg(number);
}

QString undone(int number) {
    return QStringLiteral("已收回號碼 %1。").arg(number);
}

QString noCardWithSerial(const QString& printed) {
    return QStringLiteral("沒有彩卷印著序號 %1。").arg(printed);
}

QString checked(const QString& printed, qsizetype cards, int winning) {
    return QStringLiteral("序號 %1：%2 張彩卷，%3 張中獎。").arg(printed).arg(cards).arg(winning);
}

QString callsSoFar(int count) {
    return QStringLiteral("已叫 %1 個號碼").arg(count);
}

QString callNotMade(const QString& error) {
    return error + QStringLiteral("這個號碼沒有叫出，也沒有記錄。");
}

QString drawNotMade(const QString& error) {
    return error + QStringLiteral("沒有抽出號碼，也沒有記錄。");
}

QString undoNotMade(const QString& error) {
    return error + QStringLiteral("號碼沒有收回。");
}

QString checkNotRecorded(const QString& error) {
    return error + QStringLiteral("這次對獎的結果沒有記錄。");
}

QString gameNotEnded(const QString& error) {
    return error + QStringLiteral("這一局沒有結束。");
}

QString endGameQuestion(int calls) {
    return QStringLiteral("結束這一局（已叫 %1 個號碼），開始新的一局？").arg(calls);
}

QString newGameStarted() {
    return QStringLiteral("新的一局開始了。");
}

QString tableHoldsAnotherJob(int cards) {
    return QStringLiteral("彩卷資料表現在存的是另一批彩卷；這一局仍用開啟時讀到的 %1 張彩卷。")
        .arg(cards);
}

QString statusLine(int cards, const QString& source, const std::filesystem::path& record) {
    return QStringLiteral("%1 張彩卷　來源：%2　紀錄：%3")
        .arg(QString::number(cards), source,
             record.empty() ? QStringLiteral("（第一個叫號時建立）") : pathText(record));
}

} // namespace bingo::caller::messages
