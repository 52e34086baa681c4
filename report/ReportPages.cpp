#include "report/ReportPages.h"

#include "report/BandPainter.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace bingo::report {
namespace {

constexpr int PdfResolution = 1200;
// Records laid out per check of the clock, and the time one turn of the event loop may take.
constexpr std::int64_t RecordsPerCheck = 32;
constexpr qint64 ChunkMilliseconds = 8;
constexpr std::int64_t MaxReserved = 1'000'000;

[[noreturn]] void fail(const QString& message) {
    throw std::runtime_error(message.toStdString());
}

} // namespace

// Turns a record into the texts of a band's components, running the print handlers.
class ReportPages::Filler {
  public:
    Filler(const ReportLayout& layout, const RecordSource& records, const PrintHandlers& handlers) {
        const QStringList fields = records.fieldNames();
        for (const Component& c : layout.band.components) {
            Source source;
            source.kind = c.kind;
            source.text = c.text;
            if (c.kind == ComponentKind::DataField) {
                for (int i = 0; i < fields.size() && source.field < 0; ++i)
                    if (fields[i].compare(c.field, Qt::CaseInsensitive) == 0)
                        source.field = i;
                if (source.field < 0)
                    fail(c.name + ": Field '" + c.field + "' not found");
            }
            if (!c.onPrint.isEmpty()) {
                const auto handler = handlers.constFind(c.onPrint);
                if (handler == handlers.cend() || !*handler)
                    fail("The report's component " + c.name + " needs the print handler " +
                         c.onPrint + ", which the program does not provide");
                source.handler = *handler;
            }
            sources_.push_back(std::move(source));
        }
    }

    /// record is null for the band of an empty data set.
    void fill(const RecordCursor* record, std::vector<QString>& texts) const {
        texts.resize(sources_.size());
        for (std::size_t i = 0; i < sources_.size(); ++i) {
            const Source& source = sources_[i];
            QString& text = texts[i];
            switch (source.kind) {
            case ComponentKind::Rectangle:
                text.clear();
                continue;
            case ComponentKind::Label:
                text = source.text;
                break;
            case ComponentKind::DataField:
                if (record)
                    text = QString::fromStdString(record->field(source.field));
                else
                    text.clear();
                break;
            case ComponentKind::SystemData:
                text = systemDateTime();
                break;
            }
            if (source.handler && !text.isEmpty())
                source.handler(text);
        }
    }

  private:
    // The engine's own date and time text, to the second. Reading the local time costs a
    // look at the time zone file, so it is read at most five times a second.
    const QString& systemDateTime() const {
        const auto now = std::chrono::steady_clock::now();
        if (systemText_.isEmpty() || now - systemTextAt_ >= std::chrono::milliseconds(200)) {
            systemText_ = system_.toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
            systemTextAt_ = now;
        }
        return systemText_;
    }

    struct Source {
        ComponentKind kind = ComponentKind::Rectangle;
        int field = -1;
        QString text;
        PrintHandler handler;
    };
    std::vector<Source> sources_;
    QLocale system_ = QLocale::system();
    mutable QString systemText_;
    mutable std::chrono::steady_clock::time_point systemTextAt_;
};

struct ReportPages::Run {
    Run(std::unique_ptr<RecordCursor> reading, const PageGeometry& geometry)
        : cursor(std::move(reading)), flow(geometry) {}
    std::unique_ptr<RecordCursor> cursor;
    PageFlow flow;
    std::int64_t records = 0; // records read so far
    bool banded = false;      // a band has been placed
    bool atRecord = false;    // the current band has a record
    bool exhausted = false;
};

