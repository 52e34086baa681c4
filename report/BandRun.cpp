#include "report/BandRun.h"

#include "report/ReportMessages.h"

#include <QDateTime>
#include <stdexcept>

namespace bingo::report {

namespace {

[[noreturn]] void fail(const QString& message) {
    throw std::runtime_error(message.toStdString());
}

} // namespace

BandFiller::BandFiller(const ReportLayout& layout, const QStringList& fields,
                       const PrintHandlers& handlers) {
    for (const Component& c : layout.band.components) {
        Source source;
        source.kind = c.kind;
        source.text = c.text;
        if (c.kind == ComponentKind::DataField) {
            for (int i = 0; i < fields.size() && source.field < 0; ++i)
                if (fields[i].compare(c.field, Qt::CaseInsensitive) == 0)
                    source.field = i;
            if (source.field < 0)
                fail(messages::missingField(c.name, c.field));
        }
        if (!c.onPrint.isEmpty()) {
            const auto handler = handlers.constFind(c.onPrint);
            if (handler == handlers.cend() || !*handler)
                fail(messages::missingPrintHandler(c.name, c.onPrint));
            source.handler = *handler;
        }
        sources_.push_back(std::move(source));
    }
}

void BandFiller::fill(const RecordCursor* record, std::vector<QString>& texts) const {
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

// The engine's own date and time text, to the second. Reading the local time costs a look at
// the time zone file, so it is read at most five times a second.
const QString& BandFiller::systemDateTime() const {
    const auto now = std::chrono::steady_clock::now();
    if (systemText_.isEmpty() || now - systemTextAt_ >= std::chrono::milliseconds(200)) {
        systemText_ = system_.toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
        systemTextAt_ = now;
    }
    return systemText_;
}

BandRun::BandRun(const ReportLayout& layout, const RecordSource& records, const BandFiller& filler,
                 const PageGeometry& geometry)
    : printIfEmpty_(layout.printIfEmpty), cursor_(records.read()), filler_(filler),
      flow_(geometry) {}

bool BandRun::advance(BandPlace& place) {
    if (exhausted_)
        return false;
    atRecord_ = cursor_->next();
    if (atRecord_) {
        ++records_;
    } else {
        exhausted_ = true;
        if (banded_ || !printIfEmpty_)
            return false;
    }
    banded_ = true;
    place = flow_.next();
    return true;
}

void BandRun::fill(std::vector<QString>& texts) const {
    try {
        filler_.fill(atRecord_ ? cursor_.get() : nullptr, texts);
    } catch (const std::exception& e) {
        if (!atRecord_)
            throw;
        fail(messages::recordCannotBePrinted(records_, QString::fromUtf8(e.what())));
    }
}

} // namespace bingo::report
