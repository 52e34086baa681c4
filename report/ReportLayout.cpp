#include "report/ReportLayout.h"

#include "report/ReportMessages.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPageSize>
#include <stdexcept>

// Resources of a static library are registered by hand, outside any namespace.
static void initLayoutResources() {
    Q_INIT_RESOURCE(ReportLayout);
}

namespace bingo::report {
namespace {

[[noreturn]] void fail(const QString& problem) {
    throw std::runtime_error(messages::layoutUnusable(problem).toStdString());
}

QJsonValue require(const QJsonObject& object, const QString& key, const QString& where) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined())
        fail(messages::layoutMissingKey(where, key));
    return value;
}

qreal number(const QJsonObject& object, const QString& key, const QString& where) {
    const QJsonValue value = require(object, key, where);
    if (!value.isDouble())
        fail(messages::layoutNotANumber(where, key));
    return value.toDouble();
}

qreal length(const QJsonObject& object, const QString& key, const QString& where) {
    const qreal value = number(object, key, where);
    if (value < 0)
        fail(messages::layoutNegative(where, key));
    return value;
}

QString string(const QJsonObject& object, const QString& key, const QString& where) {
    const QJsonValue value = require(object, key, where);
    if (!value.isString())
        fail(messages::layoutNotText(where, key));
    return value.toString();
}

bool flag(const QJsonObject& object, const QString& key, bool otherwise, const QString& where) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined())
        return otherwise;
    if (!value.isBool())
        fail(messages::layoutNotBoolean(where, key));
    return value.toBool();
}

QColor color(const QJsonObject& object, const QString& key, QColor otherwise,
             const QString& where) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined())
        return otherwise;
    const QColor parsed = QColor::fromString(value.toString());
    if (!parsed.isValid())
        fail(messages::layoutNotColour(where, key));
    return parsed;
}

FontSpec font(const QJsonObject& object, const FontSpec& otherwise, const QString& where) {
    const QJsonValue value = object.value(QStringLiteral("font"));
    if (value.isUndefined())
        return otherwise;
    const QJsonObject fontObject = value.toObject();
    const QString fontWhere = messages::placeFontOf(where);
    FontSpec result;
    result.family = string(fontObject, QStringLiteral("family"), fontWhere);
    result.pointSize = number(fontObject, QStringLiteral("pointSize"), fontWhere);
    if (result.pointSize <= 0)
        fail(messages::layoutNotPositive(fontWhere, QStringLiteral("pointSize")));
    result.color = color(fontObject, QStringLiteral("color"), Qt::black, fontWhere);
    return result;
}

ComponentKind kind(const QString& name, const QString& where) {
    if (name == u"rectangle")
        return ComponentKind::Rectangle;
    if (name == u"dataField")
        return ComponentKind::DataField;
    if (name == u"label")
        return ComponentKind::Label;
    if (name == u"systemData")
        return ComponentKind::SystemData;
    fail(messages::layoutUnknownKind(where, name));
}

TextAlignment alignment(const QJsonObject& object, const QString& where) {
    const QJsonValue value = object.value(QStringLiteral("alignment"));
    if (value.isUndefined() || value.toString() == u"left")
        return TextAlignment::Left;
    if (value.toString() == u"center")
        return TextAlignment::Center;
    if (value.toString() == u"right")
        return TextAlignment::Right;
    fail(messages::layoutUnknownAlignment(where, value.toString()));
}

Component component(const QJsonObject& object, const FontSpec& defaultFont, int index) {
    Component c;
    c.name = string(object, QStringLiteral("name"), messages::placeComponentNumber(index + 1));
    const QString where = messages::placeComponent(c.name);
    c.kind = kind(string(object, QStringLiteral("kind"), where), where);
    c.autoSize = flag(object, QStringLiteral("autoSize"), false, where);
    const qreal left = number(object, QStringLiteral("left"), where);
    const qreal top = number(object, QStringLiteral("top"), where);
    // An auto-sized box takes its size from its text; a stored size only fixes the edge
    // a right-aligned or centred text grows from.
    const auto extent = [&](const QString& key) {
        return !c.autoSize || object.contains(key) ? length(object, key, where) : 0;
    };
    const qreal width = extent(QStringLiteral("width"));
    const qreal height = extent(QStringLiteral("height"));
    c.geometryMm = QRectF(left, top, width, height);
    if (c.kind == ComponentKind::Rectangle) {
        c.pen = color(object, QStringLiteral("pen"), Qt::black, where);
        c.brush = color(object, QStringLiteral("brush"), Qt::white, where);
        return c;
    }
    c.font = font(object, defaultFont, where);
    c.alignment = alignment(object, where);
    c.wordWrap = flag(object, QStringLiteral("wordWrap"), false, where);
    c.transparent = flag(object, QStringLiteral("transparent"), true, where);
    c.color = color(object, QStringLiteral("color"), Qt::white, where);
    c.onPrint = object.value(QStringLiteral("onPrint")).toString();
    if (c.kind == ComponentKind::DataField)
        c.field = string(object, QStringLiteral("field"), where);
    if (c.kind == ComponentKind::Label)
        c.text = string(object, QStringLiteral("text"), where);
    if (c.kind == ComponentKind::SystemData &&
        object.value(QStringLiteral("data")).toString(QStringLiteral("dateTime")) != u"dateTime")
        fail(messages::layoutOnlyDateTime(where));
    return c;
}

} // namespace

