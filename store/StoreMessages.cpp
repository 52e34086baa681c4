#include "store/StoreMessages.h"

#include <cerrno>
#include <sqlite3.h>
#include <system_error>

namespace bingo::store::messages {

namespace {

std::string quoted(const std::filesystem::path& path) {
    return "「" + path.string() + "」";
}

/// "（reason）" after a sentence, nothing without a known errno.
std::string because(int systemError) {
    return systemError == 0 ? std::string() : "（" + systemReason(systemError) + "）";
}

} // namespace

std::string cannot(Action action, const std::filesystem::path& file, const std::string& reason) {
    const std::string table = "卡片資料表" + quoted(file);
    switch (action) {
    case Action::Create:
        return "無法建立" + table + "：" + reason;
    case Action::Open:
        return "無法開啟" + table + "：" + reason;
    case Action::Empty:
        return "無法清空" + table + "：" + reason;
    case Action::Read:
        return "無法讀取" + table + "：" + reason;
    case Action::CountRecords:
        return "無法清點" + table + "：" + reason;
    case Action::WriteTo:
        return "無法寫入" + table + "：" + reason;
    case Action::SaveCards:
        return "無法將卡片存入" + table + "：" + reason;
    }
    return "無法使用" + table + "：" + reason;
}

std::string cannotStoreCard(int serial, const std::filesystem::path& file,
                            const std::string& reason) {
    return "無法將第 " + std::to_string(serial) + " 號卡片存入卡片資料表" + quoted(file) + "：" +
           reason;
}

std::string missingField(const std::string& component, const std::string& field) {
    return component + ": 資料表中找不到欄位 '" + field + "'";
}

std::string notAPlainTableName(const std::string& name) {
    return "卡片資料表的名稱「" + name + "」不是單純的檔名";
}

std::string noDirectorySet() {
    return "尚未指定它所在的資料夾";
}

std::string notOpen() {
    return "資料表尚未開啟";
}

std::string directoryMissing(const std::filesystem::path& directory) {
    return "資料夾" + quoted(directory) + "不存在";
}

std::string notADirectory(const std::filesystem::path& path) {
    return quoted(path) + "不是資料夾";
}

std::string directoryUnreachable(const std::filesystem::path& directory, int systemError) {
    return "無法進入資料夾" + quoted(directory) + because(systemError);
}

std::string directoryNotWritable(const std::filesystem::path& directory, int systemError) {
    return "資料夾" + quoted(directory) + "無法寫入" + because(systemError);
}

std::string directoryTakesNoFiles(const std::filesystem::path& directory) {
    return "資料夾" + quoted(directory) +
           "屬於系統的虛擬檔案系統，無法在其中建立檔案；請將 TEMP 設為一般的資料夾";
}

std::string symbolicLink() {
    return "這是符號連結，卡片資料表一律不經由連結開啟；請刪除這個連結";
}

std::string notARegularFile() {
    return "這不是一般檔案";
}

std::string fileMissing() {
    return "檔案不存在";
}

std::string fileReadOnly() {
    return "檔案是唯讀的";
}

std::string fileNotReadWritable(int systemError) {
    return "檔案無法讀寫" + because(systemError);
}

std::string locked() {
    return "檔案正由其他程式使用中；請關閉該程式或等它完成，再試一次";
}

std::string notADatabase() {
    return "這個檔案不是資料庫，程式沒有更動它：請將它移走或刪除，程式會在原處建立新的卡片資料表";
}

std::string closedWhileReading() {
    return "資料表在讀取途中被關閉";
}

std::string transactionEnded() {
    return "這次工作的交易提前結束（資料表已關閉，或先前的錯誤已將它復原）；請重新列印";
}

std::string systemReason(int systemError) {
    switch (systemError) {
    case EACCES:
    case EPERM:
        return "沒有權限";
    case EROFS:
        return "唯讀的檔案系統";
    case ENOENT:
        return "不存在";
    case ENOSPC:
        return "磁碟已滿";
    case EDQUOT:
        return "已超過磁碟配額";
    case ENOTDIR:
        return "路徑中有一段不是資料夾";
    case EISDIR:
        return "這是資料夾";
    case ENAMETOOLONG:
        return "路徑太長";
    case ELOOP:
        return "符號連結層數太多";
    case EIO:
        return "裝置讀寫錯誤";
    case EBUSY:
    case ETXTBSY:
        return "正由其他程式使用中";
    case ENOMEM:
        return "記憶體不足";
    case EMFILE:
    case ENFILE:
        return "開啟的檔案太多";
    case EEXIST:
        return "已經存在";
    default:
        return std::generic_category().message(systemError);
    }
}

std::string sqliteReason(int code, int systemError, const std::string& sqliteText) {
    switch (code & 0xff) {
    case SQLITE_FULL:
        return "磁碟已滿";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return "正由其他程式使用中";
    case SQLITE_NOTADB:
        return "這個檔案不是資料庫";
    case SQLITE_CORRUPT:
        return "檔案已損毀";
    case SQLITE_NOMEM:
        return "記憶體不足";
    case SQLITE_READONLY:
        return "檔案是唯讀的";
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return "沒有權限";
    case SQLITE_TOOBIG:
        return "資料太大";
    case SQLITE_CONSTRAINT:
        return "資料表的限制條件不接受這筆資料：「" + sqliteText + "」";
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
        if (systemError != 0)
            return systemReason(systemError);
        return (code & 0xff) == SQLITE_IOERR ? "讀寫檔案時發生錯誤" : "無法開啟檔案";
    default:
        break;
    }
    if (systemError != 0)
        return systemReason(systemError);
    return "SQLite 回報「" + sqliteText + "」";
}

} // namespace bingo::store::messages
