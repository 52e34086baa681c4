#include "report/JobMetadata.h"

#include "report/ReportMessages.h"

#include <QDateTime>
#include <QFile>
#include <stdexcept>

namespace bingo::report {

namespace {

constexpr QByteArrayView StampOpen = "<bingo:job>";
constexpr QByteArrayView StampClose = "</bingo:job>";
// A stamp is a short line; anything longer between the tags is not ours.
constexpr qsizetype MaxStampLength = 200;

QByteArray escaped(const QString& text) {
    return text.toHtmlEscaped().toUtf8();
}

} // namespace

QByteArray jobXmpMetadata(const cards::JobStamp& stamp) {
    const QString now = QDateTime::currentDateTime()
                            .toOffsetFromUtc(QDateTime::currentDateTime().offsetFromUtc())
                            .toString(Qt::ISODate);
    QByteArray xmp;
    xmp += "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
           "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
           "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
           "<rdf:Description rdf:about=\"\"\n"
           " xmlns:dc=\"http://purl.org/dc/elements/1.1/\"\n"
           " xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\"\n"
           " xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\"\n"
           " xmlns:bingo=\"urn:bingocards:job:1\">\n"
           "<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">Bingo</rdf:li></rdf:Alt></dc:title>\n"
           "<dc:format>application/pdf</dc:format>\n"
           "<xmp:CreatorTool>bingo</xmp:CreatorTool>\n";
    xmp += "<xmp:CreateDate>" + escaped(now) + "</xmp:CreateDate>\n";
    xmp += "<xmp:ModifyDate>" + escaped(now) + "</xmp:ModifyDate>\n";
    xmp += "<xmp:MetadataDate>" + escaped(now) + "</xmp:MetadataDate>\n";
    xmp += "<pdf:Producer>" + escaped(QStringLiteral("Qt ") + QString::fromLatin1(qVersion())) +
           "</pdf:Producer>\n";
    xmp += StampOpen.toByteArray() + QByteArray::fromStdString(stamp.toText()) +
           StampClose.toByteArray() + "\n";
    xmp += "</rdf:Description>\n"
           "</rdf:RDF>\n"
           "</x:xmpmeta>\n"
           "<?xpacket end=\"w\"?>";
    return xmp;
}

std::optional<cards::JobStamp> readJobStamp(const QString& pdfPath) {
    QFile file(pdfPath);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            messages::cannotReadSavedPdf(pdfPath, file.errorString()).toStdString());
    if (file.read(5) != "%PDF-")
        return std::nullopt;
    // Mapped, not read: a saved job of 9999 sheets is large.
    const qint64 size = file.size();
    uchar* mapped = size > 0 ? file.map(0, size) : nullptr;
    QByteArray copy;
    QByteArrayView bytes;
    if (mapped != nullptr) {
        bytes = QByteArrayView(reinterpret_cast<const char*>(mapped), size);
    } else {
        file.seek(0);
        copy = file.readAll();
        bytes = copy;
    }
    // Qt writes the metadata near the start of the file: searching forward reads only a few
    // pages of a large file.
    const qsizetype open = bytes.indexOf(StampOpen);
    if (open < 0)
        return std::nullopt;
    const qsizetype first = open + StampOpen.size();
    const QByteArrayView rest = bytes.sliced(
        first, std::min<qsizetype>(bytes.size() - first, MaxStampLength + StampClose.size()));
    const qsizetype close = rest.indexOf(StampClose);
    if (close < 0)
        return std::nullopt;
    // The stamp must sit in a metadata stream written as plain text.
    if (bytes.first(open).lastIndexOf(QByteArrayView("/Type /Metadata")) < 0)
        return std::nullopt;
    return cards::JobStamp::parse(rest.first(close).toByteArray().toStdString());
}

} // namespace bingo::report
