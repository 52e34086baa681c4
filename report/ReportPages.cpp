#include "report/ReportPages.h"

#include "report/BandPainter.h"

#include <QElapsedTimer>
#include <QPainter>
#include <algorithm>
#include <stdexcept>

namespace bingo::report {
namespace {

// Records laid out per check of the clock, and the time one turn of the event loop may take.
constexpr std::int64_t RecordsPerCheck = 32;
constexpr qint64 ChunkMilliseconds = 8;
constexpr std::int64_t MaxReserved = 1'000'000;

} // namespace

ReportPages::ReportPages(std::shared_ptr<const ReportLayout> layout, const RecordSource& records,
                         PrintHandlers handlers, QObject* parent)
    : ReportPages(layout, records, std::move(handlers), layout->orientation) {
    setParent(parent);
}

ReportPages::ReportPages(std::shared_ptr<const ReportLayout> layout, const RecordSource& records,
                         PrintHandlers handlers, QPageLayout::Orientation orientation)
    : layout_(std::move(layout)), records_(records), handlers_(std::move(handlers)),
      orientation_(orientation),
      geometry_(PageGeometry::of(*layout_, orientation == QPageLayout::Landscape)),
      filler_(std::make_unique<BandFiller>(*layout_, records_.fieldNames(), handlers_)),
      painter_(std::make_unique<BandPainter>(layout_)) {
    for (const Component& c : layout_->band.components) {
        const bool varies = c.kind == ComponentKind::DataField ||
                            c.kind == ComponentKind::SystemData || !c.onPrint.isEmpty();
        slotOf_.push_back(varies ? slots_++ : -1);
    }
}

ReportPages::~ReportPages() = default;

std::unique_ptr<ReportPages> ReportPages::anew(QPageLayout::Orientation orientation) const {
    return std::make_unique<ReportPages>(layout_, records_, handlers_, orientation);
}

void ReportPages::start() {
    if (state_ != State::Idle)
        return;
    run_ = std::make_unique<BandRun>(*layout_, records_, *filler_, geometry_);
    expectedRecords_ = records_.recordCount();
    // Room for every band up front: growing by doubling would leave up to half of it unused.
    const auto bands =
        static_cast<std::size_t>(std::clamp<std::int64_t>(expectedRecords_, 1, MaxReserved));
    bands_.reserve(bands);
    bandTexts_.reserve(bands * static_cast<std::size_t>(slots_));
    state_ = State::LayingOut;
    // Queued, so that each chunk is one turn of the event loop; dropped if this object goes.
    QMetaObject::invokeMethod(this, &ReportPages::layOutChunk, Qt::QueuedConnection);
}

void ReportPages::layOutAll() {
    start();
    while (state_ == State::LayingOut)
        layOutNext(RecordsPerCheck);
}

void ReportPages::layOutNext(std::int64_t records) {
    try {
        BandPlace place;
        for (std::int64_t i = 0; i < records; ++i) {
            if (!run_->advance(place)) {
                finish(State::Complete);
                return;
            }
            run_->fill(scratch_);
            keep(place, scratch_);
        }
    } catch (const std::exception& e) {
        failure_ = QString::fromUtf8(e.what());
        finish(State::Failed);
        throw;
    } catch (...) {
        failure_ = QStringLiteral("?");
        finish(State::Failed);
        throw;
    }
}

void ReportPages::layOutChunk() {
    if (state_ != State::LayingOut)
        return;
    QElapsedTimer timer;
    timer.start();
    try {
        while (state_ == State::LayingOut && timer.elapsed() < ChunkMilliseconds)
            layOutNext(RecordsPerCheck);
    } catch (...) {
        // A slot of the event loop: the failure becomes the layout's state, told by failed().
        Q_EMIT pagesChanged();
        Q_EMIT failed(failure_);
        return;
    }
    if (state_ == State::LayingOut) {
        QMetaObject::invokeMethod(this, &ReportPages::layOutChunk, Qt::QueuedConnection);
        Q_EMIT pagesChanged();
    }
}

void ReportPages::keep(const BandPlace& place, const std::vector<QString>& texts) {
    while (static_cast<int>(pageFirstBand_.size()) <= place.page)
        pageFirstBand_.push_back(static_cast<int>(bands_.size()));
    bands_.push_back(Placed{place.page, static_cast<std::int16_t>(place.column),
                            static_cast<std::int16_t>(place.left),
                            static_cast<std::int16_t>(place.top)});
    for (std::size_t i = 0; i < slotOf_.size(); ++i) {
        if (slotOf_[i] < 0)
            continue;
        const QString& text = texts[i];
        auto found = textIds_.constFind(text);
        if (found == textIds_.cend()) {
            found = textIds_.insert(text, static_cast<std::uint32_t>(texts_.size()));
            texts_.push_back(text);
        }
        bandTexts_.push_back(*found);
    }
}

void ReportPages::finish(State state) {
    state_ = state;
    run_.reset();
    if (state == State::Complete) {
        Q_EMIT pagesChanged();
        Q_EMIT completed();
    }
}

void ReportPages::cancel() {
    if (state_ == State::Cancelled)
        return;
    finish(State::Cancelled);
    bands_ = {};
    bandTexts_ = {};
    pageFirstBand_ = {};
    texts_ = {};
    textIds_.clear();
    Q_EMIT pagesChanged();
}

BandPlace ReportPages::bandPlace(int band) const {
    const Placed& b = bands_.at(static_cast<std::size_t>(band));
    return {b.page, b.column, b.left, b.top};
}

QString ReportPages::bandText(int band, const QString& componentName) const {
    const int component = layout_->componentIndex(componentName);
    if (component < 0)
        throw std::invalid_argument("no component " + componentName.toStdString());
    std::vector<QString> texts;
    textsOf(band, texts);
    return texts[static_cast<std::size_t>(component)];
}

void ReportPages::textsOf(int band, std::vector<QString>& texts) const {
    const auto& components = layout_->band.components;
    texts.resize(components.size());
    const std::size_t first = static_cast<std::size_t>(band) * static_cast<std::size_t>(slots_);
    for (std::size_t i = 0; i < components.size(); ++i) {
        if (slotOf_[i] >= 0)
            texts[i] = texts_[bandTexts_.at(first + static_cast<std::size_t>(slotOf_[i]))];
        else if (components[i].kind == ComponentKind::Label)
            texts[i] = components[i].text;
        else
            texts[i].clear();
    }
}

int ReportPages::pageCount() const {
    return static_cast<int>(pageFirstBand_.size());
}

QSizeF ReportPages::pageSizeMm(int) const {
    return layout_->paperSizeMm(orientation_);
}

int ReportPages::progressPercent() const {
    if (state_ == State::Complete)
        return 100;
    if (!run_ || expectedRecords_ <= 0)
        return 0;
    return static_cast<int>(std::min<std::int64_t>(99, run_->records() * 100 / expectedRecords_));
}

void ReportPages::paintPage(QPainter& p, int page, BandPainter& painter) const {
    if (page < 0 || page >= pageCount())
        return;
    const int first = pageFirstBand_[static_cast<std::size_t>(page)];
    const int end =
        page + 1 < pageCount() ? pageFirstBand_[static_cast<std::size_t>(page) + 1] : bandCount();
    std::vector<QString> texts;
    painter.beginPage(Qt::white);
    for (int band = first; band < end; ++band) {
        textsOf(band, texts);
        const BandPlace place = bandPlace(band);
        painter.paint(p, QPointF(place.left / 10.0, place.top / 10.0), texts);
    }
}

QImage ReportPages::renderPage(int page, QSize pixelSize) const {
    QImage image(pixelSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (image.isNull() || page < 0 || page >= pageCount())
        return image;
    const QSizeF paper = pageSizeMm(page);
    QPainter p(&image);
    BandPainter::setUpPainter(p, pixelSize.width() / paper.width(),
                              pixelSize.height() / paper.height());
    paintPage(p, page, *painter_);
    return image;
}

} // namespace bingo::report
