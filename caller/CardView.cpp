#include "caller/CardView.h"

#include "caller/Game.h"
#include "report/BandPainter.h"
#include "report/PrintTexts.h"
#include "report/ReportLayout.h"

#include <QPainter>

namespace bingo::caller {

CardView::CardView(report::BandPainter& painter, const report::ReportLayout& layout,
                   QWidget* parent)
    : QWidget(parent), painter_(painter), layout_(layout) {
    // The cells' squares, by the fields they print.
    const auto& components = layout_.band.components;
    for (std::size_t i = 0; i < components.size(); ++i) {
        const report::Component& c = components[i];
        if (c.kind != report::ComponentKind::DataField ||
            !c.field.startsWith(u'S', Qt::CaseInsensitive))
            continue;
        bool ok = false;
        const int k = c.field.mid(1).toInt(&ok);
        if (!ok || k < 1 || k > cards::NumbersPerCard)
            continue;
        // The square behind a number is the rectangle drawn just before it.
        QRectF cell = c.geometryMm;
        if (i > 0 && components[i - 1].kind == report::ComponentKind::Rectangle)
            cell = components[i - 1].geometryMm;
        cellsMm_[static_cast<std::size_t>(k - 1)] = cell;
    }
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

QSize CardView::sizeHint() const {
    return {360, heightForWidth(360)};
}

int CardView::heightForWidth(int width) const {
    const QSizeF band = layout_.band.sizeMm;
    return static_cast<int>(width * band.height() / band.width());
}

void CardView::setCard(const cards::Card& card,
                       const std::array<bool, cards::NumbersPerCard>& called,
                       std::vector<int> lines) {
    const auto& components = layout_.band.components;
    texts_.assign(components.size(), QString());
    for (std::size_t i = 0; i < components.size(); ++i) {
        const report::Component& c = components[i];
        switch (c.kind) {
        case report::ComponentKind::Label:
            texts_[i] = c.text;
            break;
        case report::ComponentKind::DataField: {
            bool ok = false;
            const int k = c.field.mid(1).toInt(&ok);
            if (!ok || k < 0 || k > cards::NumbersPerCard)
                break;
            texts_[i] = k == 0 ? report::serialText(QString::number(card.serial))
                               : QString::number(card.numbers[static_cast<std::size_t>(k - 1)]);
            break;
        }
        case report::ComponentKind::SystemData:
        case report::ComponentKind::Rectangle:
            // When the card was printed is not known here.
            break;
        }
    }
    called_ = called;
    lines_ = std::move(lines);
    updateGeometry();
    update();
}

void CardView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    if (texts_.empty())
        return;
    const QSizeF band = layout_.band.sizeMm;
    const qreal scale = std::min(width() / band.width(), height() / band.height());
    const QPointF offset((width() - band.width() * scale) / 2,
                         (height() - band.height() * scale) / 2);
    p.fillRect(QRectF(offset, band * scale), Qt::white);

    p.save();
    p.translate(offset);
    report::BandPainter::setUpPainter(p, scale, scale);
    painter_.beginPage();
    painter_.paint(p, QPointF(0, 0), texts_);
    p.restore();

    p.setRenderHint(QPainter::Antialiasing);
    const auto toPixels = [&](const QRectF& mm) {
        return QRectF(offset + mm.topLeft() * scale, mm.size() * scale);
    };
    p.setPen(QPen(QColor(198, 40, 40, 220), std::max(1.5, scale * 0.6)));
    p.setBrush(QColor(239, 83, 80, 70));
    for (int k = 0; k < cards::NumbersPerCard; ++k)
        if (called_[static_cast<std::size_t>(k)]) {
            const QRectF cell = toPixels(cellsMm_[static_cast<std::size_t>(k)]);
            p.drawEllipse(cell.adjusted(cell.width() * 0.1, cell.height() * 0.1,
                                        -cell.width() * 0.1, -cell.height() * 0.1));
        }
    p.setPen(
        QPen(QColor(46, 125, 50, 200), std::max(2.0, scale * 1.6), Qt::SolidLine, Qt::RoundCap));
    for (const int line : lines_) {
        const auto& cells = lineCells(line);
        const QPointF from = toPixels(cellsMm_[static_cast<std::size_t>(cells.front())]).center();
        const QPointF to = toPixels(cellsMm_[static_cast<std::size_t>(cells.back())]).center();
        p.drawLine(from, to);
    }
}

} // namespace bingo::caller
