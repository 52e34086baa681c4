#include "caller/BoardWidget.h"

#include "caller/CallerMessages.h"

#include <QPainter>
#include <algorithm>

namespace bingo::caller {

namespace {

const QColor Lit(0xc6, 0x28, 0x28);
const QColor Background(0x1f, 0x2a, 0x44);

} // namespace

BoardWidget::BoardWidget(QWidget* parent) : QWidget(parent) {
    setMinimumSize(480, 300);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BoardWidget::setState(int range, const std::vector<int>& calls) {
    range_ = range;
    called_.assign(static_cast<std::size_t>(range) + 1, false);
    for (const int n : calls)
        if (n >= 1 && n <= range)
            called_[static_cast<std::size_t>(n)] = true;
    last_ = calls.empty() ? 0 : calls.back();
    count_ = static_cast<int>(calls.size());
    update();
}

void BoardWidget::setNote(const QString& note) {
    if (note == note_)
        return;
    note_ = note;
    update();
}

void BoardWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), Background);

    const QRectF all = QRectF(rect()).adjusted(12, 12, -12, -12);
    // Beside the numbers on a wide board, above them on a narrow one.
    const bool stacked = all.width() < all.height() * 1.4;
    QRectF lastBox;
    QRectF grid;
    if (stacked) {
        const qreal height = all.height() * 0.34;
        lastBox = QRectF(all.left(), all.top(), all.width(), height);
        grid = QRectF(all.left(), lastBox.bottom() + 16, all.width(), all.height() - height - 16);
    } else {
        const qreal width = std::min(all.width() * 0.28, all.height());
        lastBox = QRectF(all.left(), all.top(), width, all.height());
        grid = QRectF(lastBox.right() + 16, all.top(), all.width() - width - 16, all.height());
    }

    // The last call, large, and the count below it.
    QFont font = p.font();
    font.setBold(true);
    const qreal diameter = std::min(lastBox.width(), lastBox.height() * 0.78) * 0.92;
    const qreal captionHeight = diameter * 0.2;
    const qreal top = lastBox.top() + (lastBox.height() - diameter - captionHeight) / 2;
    const QRectF circle(lastBox.center().x() - diameter / 2, top, diameter, diameter);
    p.setBrush(last_ ? Lit : QColor(0x3a, 0x47, 0x66));
    p.setPen(Qt::NoPen);
    p.drawEllipse(circle);
    font.setPixelSize(std::max(8, static_cast<int>(diameter * 0.5)));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(circle, Qt::AlignCenter, last_ ? QString::number(last_) : QStringLiteral("–"));
    font.setPixelSize(std::max(8, static_cast<int>(diameter * 0.11)));
    p.setFont(font);
    p.drawText(QRectF(lastBox.left(), circle.bottom() + 4, lastBox.width(), captionHeight),
               Qt::AlignHCenter | Qt::AlignTop, messages::callsSoFar(count_));
    if (!note_.isEmpty()) {
        font.setPixelSize(std::max(8, static_cast<int>(diameter * 0.08)));
        p.setFont(font);
        p.setPen(QColor(0xff, 0xd5, 0x4f));
        p.drawText(QRectF(all.left(), all.bottom() - captionHeight, all.width(), captionHeight),
                   Qt::AlignLeft | Qt::AlignBottom, note_);
    }

    // 1 .. N, ten to a row.
    const int columns = 10;
    const int rows = (range_ + columns - 1) / columns;
    const qreal cell = std::min(grid.width() / columns, grid.height() / rows);
    const QPointF origin(grid.left() + (grid.width() - cell * columns) / 2,
                         grid.top() + (grid.height() - cell * rows) / 2);
    font.setPixelSize(std::max(6, static_cast<int>(cell * 0.45)));
    p.setFont(font);
    for (int n = 1; n <= range_; ++n) {
        const int r = (n - 1) / columns;
        const int c = (n - 1) % columns;
        const QRectF box(origin.x() + c * cell, origin.y() + r * cell, cell, cell);
        const QRectF disc = box.adjusted(cell * 0.06, cell * 0.06, -cell * 0.06, -cell * 0.06);
        const bool lit =
            called_.size() > static_cast<std::size_t>(n) && called_[static_cast<std::size_t>(n)];
        p.setPen(n == last_ ? QPen(QColor(0xff, 0xd5, 0x4f), cell * 0.08) : Qt::NoPen);
        p.setBrush(lit ? Lit : QColor(0x2b, 0x37, 0x55));
        p.drawEllipse(disc);
        p.setPen(lit ? Qt::white : QColor(0x8a, 0x96, 0xb0));
        p.drawText(box, Qt::AlignCenter, QString::number(n));
    }
}

} // namespace bingo::caller
