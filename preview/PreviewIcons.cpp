#include "preview/PreviewIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <array>

namespace bingo::preview {

namespace {

// Pictures are drawn on a 24 x 24 grid and scaled to each pixmap size.
constexpr double Grid = 24.0;

const QColor Ink(0x30, 0x30, 0x30);
const QColor Accent(0x1f, 0x6f, 0xd0);
const QColor Danger(0xc6, 0x28, 0x28);
const QColor Paper(Qt::white);
const QColor Metal(0xd4, 0xd4, 0xd4);
const QColor Folder(0xe8, 0xb8, 0x4a);
const QColor FolderFront(0xf5, 0xd2, 0x7a);

QPen pen(const QColor& color, double width) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void drawPage(QPainter& p, const QRectF& r) {
    const double fold = r.width() / 4;
    QPolygonF outline;
    outline << r.topLeft() << QPointF(r.right() - fold, r.top())
            << QPointF(r.right(), r.top() + fold) << r.bottomRight() << r.bottomLeft();
    p.setPen(pen(Ink, 1.2));
    p.setBrush(Paper);
    p.drawPolygon(outline);
    p.drawPolyline(QPolygonF() << QPointF(r.right() - fold, r.top())
                               << QPointF(r.right() - fold, r.top() + fold)
                               << QPointF(r.right(), r.top() + fold));
}

void drawTriangle(QPainter& p, QPointF a, QPointF b, QPointF tip) {
    p.setPen(pen(Accent, 1.0));
    p.setBrush(Accent);
    p.drawPolygon(QPolygonF() << a << b << tip);
}

void drawArrowHead(QPainter& p, QPointF tip, double dx) {
    p.drawPolyline(QPolygonF() << QPointF(tip.x() - dx, tip.y() - 3) << tip
                               << QPointF(tip.x() - dx, tip.y() + 3));
}

void drawPrinter(QPainter& p) {
    p.setPen(pen(Ink, 1.2));
    p.setBrush(Paper);
    p.drawRect(QRectF(6.5, 2.5, 11, 7));
    p.setBrush(Metal);
    p.drawRoundedRect(QRectF(2.5, 8.5, 19, 9), 2, 2);
    p.setBrush(Paper);
    p.drawRect(QRectF(6.5, 14.5, 11, 7));
    p.setPen(pen(Ink, 0.8));
    p.drawLine(QPointF(8.5, 17), QPointF(15.5, 17));
    p.drawLine(QPointF(8.5, 19.2), QPointF(13.5, 19.2));
    p.setPen(Qt::NoPen);
    p.setBrush(Accent);
    p.drawEllipse(QPointF(18.5, 11), 1, 1);
}

void drawGear(QPainter& p, QPointF centre) {
    p.setPen(Qt::NoPen);
    p.setBrush(Accent);
    for (int tooth = 0; tooth < 8; ++tooth) {
        p.save();
        p.translate(centre);
        p.rotate(tooth * 45.0);
        p.drawRect(QRectF(-1.1, -5.2, 2.2, 3));
        p.restore();
    }
    p.drawEllipse(centre, 3.8, 3.8);
    p.setBrush(Paper);
    p.drawEllipse(centre, 1.5, 1.5);
}

void draw(QPainter& p, PreviewIcon which) {
    switch (which) {
    case PreviewIcon::ZoomFit: {
        drawPage(p, QRectF(7.5, 5.5, 9, 13));
        p.setPen(pen(Accent, 1.6));
        p.setBrush(Qt::NoBrush);
        const std::array<QPointF, 4> corners{QPointF(2.5, 2.5), QPointF(21.5, 2.5),
                                             QPointF(21.5, 21.5), QPointF(2.5, 21.5)};
        for (const QPointF& c : corners) {
            const double sx = c.x() < 12 ? 1 : -1;
            const double sy = c.y() < 12 ? 1 : -1;
            p.drawPolyline(QPolygonF() << QPointF(c.x(), c.y() + 5 * sy) << c
                                       << QPointF(c.x() + 5 * sx, c.y()));
        }
        break;
    }
    case PreviewIcon::Zoom100: {
        p.setPen(pen(Ink, 2.6));
        p.drawLine(QPointF(15, 15), QPointF(21, 21));
        p.setPen(pen(Ink, 1.4));
        p.setBrush(Paper);
        p.drawEllipse(QPointF(10, 10), 7.5, 7.5);
        QFont font;
        font.setPixelSize(7);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Accent);
        p.drawText(QRectF(2.5, 2.5, 15, 15), Qt::AlignCenter, QStringLiteral("1:1"));
        break;
    }
    case PreviewIcon::ZoomWidth: {
        drawPage(p, QRectF(5.5, 3.5, 13, 17));
        p.setPen(pen(Accent, 1.6));
        p.drawLine(QPointF(1.5, 12), QPointF(22.5, 12));
        drawArrowHead(p, QPointF(1.5, 12), -3);
        drawArrowHead(p, QPointF(22.5, 12), 3);
        break;
    }
    case PreviewIcon::FirstPage:
        p.setPen(Qt::NoPen);
        p.setBrush(Accent);
        p.drawRect(QRectF(5, 5, 2.5, 14));
        drawTriangle(p, QPointF(19, 5), QPointF(19, 19), QPointF(9, 12));
        break;
    case PreviewIcon::PreviousPage:
        drawTriangle(p, QPointF(16, 5), QPointF(16, 19), QPointF(7, 12));
        break;
    case PreviewIcon::NextPage:
        drawTriangle(p, QPointF(8, 5), QPointF(8, 19), QPointF(17, 12));
        break;
    case PreviewIcon::LastPage:
        drawTriangle(p, QPointF(5, 5), QPointF(5, 19), QPointF(15, 12));
        p.setPen(Qt::NoPen);
        p.setBrush(Accent);
        p.drawRect(QRectF(16.5, 5, 2.5, 14));
        break;
    case PreviewIcon::PrinterSetup:
        p.save();
        p.translate(-1, -1);
        drawPrinter(p);
        p.restore();
        drawGear(p, QPointF(18, 18));
        break;
    case PreviewIcon::Print:
        drawPrinter(p);
        break;
    case PreviewIcon::Save: {
        p.setPen(pen(Ink, 1.2));
        p.setBrush(Accent);
        QPainterPath body;
        body.moveTo(3.5, 3.5);
        body.lineTo(18, 3.5);
        body.lineTo(20.5, 6);
        body.lineTo(20.5, 20.5);
        body.lineTo(3.5, 20.5);
        body.closeSubpath();
        p.drawPath(body);
        p.setBrush(Paper);
        p.drawRect(QRectF(7, 3.5, 9, 6));
        p.setBrush(Ink);
        p.drawRect(QRectF(12.5, 4.8, 2, 3.4));
        p.setBrush(Paper);
        p.drawRect(QRectF(6, 12.5, 12, 8));
        break;
    }
    case PreviewIcon::Load: {
        p.setPen(pen(Ink, 1.2));
        p.setBrush(Folder);
        p.drawPolygon(QPolygonF() << QPointF(2.5, 5.5) << QPointF(9, 5.5) << QPointF(11, 7.5)
                                  << QPointF(19.5, 7.5) << QPointF(19.5, 19.5)
                                  << QPointF(2.5, 19.5));
        p.setBrush(FolderFront);
        p.drawPolygon(QPolygonF() << QPointF(5.5, 11) << QPointF(22.5, 11) << QPointF(19.5, 19.5)
                                  << QPointF(2.5, 19.5));
        break;
    }
    case PreviewIcon::Close:
        p.setPen(pen(Danger, 2.6));
        p.drawLine(QPointF(6, 6), QPointF(18, 18));
        p.drawLine(QPointF(18, 6), QPointF(6, 18));
        break;
    }
}

} // namespace

QIcon previewIcon(PreviewIcon which) {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(size / Grid, size / Grid);
        draw(painter, which);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace bingo::preview
