#pragma once

#include <QColor>
#include <QMarginsF>
#include <QPageLayout>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <memory>
#include <vector>

namespace bingo::report {

/// What a band component draws.
enum class ComponentKind {
    Rectangle,  ///< a shape: pen outline, brush fill
    DataField,  ///< the display text of a record field, bound by name
    Label,      ///< a fixed text
    SystemData, ///< the engine's date and time text
};

enum class TextAlignment { Left, Center, Right };

/// A font as the layout names it: family, size in points, colour.
struct FontSpec {
    QString family;
    qreal pointSize = 10;
    QColor color = Qt::black;
};

/// One component of a band; geometry in millimetres from the band's top-left corner.
struct Component {
    QString name;
    ComponentKind kind = ComponentKind::Rectangle;
    QRectF geometryMm;
    // Rectangles.
    QColor pen = Qt::black; ///< drawn with the device's thinnest line
    QColor brush = Qt::white;
    // Texts.
    FontSpec font;
    TextAlignment alignment = TextAlignment::Left;
    bool autoSize = false; ///< the box is the text's one line; alignment says which edge stays
    bool wordWrap = false;
    bool transparent = true;  ///< false: the box is filled with color first
    QColor color = Qt::white; ///< background of an opaque text box
    QString field;            ///< DataField: the bound field's name
    QString text;             ///< Label: the text
    QString onPrint;          ///< name of the print handler that may rewrite the text, or empty

    [[nodiscard]] bool isText() const { return kind != ComponentKind::Rectangle; }
};

/// A detail band: printed once per record, its components drawn in order.
struct BandLayout {
    QString name;
    QSizeF sizeMm;
    QColor color = Qt::white;
    std::vector<Component> components;
};

/// The report's page settings and its one detail band.
struct ReportLayout {
    QString name;
    QString title; ///< the preview's caption and the print job's name
    QString paperName;
    QSizeF paperMm; ///< portrait: width x length
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF marginsMm;
    int columns = 1;
    qreal columnGapMm = 0;
    bool printIfEmpty = false; ///< an empty data set still prints one band
    FontSpec defaultFont;
    BandLayout band;

    /// The index of the component called name, or -1.
    [[nodiscard]] int componentIndex(const QString& name) const;
    /// The paper in millimetres for an orientation (width x length as it lies).
    [[nodiscard]] QSizeF paperSizeMm(QPageLayout::Orientation orientation) const;
    [[nodiscard]] QPageSize pageSize() const;
};

/// Reads a report description (JSON, lengths in millimetres); throws std::runtime_error naming
/// the first thing it cannot use. Text components without a font get the report's font.
[[nodiscard]] ReportLayout parseReportLayout(const QByteArray& json);

/// The card sheet report `qr1` as the program ships it, read from the program's resources.
[[nodiscard]] std::shared_ptr<const ReportLayout> loadCardSheetLayout();

} // namespace bingo::report