int ReportLayout::componentIndex(const QString& componentName) const {
    for (std::size_t i = 0; i < band.components.size(); ++i)
        if (band.components[i].name == componentName)
            return static_cast<int>(i);
    return -1;
}

QSizeF ReportLayout::paperSizeMm(QPageLayout::Orientation turned) const {
    return turned == QPageLayout::Landscape ? paperMm.transposed() : paperMm;
}

QPageSize ReportLayout::pageSize() const {
    const QPageSize named(QPageSize::id(paperMm, QPageSize::Millimeter, QPageSize::ExactMatch));
    if (named.isValid())
        return named;
    return QPageSize(paperMm, QPageSize::Millimeter, paperName);
}

ReportLayout parseReportLayout(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (document.isNull())
        fail(messages::layoutNotJson(error.errorString(), error.offset));
    const QJsonObject root = document.object();
    const QString report = messages::placeReport();
    if (root.value(QStringLiteral("units")).toString() != u"mm")
        fail(messages::layoutUnitsNotMm());

    ReportLayout layout;
    layout.name = string(root, QStringLiteral("name"), report);
    layout.title = string(root, QStringLiteral("title"), report);
    const QJsonObject paper = require(root, QStringLiteral("paper"), report).toObject();
    const QString paperWhere = messages::placePaper();
    layout.paperName = string(paper, QStringLiteral("name"), paperWhere);
    layout.paperMm = QSizeF(length(paper, QStringLiteral("width"), paperWhere),
                            length(paper, QStringLiteral("length"), paperWhere));
    const QString orientation = string(paper, QStringLiteral("orientation"), paperWhere);
    if (orientation != u"portrait" && orientation != u"landscape")
        fail(messages::layoutBadOrientation());
    layout.orientation =
        orientation == u"landscape" ? QPageLayout::Landscape : QPageLayout::Portrait;
    const QJsonObject margins = require(root, QStringLiteral("margins"), report).toObject();
    const QString marginWhere = messages::placeMargins();
    layout.marginsMm = QMarginsF(length(margins, QStringLiteral("left"), marginWhere),
                                 length(margins, QStringLiteral("top"), marginWhere),
                                 length(margins, QStringLiteral("right"), marginWhere),
                                 length(margins, QStringLiteral("bottom"), marginWhere));
    layout.columns = static_cast<int>(number(root, QStringLiteral("columns"), report));
    if (layout.columns < 1)
        fail(messages::layoutNoColumn());
    layout.columnGapMm = length(root, QStringLiteral("columnGap"), report);
    layout.printIfEmpty = flag(root, QStringLiteral("printIfEmpty"), false, report);
    FontSpec fallback{QStringLiteral("Arial"), 10, Qt::black};
    layout.defaultFont = font(root, fallback, report);

    const QJsonObject band = require(root, QStringLiteral("band"), report).toObject();
    const QString bandWhere = messages::placeBand();
    layout.band.name = string(band, QStringLiteral("name"), bandWhere);
    if (band.value(QStringLiteral("kind")).toString() != u"detail")
        fail(messages::layoutOnlyDetailBand());
    layout.band.sizeMm = QSizeF(length(band, QStringLiteral("width"), bandWhere),
                                length(band, QStringLiteral("height"), bandWhere));
    if (layout.band.sizeMm.isEmpty())
        fail(messages::layoutBandWithoutSize());
    layout.band.color = color(band, QStringLiteral("color"), Qt::white, bandWhere);
    const QJsonArray components = require(band, QStringLiteral("components"), bandWhere).toArray();
    for (int i = 0; i < components.size(); ++i)
        layout.band.components.push_back(
            component(components[i].toObject(), layout.defaultFont, i));
    for (const Component& c : layout.band.components)
        if (layout.componentIndex(c.name) != &c - layout.band.components.data())
            fail(messages::layoutDuplicateComponent(c.name));
    return layout;
}

std::shared_ptr<const ReportLayout> loadCardSheetLayout() {
    initLayoutResources();
    QFile file(QStringLiteral(":/report/qr1.json"));
    if (!file.open(QIODevice::ReadOnly))
        fail(messages::layoutResourceMissing(file.fileName()));
    return std::make_shared<const ReportLayout>(parseReportLayout(file.readAll()));
}

} // namespace bingo::report
