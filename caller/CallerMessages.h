#pragma once

#include <QString>
#include <filesystem>

/// Every message the caller shows the operator, in Traditional Chinese: errors, refusals,
/// confirmations and status lines. Each function returns the whole sentence; the variable parts
/// come in as arguments. The verdicts on a card are in GameTexts.
namespace bingo::caller::messages {

// The game record.

/// The reason for errno `error` when the record is written ("磁碟已滿"); an errno without a
/// phrase of ours gets the system's own text.
[[nodiscard]] QString recordSystemReason(int error);
/// "無法寫入遊戲紀錄 file：reason。"
[[nodiscard]] QString cannotWriteRecord(const std::filesystem::path& file, const QString& reason);
/// "無法讀取遊戲紀錄 file：reason。"
[[nodiscard]] QString cannotReadRecord(const std::filesystem::path& file, const QString& reason);
[[nodiscard]] QString cannotCreateRecordDirectory(const std::filesystem::path& directory,
                                                  const QString& reason);
[[nodiscard]] QString recordInUse(const std::filesystem::path& file);

/// What is wrong with a line of a damaged record.
enum class Damage { NotAnEvent, NotTheStart, AfterTheEnd, UnsoundCall, UndoNotLast, UnknownEvent };
/// "遊戲紀錄 file 已損壞：第 line 行不是完整的事件。"
[[nodiscard]] QString recordDamaged(const std::filesystem::path& file, qsizetype line,
                                    Damage damage);

// Where the cards come from.

[[nodiscard]] QString fileNotFound(const QString& path);
[[nodiscard]] QString fileNotReadable(const QString& path);
[[nodiscard]] QString notACardPdf(const QString& path);
[[nodiscard]] QString noCardsInPdf(const QString& path);
[[nodiscard]] QString pdfCardsDiffer(const QString& path);
/// The command line the program takes.
[[nodiscard]] QString usage();

// Resuming an unfinished game; error is the sentence that says why it failed.

[[nodiscard]] QString unreadableRecordNotResumed(const QString& error);
[[nodiscard]] QString recordDoesNotMatch(const std::filesystem::path& file);
[[nodiscard]] QString recordNotResumed(const QString& error, const std::filesystem::path& file);
[[nodiscard]] QString resumed(int calls);

// Calls and checks.

[[nodiscard]] QString newGameReady(int cards, int range);
[[nodiscard]] QString allNumbersCalled(int range);
[[nodiscard]] QString serialNotDigits(const QString& typed);
/// "叫號：12": what is being typed, on the board in full screen.
[[nodiscard]] QString typedCall(const QString& typed);
[[nodiscard]] QString called(int count, int number);
[[nodiscard]] QString drawn(int count, int number);
[[nodiscard]] QString undone(int number);
[[nodiscard]] QString noCardWithSerial(const QString& printed);
[[nodiscard]] QString checked(const QString& printed, qsizetype cards, int winning);
/// "已叫 3 個號碼", under the last call on the board.
[[nodiscard]] QString callsSoFar(int count);

// An error, then what did not happen because of it.

[[nodiscard]] QString callNotMade(const QString& error);
[[nodiscard]] QString drawNotMade(const QString& error);
[[nodiscard]] QString undoNotMade(const QString& error);
[[nodiscard]] QString checkNotRecorded(const QString& error);
[[nodiscard]] QString gameNotEnded(const QString& error);

// The game as a whole.

[[nodiscard]] QString endGameQuestion(int calls);
[[nodiscard]] QString newGameStarted();
[[nodiscard]] QString tableHoldsAnotherJob(int cards);
/// The status bar: cards, where they came from, and the record file (empty: not made yet).
[[nodiscard]] QString statusLine(int cards, const QString& source,
                                 const std::filesystem::path& record);

} // namespace bingo::caller::messages
