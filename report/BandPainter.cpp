#include "report/BandPainter.h"

#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <cmath>

namespace bingo::report {
namespace {

// A style's cache is dropped when it grows past this many texts: serials and stamps differ
// from band to band, and a table edited by hand may hold anything.
constexpr qsizetype CacheLimit = 20000;
constexpr qreal Tolerance = 1e-6;

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

// Texts whose ink stays in their own boxes are collected per font and drawn together when
// something later could cover them, or at the end of the band. Drawing them together gives
// the same picture as drawing each in turn, and a PDF many times smaller text objects.
class BandPainter::Batch {
  public:
    void add(const QGlyphRun& run, QPointF offset, const QColor& color) {
        const QRawFont font = run.rawFont();
        Entry* entry = nullptr;
        for (Entry& e : entries_)
            if (e.font == font && e.color == color)
                entry = &e;
        if (!entry)
            entry = &entries_.emplace_back(Entry{font, color, {}, {}});
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        entry->glyphs.append(glyphs);
        for (const QPointF& position : positions)
            entry->positions.append(position + offset);
    }
    void cover(const QRectF& box) { boxes_.push_back(box); }
    [[nodiscard]] bool overlaps(const QRectF& area) const {
        for (const QRectF& box : boxes_)
            if (box.intersects(area))
                return true;
        return false;
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
        boxes_.clear();
    }
    void flushIfCovered(QPainter& p, const QRectF& area) {
        if (overlaps(area))
            flush(p);
    }

  private:
    struct Entry {
        QRawFont font;
        QColor color;
        QList<quint32> glyphs;
        QList<QPointF> positions;
    };
    std::vector<Entry> entries_;
    std::vector<QRectF> boxes_;
};

BandPainter::BandPainter(std::shared_ptr<const ReportLayout> layout)
    : layout_(std::move(layout)), reference_(1, 1, QImage::Format_RGB32),
      batch_(std::make_unique<Batch>()) {
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
        if (s.wrapWidth >= 0)
            line.setLineWidth(s.wrapWidth);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();

    Laid laid;
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        laid.lines.push_back(
            Line{line.glyphRuns(), line.naturalTextWidth(), line.y(), line.height()});
        laid.width = std::max(laid.width, line.naturalTextWidth());
    }
    laid.height = y;
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
        if (!c.transparent && !c.autoSize) {
            const QRectF box = part.box.translated(origin);
            batch_->flushIfCovered(p, box);
            p.fillRect(box, c.color);
        }
        return;
    }
    const Laid& laid = laidOut(part.style, text);
    const QRectF box = textBox(part, laid).translated(origin);
    if (!c.transparent) {
        batch_->flushIfCovered(p, box);
        p.fillRect(box, c.color);
    }
    // A text wider than its fixed box is cut at the box's edges; it cannot wait in the batch.
    const bool clipped = !c.autoSize && laid.width > box.width() + Tolerance;
    if (clipped) {
        batch_->flushIfCovered(p, box);
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
                batch_->add(run, at, c.font.color);
        }
    }
    if (clipped)
        p.restore();
    else
        batch_->cover(box);
}

void BandPainter::paint(QPainter& p, QPointF topLeftMm, std::span<const QString> texts) {
    Q_ASSERT(texts.size() == parts_.size());
    const QPointF origin = topLeftMm * DotsPerMm;
    const QColor& bandColor = layout_->band.color;
    if (bandColor.alpha() != 0)
        p.fillRect(QRectF(origin, layout_->band.sizeMm * DotsPerMm), bandColor);
    for (std::size_t i = 0; i < parts_.size(); ++i) {
        const Part& part = parts_[i];
        if (part.kind == ComponentKind::Rectangle) {
            const QRectF box = part.box.translated(origin);
            batch_->flushIfCovered(p, box);
            p.setPen(thinnest(part.component->pen));
            p.setBrush(part.component->brush);
            p.drawRect(box);
        } else {
            paintText(p, part, origin, texts[i]);
        }
    }
    batch_->flush(p);
}

} // namespace bingo::report
