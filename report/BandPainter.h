#pragma once

#include "report/ReportLayout.h"

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QPointF>
#include <QString>
#include <memory>
#include <span>
#include <vector>

class QPainter;

namespace bingo::report {

/// Draws bands of one layout onto any QPainter: screen image, PDF or printer, at any
/// resolution. Texts are laid out once, at a fixed reference resolution, and kept, so a
/// number, the caption or a stamp costs its layout only the first time it is drawn.
/// Not thread-safe: one painter serves one thread.
class BandPainter {
  public:
    /// The unit the painter draws in: dots of 1/1200 inch.
    static constexpr qreal DotsPerMm = 1200 / 25.4;

    explicit BandPainter(std::shared_ptr<const ReportLayout> layout);
    ~BandPainter();
    BandPainter(const BandPainter&) = delete;
    BandPainter& operator=(const BandPainter&) = delete;

    /// Scales p, on top of its current transform, so that bands land on a device with the
    /// given device pixels per millimetre, the paper's top-left corner at p's origin; sets the
    /// render hints bands are drawn with.
    static void setUpPainter(QPainter& p, qreal pixelsPerMmX, qreal pixelsPerMmY);

    /// Starts a page that is blank paper of colour paper (an invalid colour: not known to be
    /// blank). Bands painted until the next call may leave out fills that would not show.
    void beginPage(const QColor& paper = Qt::white);

    /// Draws the band with its top-left corner topLeftMm millimetres from the paper's corner.
    /// texts[i] is what text component i prints: an empty text prints nothing. Rectangles
    /// ignore their entry. Requires texts.size() == the component count and a painter set up
    /// by setUpPainter().
    void paint(QPainter& p, QPointF topLeftMm, std::span<const QString> texts);

    /// Where text component i would print text: its box in millimetres from the band's corner
    /// (an auto-sized box takes the text's extent), for checks that need no device.
    [[nodiscard]] QRectF textBoxMm(int i, const QString& text);

  private:
    struct Line {
        QList<QGlyphRun> runs; // positions from the text's top-left corner
        qreal width = 0;
        qreal top = 0;
        qreal height = 0;
    };
    struct Laid {
        std::vector<Line> lines;
        qreal width = 0;
        qreal height = 0;
    };
    struct Style {
        QFont asked;          // as the layout names it
        QFont font;           // resolved for the reference resolution
        qreal wrapWidth = -1; // dots; negative: no wrapping
    };
    struct Part {
        ComponentKind kind = ComponentKind::Rectangle;
        QRectF box; // dots from the band's corner
        int style = -1;
        const Component* component = nullptr;
    };
    class Canvas;

    const Laid& laidOut(int style, const QString& text);
    [[nodiscard]] QRectF textBox(const Part& part, const Laid& laid) const;
    void paintText(QPainter& p, const Part& part, QPointF origin, const QString& text);

    std::shared_ptr<const ReportLayout> layout_;
    QImage reference_; // the resolution texts are laid out at
    std::vector<Style> styles_;
    std::vector<QHash<QString, Laid>> laid_; // per style
    std::vector<Part> parts_;
    std::unique_ptr<Canvas> canvas_;
};

} // namespace bingo::report