ReportPages::ReportPages(std::shared_ptr<const ReportLayout> layout, const RecordSource& records,
                         PrintHandlers handlers, QObject* parent)
    : preview::PageSource(parent), layout_(std::move(layout)), records_(records),
      geometry_(PageGeometry::of(*layout_, layout_->orientation == QPageLayout::Landscape)),
      filler_(std::make_unique<Filler>(*layout_, records_, handlers)),
      painter_(std::make_unique<BandPainter>(layout_)) {
    for (const Component& c : layout_->band.components) {
        const bool varies = c.kind == ComponentKind::DataField ||
                            c.kind == ComponentKind::SystemData || !c.onPrint.isEmpty();
        slotOf_.push_back(varies ? slots_++ : -1);
    }
}

ReportPages::~ReportPages() = default;

std::unique_ptr<ReportPages::Run> ReportPages::openRun(const PageGeometry& geometry) const {
    return std::make_unique<Run>(records_.read(), geometry);
}

bool ReportPages::advance(Run& run, BandPlace& place) const {
    if (run.exhausted)
        return false;
    run.atRecord = run.cursor->next();
    if (run.atRecord) {
        ++run.records;
    } else {
        run.exhausted = true;
        if (run.banded || !layout_->printIfEmpty)
            return false;
    }
    run.banded = true;
    place = run.flow.next();
    return true;
}

void ReportPages::fill(const Run& run, std::vector<QString>& texts) const {
    try {
        filler_->fill(run.atRecord ? run.cursor.get() : nullptr, texts);
    } catch (const std::exception& e) {
        if (!run.atRecord)
            throw;
        fail("Record " + QString::number(run.records) +
             " cannot be printed: " + QString::fromUtf8(e.what()));
    }
}

void ReportPages::start() {
    if (state_ != State::Idle)
        return;
    run_ = openRun(geometry_);
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
            if (!advance(*run_, place)) {
                finish(State::Complete);
                return;
            }
            fill(*run_, scratch_);
            keep(place, scratch_);
        }
    } catch (...) {
        finish(State::Failed);
        throw;
    }
}

