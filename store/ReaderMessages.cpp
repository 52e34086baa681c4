#include "store/ReaderMessages.h"

namespace bingo::store::messages::reader {

namespace {

std::string cardAt(std::size_t record, int serial) {
    return "第 " + std::to_string(record) + " 筆（序號 " + std::to_string(serial) + "）";
}

} // namespace

std::string cannotRead(const std::filesystem::path& file, const std::string& reason) {
    return "無法讀取彩卷資料表 " + file.string() + "：" + reason;
}

std::string fileMissing() {
    return "檔案不存在。請先用「賓果彩卷列印」印一批彩卷，或開啟存下的 PDF。";
}

std::string symbolicLink() {
    return "它是符號連結，為了安全不跟隨連結開啟。";
}

std::string notARegularFile() {
    return "它不是一般檔案。";
}

std::string noTable(const std::string& table) {
    return "檔案裡沒有 " + table + " 資料表，不是彩卷資料表。";
}

std::string missingField(const std::string& field) {
    return "找不到欄位 " + field + "，不是彩卷資料表。";
}

std::string serialNotAnInteger(std::size_t record) {
    return "第 " + std::to_string(record) + " 筆的序號 S0 不是整數。";
}

std::string numberOutOfRange(std::size_t record, int serial, const std::string& field) {
    return cardAt(record, serial) + "的欄位 " + field + " 不是 1 到 99 的整數。";
}

std::string numberRepeated(std::size_t record, int serial, long long number) {
    return cardAt(record, serial) + "的號碼 " + std::to_string(number) + " 重複出現。";
}

std::string empty() {
    return "資料表是空的，沒有任何彩卷。";
}

std::string locked() {
    return "檔案正被另一個程式鎖住；請等它寫完再試一次。";
}

std::string notADatabase() {
    return "它不是資料庫檔案，不是彩卷資料表。";
}

std::string damaged() {
    return "檔案已損壞。";
}

std::string unfinishedWrite() {
    return "上一次寫入沒有完成（留下了未收回的日誌）；請用「賓果彩卷列印」重新印一次。";
}

std::string cannotOpen() {
    return "沒有權限讀取，或無法開啟。";
}

} // namespace bingo::store::messages::reader
