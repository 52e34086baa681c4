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

// Printing.
/// "目前的頁（第 page 頁）不在這份文件的 pageCount 頁之內。": page counts from 1.
[[nodiscard]] QString currentPageOutside(int page, int pageCount);
/// "所選的頁數範圍（ranges）不在這份文件的 pageCount 頁之內。"
[[nodiscard]] QString rangeOutside(const QString& ranges, int pageCount);
/// "這份文件沒有可以列印的頁。"
[[nodiscard]] QString nothingToPrint();
/// No queue and no file to print to.
[[nodiscard]] QString noPrinterChosen();
/// "無法連上列印系統「server」：reason。"
[[nodiscard]] QString cannotReachPrintSystem(const QString& server, const QString& reason);
/// "印表機「queue」不接受列印工作：reason" (reason: the print system's own).
[[nodiscard]] QString queueRefusedJob(const QString& queue, const QString& reason);
/// "無法把列印工作送往印表機「queue」：reason"
[[nodiscard]] QString cannotSendJob(const QString& queue, const QString& reason);
/// "印表機「queue」沒有收下完整的列印工作：reason"
[[nodiscard]] QString queueDidNotTakeJob(const QString& queue, const QString& reason);
/// "無法讀取要列印的「path」：reason。"
[[nodiscard]] QString cannotReadPrintFile(const QString& path, const QString& reason);
/// "要列印的「path」是空的檔案，不是 PDF。"
[[nodiscard]] QString emptyPrintFile(const QString& path);
/// A loaded PDF printed to a file with pages picked, reversed or copied.
[[nodiscard]] QString loadedPdfToFileOnlyWhole();
/// "無法寫入「path」：reason。": the file a print goes to.
[[nodiscard]] QString cannotWritePrintFile(const QString& path, const QString& reason);

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
