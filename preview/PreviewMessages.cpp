#include "preview/PreviewMessages.h"

#include <QDir>
#include <QFileDevice>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace bingo::preview::messages {

namespace {

QString quoted(const QString& path) {
    return QStringLiteral("「") + QDir::toNativeSeparators(path) + QStringLiteral("」");
}

} // namespace

QString cannotLoad(const QString& path, const QString& reason) {
    return QStringLiteral("無法載入%1：%2。").arg(quoted(path), reason);
}

QString noPagesIn(const QString& path) {
    return QStringLiteral("無法載入%1：檔案中沒有任何頁面。").arg(quoted(path));
}

QString cannotSave(const QString& path, const QString& reason) {
    return QStringLiteral("無法儲存%1：%2。").arg(quoted(path), reason);
}

QString cannotPreparePrint(const QString& path, const QString& reason) {
    return QStringLiteral("無法準備要列印的檔案%1：%2。").arg(quoted(path), reason);
}

QString noPrintFolder(const QString& reason) {
    return QStringLiteral("無法建立列印用的暫存資料夾：%1。").arg(reason);
}

QString currentPageOutside(int page, int pageCount) {
    return QStringLiteral("目前的頁（第 %1 頁）不在這份文件的 %2 頁之內。")
        .arg(page)
        .arg(pageCount);
}

QString rangeOutside(const QString& ranges, int pageCount) {
    return QStringLiteral("所選的頁數範圍（%1）不在這份文件的 %2 頁之內。")
        .arg(ranges)
        .arg(pageCount);
}

QString nothingToPrint() {
    return QStringLiteral("這份文件沒有可以列印的頁。");
}

QString noPrinterChosen() {
    return QStringLiteral("沒有選擇印表機：請先以「印表機設定」選擇印表機或列印到檔案。");
}

QString cannotReachPrintSystem(const QString& server, const QString& reason) {
    return QStringLiteral("無法連上列印系統「%1」：%2。").arg(server, reason);
}

QString queueRefusedJob(const QString& queue, const QString& reason) {
    return QStringLiteral("印表機「%1」不接受列印工作：%2").arg(queue, reason);
}

QString cannotSendJob(const QString& queue, const QString& reason) {
    return QStringLiteral("無法把列印工作送往印表機「%1」：%2").arg(queue, reason);
}

QString queueDidNotTakeJob(const QString& queue, const QString& reason) {
    return QStringLiteral("印表機「%1」沒有收下完整的列印工作：%2").arg(queue, reason);
}

QString cannotReadPrintFile(const QString& path, const QString& reason) {
    return QStringLiteral("無法讀取要列印的%1：%2。").arg(quoted(path), reason);
}

QString emptyPrintFile(const QString& path) {
    return QStringLiteral("要列印的%1是空的檔案，不是 PDF。").arg(quoted(path));
}

QString loadedPdfToFileOnlyWhole() {
    return QStringLiteral(
        "印到檔案時，載入的 PDF "
        "只能整份依原來的順序印一份；要挑選頁數、從最後一頁印起或印多份，請印到印表機。");
}

QString cannotWritePrintFile(const QString& path, const QString& reason) {
    return QStringLiteral("無法寫入%1：%2。").arg(quoted(path), reason);
}

QString fileNotFound() {
    return QStringLiteral("找不到檔案");
}

QString notAPdf() {
    return QStringLiteral("這不是 PDF 檔案，或檔案已損毀");
}

QString passwordProtected() {
    return QStringLiteral("檔案受密碼保護");
}

QString unsupportedEncryption() {
    return QStringLiteral("檔案的加密方式不受支援");
}

QString unreadablePdf() {
    return QStringLiteral("無法讀取檔案中的 PDF 內容");
}

QString folderMissing(const QString& folder) {
    return QStringLiteral("資料夾%1不存在").arg(quoted(folder));
}

QString notAFolder(const QString& path) {
    return QStringLiteral("%1不是資料夾").arg(quoted(path));
}

QString folderNotWritable(const QString& folder, int systemError) {
    return QStringLiteral("資料夾%1無法寫入（%2）").arg(quoted(folder), systemReason(systemError));
}

QString isAFolder() {
    return QStringLiteral("這是資料夾，不是檔案");
}

QString fileNotReadable(int systemError) {
    return QStringLiteral("檔案無法讀取（%1）").arg(systemReason(systemError));
}

QString fileNotWritable(int systemError) {
    return QStringLiteral("檔案無法寫入（%1）").arg(systemReason(systemError));
}

QString diskFull() {
    return QStringLiteral("磁碟已滿");
}

QString systemReason(int systemError) {
    switch (systemError) {
    case EACCES:
    case EPERM:
        return QStringLiteral("沒有權限");
    case EROFS:
        return QStringLiteral("唯讀的檔案系統");
    case ENOENT:
        return QStringLiteral("不存在");
    case ENOSPC:
        return QStringLiteral("磁碟已滿");
    case EDQUOT:
        return QStringLiteral("已超過磁碟配額");
    case ENOTDIR:
        return QStringLiteral("路徑中有一段不是資料夾");
    case EISDIR:
        return QStringLiteral("這是資料夾");
    case ENAMETOOLONG:
        return QStringLiteral("路徑太長");
    case ELOOP:
        return QStringLiteral("符號連結層數太多");
    case EIO:
        return QStringLiteral("裝置讀寫錯誤");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("正由其他程式使用中");
    case ENOMEM:
        return QStringLiteral("記憶體不足");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("開啟的檔案太多");
    case EEXIST:
        return QStringLiteral("已經存在");
    default:
        return QString::fromLocal8Bit(std::strerror(systemError));
    }
}

QString fileFailureReason(const QString& path, const QFileDevice& file, bool writing) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QString folder = QFileInfo(absolute).absolutePath();
    const QByteArray folderName = QFile::encodeName(folder);
    const QByteArray fileName = QFile::encodeName(absolute);
    struct stat st {};
    if (::stat(folderName.constData(), &st) != 0)
        return errno == ENOENT ? folderMissing(folder) : folderNotWritable(folder, errno);
    if (!S_ISDIR(st.st_mode))
        return notAFolder(folder);
    const bool exists = ::stat(fileName.constData(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        return isAFolder();
    if (!writing) {
        if (!exists)
            return fileNotFound();
        if (::euidaccess(fileName.constData(), R_OK) != 0)
            return fileNotReadable(errno);
        return file.errorString();
    }
    // A save writes a new file beside the old one and renames it: the folder must be writable.
    if (::euidaccess(folderName.constData(), W_OK) != 0)
        return folderNotWritable(folder, errno);
    if (exists && ::euidaccess(fileName.constData(), W_OK) != 0)
        return fileNotWritable(errno);
    struct statvfs space {};
    if (file.error() == QFileDevice::ResourceError ||
        (::statvfs(folderName.constData(), &space) == 0 && space.f_bavail == 0))
        return diskFull();
    return file.errorString();
}

} // namespace bingo::preview::messages
