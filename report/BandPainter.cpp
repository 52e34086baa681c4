#include "report/BandPainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace bingo::report {
namespace {

// A style's cache is dropped when it grows past this many texts: serials and stamps differ
// from band to band, and a table edited by hand may hold anything.
constexpr qsizetype CacheLimit = 20000;
constexpr qreal Tolerance = 1e-6;
constexpr qreal InkReach = 0.5 * BandPainter::DotsPerMm;

QRectF toDots(const QRectF& mm) {
    const qreal k = BandPainter::DotsPerMm;
    return {mm.x() * k, mm.y() * k, mm.width() * k, mm.height() * k};
}

QPen thinnest(const QColor& color) {
    QPen pen(color, 0); // width 0: one device pixel on any device, the thinnest line it has
    pen.setCosmetic(true);
    return pen;
}

} // namespace

// What has been drawn on the band so far, so that drawing can be saved where it shows
// nothing new. Texts whose ink stays in their own boxes are collected per font and drawn
// together when something later could cover them, or at the end of the band; an opaque box
// over an area known to hold only its own colour is not filled again. Either way the picture
// is the one drawing each component in turn gives, and a PDF holds a fraction of the objects.
class BandPainter::Canvas {
  public:
    /// A new page, blank in paper's colour (invalid: unknown).
    void beginPage(const QColor& paper) {
        paper_ = paper;
        inked_.clear();
    }
    void beginBand(const QPainter& p) {
        // A cosmetic outline reaches one device pixel into its rectangle.
        const QTransform t = p.deviceTransform();
        const qreal scale = std::min(std::hypot(t.m11(), t.m12()), std::hypot(t.m21(), t.m22()));
        outline_ = scale > 0 ? 1.5 / scale : 1e9;
        solid_.clear();
    }
    void endBand(QPainter& p) {
        flush(p);
        solid_.clear();
        if (!bandInk_.isNull())
            inked_.push_back(bandInk_);
        bandInk_ = QRectF();
    }

    void fill(QPainter& p, const QRectF& area, const QColor& color) {
        if (holdsOnly(area, color))
            return;
        flushIfCovered(p, area);
        p.fillRect(area, color);
        drawn(area);
        if (color.alpha() == 255)
            solid_.emplace_back(area, color);
    }
    void rectangle(QPainter& p, const QRectF& area, const QColor& pen, const QColor& brush) {
        flushIfCovered(p, area);
        p.setPen(thinnest(pen));
        p.setBrush(brush);
        p.drawRect(area);
        drawn(area.adjusted(-outline_, -outline_, outline_, outline_));
        const QRectF inside = area.adjusted(outline_, outline_, -outline_, -outline_);
        if (brush.alpha() == 255 && inside.isValid())
            solid_.emplace_back(inside, brush);
    }
    /// A text drawn at once, cut at area.
    void clippedText(QPainter& p, const QRectF& area) {
        flushIfCovered(p, area);
        drawn(area);
    }
    void text(const QGlyphRun& run, QPointF offset, const QColor& color) {
        const QRawFont font = run.rawFont();
        Entry* entry = nullptr;
        for (Entry& e : entries_)
            if (e.font == font && e.color == color)
                entry = &e;
        if (!entry)
            entry = &entries_.emplace_back(Entry{font, color, {}, {}});
        entry->glyphs.append(run.glyphIndexes());
        for (const QPointF& position : run.positions())
            entry->positions.append(position + offset);
    }
    /// The texts added since hold their ink inside area.
    void textsIn(const QRectF& area) {
        drawn(area);
        pending_.push_back(area);
    }

