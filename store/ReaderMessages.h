#pragma once

#include <filesystem>
#include <string>

/// What the caller's reader of the card table tells the operator, in Traditional Chinese, Qt-free
/// like the reader. Each function returns a whole sentence or a whole reason.
namespace bingo::store::messages::reader {

/// "無法讀取彩卷資料表 file：reason"
[[nodiscard]] std::string cannotRead(const std::filesystem::path& file, const std::string& reason);

// Reasons, the part after "：".
[[nodiscard]] std::string fileMissing();
[[nodiscard]] std::string symbolicLink();
[[nodiscard]] std::string notARegularFile();
[[nodiscard]] std::string noTable(const std::string& table);
[[nodiscard]] std::string missingField(const std::string& field);
/// record counts from 1.
[[nodiscard]] std::string serialNotAnInteger(std::size_t record);
[[nodiscard]] std::string numberOutOfRange(std::size_t record, int serial,
                                           const std::string& field);
[[nodiscard]] std::string numberRepeated(std::size_t record, int serial, long long number);
[[nodiscard]] std::string empty();
[[nodiscard]] std::string locked();
[[nodiscard]] std::string notADatabase();
[[nodiscard]] std::string damaged();
[[nodiscard]] std::string unfinishedWrite();
[[nodiscard]] std::string cannotOpen();

} // namespace bingo::store::messages::reader
