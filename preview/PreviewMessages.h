#pragma once

#include <QString>

class QFileDevice;

/// Every text the preview's pages show the operator on a failure, in Traditional Chinese.
/// Each function returns a whole sentence or a whole reason, with the variable parts as
/// arguments; sentences end with "。".
namespace bingo::preview::messages {

/// "無法載入「path」：reason。"
[[nodiscard]] QString cannotLoad(const QString& path, const QString& reason);
[[nodiscard]] QString noPagesIn(const QString& path);
/// "無法儲存「path」：reason。"
[[nodiscard]] QString cannotSave(const QString& path, const QString& reason);
/// "無法準備要列印的檔案「path」：reason。": the PDF a print hands over.
[[nodiscard]] QString cannotPreparePrint(const QString& path, const QString& reason);
/// "無法建立列印用的暫存資料夾：reason。"
[[nodiscard]] QString noPrintFolder(const QString& reason);

// Reasons, the part after "：".
[[nodiscard]] QString fileNotFound();
[[nodiscard]] QString notAPdf();
[[nodiscard]] QString passwordProtected();
[[nodiscard]] QString unsupportedEncryption();
[[nodiscard]] QString unreadablePdf();
[[nodiscard]] QString folderMissing(const QString& folder);
[[nodiscard]] QString notAFolder(const QString& path);
/// systemError: errno behind it.
[[nodiscard]] QString folderNotWritable(const QString& folder, int systemError);
[[nodiscard]] QString isAFolder();
/// systemError: errno behind it.
[[nodiscard]] QString fileNotReadable(int systemError);
/// systemError: errno behind it.
[[nodiscard]] QString fileNotWritable(int systemError);
[[nodiscard]] QString diskFull();

/// The system's reason for errno `systemError` in a few words ("沒有權限", "唯讀的檔案系統");
/// an errno without a phrase of ours gets the system's own text.
[[nodiscard]] QString systemReason(int systemError);

/// Why `file` (opened on `path`) could not be read or written, found by looking at the file
/// and its folder; the file's own error text where nothing there explains it.
[[nodiscard]] QString fileFailureReason(const QString& path, const QFileDevice& file, bool writing);

} // namespace bingo::preview::messages