void ReportPages::layOutChunk() {
    if (state_ != State::LayingOut)
        return;
    QElapsedTimer timer;
    timer.start();
    while (state_ == State::LayingOut && timer.elapsed() < ChunkMilliseconds)
        layOutNext(RecordsPerCheck);
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

QPointF ReportPages::topLeftMm(const BandPlace& place) const {
    return {place.left / 10.0, place.top / 10.0};
}

int ReportPages::pageCount() const {
    return static_cast<int>(pageFirstBand_.size());
}

QSizeF ReportPages::pageSizeMm(int) const {
    return layout_->paperSizeMm(layout_->orientation);
}

int ReportPages::progressPercent() const {
    if (state_ == State::Complete)
        return 100;
    if (!run_ || expectedRecords_ <= 0)
        return 0;
    return static_cast<int>(std::min<std::int64_t>(99, run_->records * 100 / expectedRecords_));
}

void ReportPages::paintPage(QPainter& p, int page) const {
    if (page < 0 || page >= pageCount())
        return;
    const int first = pageFirstBand_[static_cast<std::size_t>(page)];
    const int end =
        page + 1 < pageCount() ? pageFirstBand_[static_cast<std::size_t>(page) + 1] : bandCount();
    std::vector<QString> texts;
    painter_->beginPage(Qt::white);
    for (int band = first; band < end; ++band) {
        textsOf(band, texts);
        painter_->paint(p, topLeftMm(bandPlace(band)), texts);
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
    paintPage(p, page);
    return image;
}

void ReportPages::savePdf(const QString& path) const {
    const auto cannot = [&path](const QString& why) {
        fail("Cannot save the pages to " + path + ": " + why);
    };
    if (pageCount() == 0)
        cannot(QStringLiteral("there are no pages to save"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        cannot(file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setTitle(layout_->title);
        writer.setResolution(PdfResolution);
        writer.setPageLayout(QPageLayout(layout_->pageSize(), layout_->orientation, QMarginsF()));
        QPainter p;
        if (!p.begin(&writer))
            cannot(QStringLiteral("the PDF could not be started"));
        const qreal pixelsPerMm = PdfResolution / 25.4;
        for (int page = 0; page < pageCount(); ++page) {
            if (page > 0 && !writer.newPage())
                cannot(QStringLiteral("the PDF did not take page %1").arg(page + 1));
            p.save();
            BandPainter::setUpPainter(p, pixelsPerMm, pixelsPerMm);
            paintPage(p, page);
            p.restore();
        }
        if (!p.end())
            cannot(QStringLiteral("the PDF could not be finished"));
    }
    // Nothing has been written under path until here; a failure leaves no file behind.
    if (!file.commit())
        cannot(file.errorString());
}

void ReportPages::print(QPrinter& printer, const PrintProgress& progress) {
    printer.setDocName(layout_->title);
    printer.setFullPage(true); // the layout measures from the paper's edges
    const QPageLayout::Orientation orientation = printer.pageLayout().orientation();
    printer.setPageSize(layout_->pageSize());
    printer.setPageOrientation(orientation);
    const PageGeometry geometry = PageGeometry::of(*layout_, orientation == QPageLayout::Landscape);

    const QPageRanges ranges = printer.pageRanges();
    const auto wanted = [&ranges](int page) {
        return ranges.isEmpty() || ranges.contains(page + 1);
    };
    const int pages =
        PageFlow::pagesFor(geometry, std::max<std::int64_t>(records_.recordCount(), 0));
    const int lastWanted = ranges.isEmpty() ? pages - 1 : std::min(pages, ranges.lastPage()) - 1;
    int wantedPages = 0;
    for (int page = 0; page <= lastWanted; ++page)
        wantedPages += wanted(page) ? 1 : 0;
    if (wantedPages == 0)
        fail(
            QStringLiteral("The pages chosen for printing (%1) are not among the report's %2 pages")
                .arg(ranges.toString())
                .arg(pages));

    // A printer that makes copies itself gets the job once.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    const bool collate = printer.collateCopies();
    const int runs = collate ? copies : 1;
    const int repeats = collate ? 1 : copies;
    const int total = wantedPages * copies;

    QPainter p;
    if (!p.begin(&printer))
        fail(QStringLiteral("The printer %1 could not be started").arg(printer.printerName()));
    const QSizeF paper = layout_->paperSizeMm(orientation);
    const QRectF device = printer.paperRect(QPrinter::DevicePixel);
    const qreal pixelsPerMmX = device.width() / paper.width();
    const qreal pixelsPerMmY = device.height() / paper.height();

    int printed = 0;
    std::vector<BandPlace> places;
    std::vector<std::vector<QString>> texts;
    // Draws the bands collected for one page; false when the operator stopped the print.
    const auto printPage = [&]() -> bool {
        for (int r = 0; r < repeats; ++r) {
            if (printed > 0 && !printer.newPage())
                fail(QStringLiteral("The printer did not take page %1").arg(printed + 1));
            p.save();
            BandPainter::setUpPainter(p, pixelsPerMmX, pixelsPerMmY);
            painter_->beginPage(Qt::white);
            for (std::size_t i = 0; i < places.size(); ++i)
                painter_->paint(p, topLeftMm(places[i]), texts[i]);
            p.restore();
            ++printed;
            if (progress && !progress(printed, total))
                return false;
        }
        return true;
    };

    for (int copy = 0; copy < runs; ++copy) {
        const std::unique_ptr<Run> run = openRun(geometry);
        int current = -1;
        BandPlace place;
        bool more = advance(*run, place);
        while (more || !places.empty()) {
            if (!more || place.page != current) {
                if (!places.empty() && !printPage()) {
                    printer.abort();
                    return;
                }
                places.clear();
                texts.clear();
                if (!more || place.page > lastWanted)
                    break;
                current = place.page;
            }
            if (wanted(place.page)) {
                places.push_back(place);
                fill(*run, texts.emplace_back());
            }
            more = advance(*run, place);
        }
    }
    if (!p.end())
        fail(QStringLiteral("The printer %1 could not finish the job").arg(printer.printerName()));
}

} // namespace bingo::report
