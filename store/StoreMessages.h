#pragma once

#include <filesystem>
#include <string>

/// Every text the card table shows the operator, in Traditional Chinese. Each function returns
/// a whole sentence or a whole reason; the variable parts come in as arguments. Sentences end
/// without a full stop: the error box adds it.
namespace bingo::store::messages {

/// What a failed operation was doing to the card table.
enum class Action { Create, Open, Empty, Read, CountRecords, WriteTo, SaveCards };

/// "無法開啟卡片資料表「file」：reason"
[[nodiscard]] std::string cannot(Action action, const std::filesystem::path& file,
                                 const std::string& reason);
/// "無法將第 serial 號卡片存入卡片資料表「file」：reason"
[[nodiscard]] std::string cannotStoreCard(int serial, const std::filesystem::path& file,
                                          const std::string& reason);
/// "tbTmp: 資料表中找不到欄位 'S7'": the component's name, then the field's.
[[nodiscard]] std::string missingField(const std::string& component, const std::string& field);
[[nodiscard]] std::string notAPlainTableName(const std::string& name);

// Reasons, the part after "：".
[[nodiscard]] std::string noDirectorySet();
[[nodiscard]] std::string notOpen();
[[nodiscard]] std::string directoryMissing(const std::filesystem::path& directory);
[[nodiscard]] std::string notADirectory(const std::filesystem::path& path);
/// systemError: errno of the failed look-up.
[[nodiscard]] std::string directoryUnreachable(const std::filesystem::path& directory,
                                               int systemError);
/// systemError: errno behind it, 0 where none is known.
[[nodiscard]] std::string directoryNotWritable(const std::filesystem::path& directory,
                                               int systemError);
/// A directory that exists but in which no file can be made (/proc, /sys).
[[nodiscard]] std::string directoryTakesNoFiles(const std::filesystem::path& directory);
[[nodiscard]] std::string symbolicLink();
[[nodiscard]] std::string notARegularFile();
[[nodiscard]] std::string fileMissing();
[[nodiscard]] std::string fileReadOnly();
/// systemError: errno behind it, 0 where none is known.
[[nodiscard]] std::string fileNotReadWritable(int systemError);
[[nodiscard]] std::string locked();
[[nodiscard]] std::string notADatabase();
[[nodiscard]] std::string closedWhileReading();
[[nodiscard]] std::string transactionEnded();

/// The system's reason for errno `systemError` in a few words ("沒有權限", "磁碟已滿"); an
/// errno without a phrase of ours gets the system's own text.
[[nodiscard]] std::string systemReason(int systemError);
/// The reason for a SQLite failure: its (extended) result code first, then the errno of the
/// system call behind it; SQLite's own text where neither says more.
[[nodiscard]] std::string sqliteReason(int code, int systemError, const std::string& sqliteText);

} // namespace bingo::store::messages