  private:
    struct Entry {
        QRawFont font;
        QColor color;
        QList<quint32> glyphs;
        QList<QPointF> positions;
    };
    void flushIfCovered(QPainter& p, const QRectF& area) {
        for (const QRectF& box : pending_)
            if (box.intersects(area)) {
                flush(p);
                return;
            }
    }
    void flush(QPainter& p) {
        for (Entry& e : entries_) {
            if (e.glyphs.isEmpty())
                continue;
            QGlyphRun run;
            run.setRawFont(e.font);
            run.setGlyphIndexes(e.glyphs);
            run.setPositions(e.positions);
            p.setPen(thinnest(e.color));
            p.drawGlyphRun(QPointF(), run);
            e.glyphs.clear();
            e.positions.clear();
        }
        pending_.clear();
    }
    // Whether area is known to show nothing but color: inside a solid area of that colour, or
    // blank paper of that colour that nothing has been drawn on yet.
    [[nodiscard]] bool holdsOnly(const QRectF& area, const QColor& color) const {
        for (const auto& [known, knownColor] : solid_)
            if (knownColor == color && known.contains(area))
                return true;
        if (!paper_.isValid() || paper_ != color || bandInk_.intersects(area))
            return false;
        return std::none_of(inked_.begin(), inked_.end(),
                            [&area](const QRectF& ink) { return ink.intersects(area); });
    }
    // Something else now shows in area: a solid area it touches is forgotten (whole, which
    // only costs a fill later). Letters may reach a little beyond their boxes.
    void drawn(const QRectF& area) {
        std::erase_if(solid_, [&area](const auto& known) { return known.first.intersects(area); });
        const QRectF reach = area.adjusted(-InkReach, -InkReach, InkReach, InkReach);
        bandInk_ = bandInk_.isNull() ? reach : bandInk_.united(reach);
    }

    std::vector<Entry> entries_;
    std::vector<QRectF> pending_;
    std::vector<std::pair<QRectF, QColor>> solid_;
    qreal outline_ = 0;         // dots
    QColor paper_;              // colour of the blank page, invalid when not known
    std::vector<QRectF> inked_; // what the page's earlier bands drew on, one box per band
    QRectF bandInk_;            // what this band has drawn on so far
};

BandPainter::BandPainter(std::shared_ptr<const ReportLayout> layout)
    : layout_(std::move(layout)), reference_(1, 1, QImage::Format_RGB32),
      canvas_(std::make_unique<Canvas>()) {
    const int dotsPerMetre = static_cast<int>(std::lround(DotsPerMm * 1000));
    reference_.setDotsPerMeterX(dotsPerMetre);
    reference_.setDotsPerMeterY(dotsPerMetre);
    for (const Component& c : layout_->band.components) {
        Part part;
        part.kind = c.kind;
        part.box = toDots(c.geometryMm);
        part.component = &c;
        if (c.isText()) {
            QFont font(c.font.family);
            font.setPointSizeF(c.font.pointSize);
            // Unhinted outlines scale to every device alike.
            font.setHintingPreference(QFont::PreferNoHinting);
            const qreal wrapWidth = c.wordWrap && !c.autoSize ? part.box.width() : -1;
            int style = 0;
            while (style < static_cast<int>(styles_.size()) &&
                   !(styles_[style].asked == font && styles_[style].wrapWidth == wrapWidth))
                ++style;
            if (style == static_cast<int>(styles_.size()))
                styles_.push_back(Style{font, QFont(font, &reference_), wrapWidth});
            part.style = style;
        }
        parts_.push_back(part);
    }
    laid_.resize(styles_.size());
}

BandPainter::~BandPainter() = default;

void BandPainter::beginPage(const QColor& paper) {
    canvas_->beginPage(paper);
}

void BandPainter::setUpPainter(QPainter& p, qreal pixelsPerMmX, qreal pixelsPerMmY) {
    p.scale(pixelsPerMmX / DotsPerMm, pixelsPerMmY / DotsPerMm);
    // Crisp one-pixel rules on screen; smooth letters.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
}

const BandPainter::Laid& BandPainter::laidOut(int style, const QString& text) {
    QHash<QString, Laid>& cache = laid_[static_cast<std::size_t>(style)];
    if (const auto found = cache.constFind(text); found != cache.cend())
        return *found;
    if (cache.size() >= CacheLimit)
        cache.clear();

    const Style& s = styles_[static_cast<std::size_t>(style)];
    QString shown = text;
    shown.remove(u'\r');
    shown.replace(u'\n', QChar::LineSeparator);
    QTextLayout layout(shown, s.font, &reference_);
    QTextOption option;
    option.setWrapMode(s.wrapWidth >= 0 ? QTextOption::WordWrap : QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        // Without wrapping a line still needs a width to be laid out: one no text reaches.
        line.setLineWidth(s.wrapWidth >= 0 ? s.wrapWidth : 1e7);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();

    Laid laid;
    // CJK faces such as Noto CJK space their lines 1.45 em apart, where the Ming face the cards
    // were drawn with takes 1 em: set in their own spacing, the caption would sit a millimetre
    // low and its opaque box would cover the grid's top edge. Such a face gets lines of 1 em
    // holding its ideographic em box, 0.88 em above the baseline and 0.12 em below.
    const qreal em = s.font.pointSizeF() * DotsPerMm * 25.4 / 72;
    const bool emLines = em > 0 && QFontMetricsF(s.font, &reference_).height() > 1.2 * em;
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        Line laidLine{line.glyphRuns(), line.naturalTextWidth(), line.y(), line.height()};
        if (emLines) {
            laidLine.top = i * em;
            laidLine.height = em;
            const QPointF shift(0, laidLine.top + 0.88 * em - (line.y() + line.ascent()));
            for (QGlyphRun& run : laidLine.runs) {
                QList<QPointF> positions = run.positions();
                for (QPointF& at : positions)
                    at += shift;
                run.setPositions(positions);
            }
        }
        laid.lines.push_back(std::move(laidLine));
        laid.width = std::max(laid.width, line.naturalTextWidth());
    }
    laid.height = emLines ? static_cast<qreal>(laid.lines.size()) * em : y;
    return *cache.insert(text, std::move(laid));
}

