#include "report/ReportMessages.h"

#include <QDir>

namespace bingo::report::messages {

namespace {

QString quoted(const QString& text) {
    return QStringLiteral("「") + text + QStringLiteral("」");
}

} // namespace

QString notAnInteger(const QString& value) {
    return QStringLiteral("%1不是有效的整數").arg(quoted(value));
}

QString recordCannotBePrinted(qint64 record, const QString& reason) {
    return QStringLiteral("第 %1 筆資料無法列印：%2").arg(record).arg(reason);
}

QString missingField(const QString& component, const QString& field) {
    return QStringLiteral("%1: 資料表中找不到欄位 '%2'").arg(component, field);
}

QString missingPrintHandler(const QString& component, const QString& handler) {
    return QStringLiteral("報表元件 %1 需要列印處理程序 %2，但程式沒有提供")
        .arg(component, handler);
}

QString cannotSavePages(const QString& path, const QString& reason) {
    return QStringLiteral("無法將頁面儲存到%1：%2")
        .arg(quoted(QDir::toNativeSeparators(path)), reason);
}

QString noPagesToSave() {
    return QStringLiteral("沒有可儲存的頁面");
}

QString pdfNotStarted() {
    return QStringLiteral("無法開始寫入 PDF");
}

QString pdfPageRefused(int page) {
    return QStringLiteral("PDF 無法加入第 %1 頁").arg(page);
}

QString pdfNotFinished() {
    return QStringLiteral("無法完成 PDF");
}

QString pagesNotInReport(const QString& ranges, int pageCount) {
    return QStringLiteral("選定列印的頁面（%1）不在報表的 %2 頁之內").arg(ranges).arg(pageCount);
}

QString cannotPreparePrint(const QString& path, const QString& reason) {
    return QStringLiteral("無法準備要列印的頁面%1：%2")
        .arg(quoted(QDir::toNativeSeparators(path)), reason);
}

QString cannotReadSavedPdf(const QString& path, const QString& reason) {
    return QStringLiteral("無法讀取 %1：%2。").arg(path, reason);
}

QString layoutUnusable(const QString& problem) {
    return QStringLiteral("報表描述無法使用：%1").arg(problem);
}

QString placeReport() {
    return QStringLiteral("報表");
}

QString placePaper() {
    return QStringLiteral("紙張");
}

QString placeMargins() {
    return QStringLiteral("邊界");
}

QString placeBand() {
    return QStringLiteral("資料帶");
}

QString placeComponentNumber(int number) {
    return QStringLiteral("第 %1 個元件").arg(number);
}

QString placeComponent(const QString& name) {
    return QStringLiteral("元件%1").arg(quoted(name));
}

QString placeFontOf(const QString& place) {
    return QStringLiteral("%1的字型").arg(place);
}

QString layoutMissingKey(const QString& place, const QString& key) {
    return QStringLiteral("%1缺少%2").arg(place, quoted(key));
}

QString layoutNotANumber(const QString& place, const QString& key) {
    return QStringLiteral("%1的%2不是數字").arg(place, quoted(key));
}

QString layoutNegative(const QString& place, const QString& key) {
    return QStringLiteral("%1的%2是負數").arg(place, quoted(key));
}

QString layoutNotPositive(const QString& place, const QString& key) {
    return QStringLiteral("%1的%2不是正數").arg(place, quoted(key));
}

QString layoutNotText(const QString& place, const QString& key) {
    return QStringLiteral("%1的%2不是文字").arg(place, quoted(key));
}

QString layoutNotBoolean(const QString& place, const QString& key) {
    return QStringLiteral("%1的%2必須是 true 或 false").arg(place, quoted(key));
}

QString layoutNotColour(const QString& place, const QString& key) {
    return QStringLiteral("%1的%2不是顏色").arg(place, quoted(key));
}

QString layoutUnknownKind(const QString& place, const QString& kind) {
    return QStringLiteral("%1的種類%2無法辨識").arg(place, quoted(kind));
}

QString layoutUnknownAlignment(const QString& place, const QString& alignment) {
    return QStringLiteral("%1的對齊方式%2無法辨識").arg(place, quoted(alignment));
}

QString layoutOnlyDateTime(const QString& place) {
    return QStringLiteral("%1：系統資料只能是「dateTime」").arg(place);
}

QString layoutNotJson(const QString& reason, int offset) {
    return QStringLiteral("這不是 JSON（第 %1 個位元組：%2）").arg(offset).arg(reason);
}

QString layoutUnitsNotMm() {
    return QStringLiteral("長度必須以公釐為單位（「units」須為「mm」）");
}

QString layoutBadOrientation() {
    return QStringLiteral("紙張方向必須是直向（portrait）或橫向（landscape）");
}

QString layoutNoColumn() {
    return QStringLiteral("報表至少需要一欄");
}

QString layoutOnlyDetailBand() {
    return QStringLiteral("只支援明細資料帶");
}

QString layoutBandWithoutSize() {
    return QStringLiteral("資料帶沒有大小");
}

QString layoutDuplicateComponent(const QString& name) {
    return QStringLiteral("有兩個元件都叫%1").arg(quoted(name));
}

QString layoutResourceMissing(const QString& resource) {
    return QStringLiteral("程式中缺少資源 %1").arg(resource);
}

} // namespace bingo::report::messages
