#pragma once

#include <QDateTime>
#include <QLocale>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

namespace bingo::store {
class CardTable;
}

namespace bingo::report {

class PreviewWindow;

/// Where the report reads the time for its stamps; the program uses the system clock.
using Clock = std::function<QDateTime()>;

/// The card sheet report: lays the card table out six cards to an A4 page and shows the
/// pages in a preview window, from which they are saved, loaded and printed.
class Tqr1 : public QObject {
    Q_OBJECT
public:
    /// The report reads tbTmp, and nothing else, for as long as it lives.
    explicit Tqr1(store::CardTable& tbTmp, QObject* parent = nullptr);
    ~Tqr1() override;
    Q_DISABLE_COPY_MOVE(Tqr1)

    void setClock(Clock clock);
    /// The locale of the time stamps' year and separators (default: QLocale::system()).
    void setLocale(QLocale locale);

    /// Opens the preview window "Bingo" and lays the whole table out into it, page by page,
    /// while the event loop runs. Returns at once. Call closePreview() first when one is open.
    void Preview();
    /// Closes an open preview and cancels its layout; afterwards nothing reads the table.
    void closePreview();
    [[nodiscard]] bool isPreviewOpen() const;
    /// The open preview, or nullptr.
    [[nodiscard]] PreviewWindow* previewWindow() const;

    /// Print handler of the serial: Value "n" becomes the last four digits of n + 10000.
    void QRDBText26Print(QObject* sender, QString& Value) const;
    /// Print handler of the time stamp: Value becomes the current time as "eee/mm/dd-hh:nn".
    void QRSysData1Print(QObject* sender, QString& Value) const;

private:
    store::CardTable& tbTmp_;
    Clock clock_;
    QLocale locale_;
    QPointer<PreviewWindow> preview_;
};

} // namespace bingo::report