QRectF BandPainter::textBox(const Part& part, const Laid& laid) const {
    if (!part.component->autoSize)
        return part.box;
    // An auto-sized box wraps its text; the edge its alignment names stays where it was put.
    qreal left = part.box.left();
    switch (part.component->alignment) {
    case TextAlignment::Left:
        break;
    case TextAlignment::Center:
        left = part.box.center().x() - laid.width / 2;
        break;
    case TextAlignment::Right:
        left = part.box.right() - laid.width;
        break;
    }
    return {left, part.box.top(), laid.width, laid.height};
}

QRectF BandPainter::textBoxMm(int i, const QString& text) {
    const Part& part = parts_.at(static_cast<std::size_t>(i));
    if (part.style < 0)
        return part.box;
    const QRectF box = textBox(part, laidOut(part.style, text));
    const qreal k = 1 / DotsPerMm;
    return {box.x() * k, box.y() * k, box.width() * k, box.height() * k};
}

void BandPainter::paintText(QPainter& p, const Part& part, QPointF origin, const QString& text) {
    const Component& c = *part.component;
    if (text.isEmpty()) {
        if (!c.transparent && !c.autoSize)
            canvas_->fill(p, part.box.translated(origin), c.color);
        return;
    }
    const Laid& laid = laidOut(part.style, text);
    const QRectF box = textBox(part, laid).translated(origin);
    if (!c.transparent)
        canvas_->fill(p, box, c.color);
    // A text wider than its fixed box is cut at the box's edges; it cannot wait to be drawn.
    const bool clipped = !c.autoSize && laid.width > box.width() + Tolerance;
    if (clipped) {
        canvas_->clippedText(p, box);
        p.save();
        p.setClipRect(box, Qt::IntersectClip);
        p.setPen(thinnest(c.font.color));
    }
    for (const Line& line : laid.lines) {
        // Only lines that fit wholly inside a fixed box's height are drawn.
        if (!c.autoSize && line.top + line.height > box.height() + Tolerance)
            break;
        qreal dx = 0;
        if (c.alignment == TextAlignment::Center)
            dx = (box.width() - line.width) / 2;
        else if (c.alignment == TextAlignment::Right)
            dx = box.width() - line.width;
        const QPointF at = box.topLeft() + QPointF(dx, 0);
        for (const QGlyphRun& run : line.runs) {
            if (clipped)
                p.drawGlyphRun(at, run);
            else
                canvas_->text(run, at, c.font.color);
        }
    }
    if (clipped)
        p.restore();
    else
        canvas_->textsIn(box);
}

void BandPainter::paint(QPainter& p, QPointF topLeftMm, std::span<const QString> texts) {
    Q_ASSERT(texts.size() == parts_.size());
    const QPointF origin = topLeftMm * DotsPerMm;
    canvas_->beginBand(p);
    const QColor& bandColor = layout_->band.color;
    if (bandColor.alpha() != 0)
        canvas_->fill(p, QRectF(origin, layout_->band.sizeMm * DotsPerMm), bandColor);
    for (std::size_t i = 0; i < parts_.size(); ++i) {
        const Part& part = parts_[i];
        if (part.kind == ComponentKind::Rectangle)
            canvas_->rectangle(p, part.box.translated(origin), part.component->pen,
                               part.component->brush);
        else
            paintText(p, part, origin, texts[i]);
    }
    canvas_->endBand(p);
}

} // namespace bingo::report
