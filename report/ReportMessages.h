#pragma once

#include <QString>

/// Every text the report shows the operator, in Traditional Chinese. Each function returns a
/// whole sentence or a whole reason, with the variable parts as arguments; sentences end
/// without a full stop (the error box adds it).
namespace bingo::report::messages {

/// "「abc」不是有效的整數"
[[nodiscard]] QString notAnInteger(const QString& value);
/// "第 3 筆資料無法列印：reason"
[[nodiscard]] QString recordCannotBePrinted(qint64 record, const QString& reason);
/// "QRDBText4: 資料表中找不到欄位 'S4'": the component's name, then the field's.
[[nodiscard]] QString missingField(const QString& component, const QString& field);
[[nodiscard]] QString missingPrintHandler(const QString& component, const QString& handler);

/// "無法將頁面儲存到「path」：reason"
[[nodiscard]] QString cannotSavePages(const QString& path, const QString& reason);
[[nodiscard]] QString noPagesToSave();
[[nodiscard]] QString pdfNotStarted();
/// page counts from 1.
[[nodiscard]] QString pdfPageRefused(int page);
[[nodiscard]] QString pdfNotFinished();

/// ranges as QPageRanges::toString() gives them.
[[nodiscard]] QString pagesNotInReport(const QString& ranges, int pageCount);
/// "無法準備要列印的頁面「path」：reason": the temporary PDF a print is drawn into.
[[nodiscard]] QString cannotPreparePrint(const QString& path, const QString& reason);
/// "無法讀取 path：reason。": a saved PDF the caller opens to rebuild its cards.
[[nodiscard]] QString cannotReadSavedPdf(const QString& path, const QString& reason);

/// "報表描述無法使用：problem"
[[nodiscard]] QString layoutUnusable(const QString& problem);
// The parts of the description a problem is found in.
[[nodiscard]] QString placeReport();
[[nodiscard]] QString placePaper();
[[nodiscard]] QString placeMargins();
[[nodiscard]] QString placeBand();
/// number counts from 1.
[[nodiscard]] QString placeComponentNumber(int number);
[[nodiscard]] QString placeComponent(const QString& name);
[[nodiscard]] QString placeFontOf(const QString& place);
// The problems.
[[nodiscard]] QString layoutMissingKey(const QString& place, const QString& key);
[[nodiscard]] QString layoutNotANumber(const QString& place, const QString& key);
[[nodiscard]] QString layoutNegative(const QString& place, const QString& key);
[[nodiscard]] QString layoutNotPositive(const QString& place, const QString& key);
[[nodiscard]] QString layoutNotText(const QString& place, const QString& key);
[[nodiscard]] QString layoutNotBoolean(const QString& place, const QString& key);
[[nodiscard]] QString layoutNotColour(const QString& place, const QString& key);
[[nodiscard]] QString layoutUnknownKind(const QString& place, const QString& kind);
[[nodiscard]] QString layoutUnknownAlignment(const QString& place, const QString& alignment);
[[nodiscard]] QString layoutOnlyDateTime(const QString& place);
/// reason: the JSON parser's words; offset in bytes.
[[nodiscard]] QString layoutNotJson(const QString& reason, int offset);
[[nodiscard]] QString layoutUnitsNotMm();
[[nodiscard]] QString layoutBadOrientation();
[[nodiscard]] QString layoutNoColumn();
[[nodiscard]] QString layoutOnlyDetailBand();
[[nodiscard]] QString layoutBandWithoutSize();
[[nodiscard]] QString layoutDuplicateComponent(const QString& name);
[[nodiscard]] QString layoutResourceMissing(const QString& resource);

} // namespace bingo::report::messages
