#include "caller/CardSource.h"

#include "caller/CallerMessages.h"
#include "cards/CardGenerator.h"
#include "cards/JobStamp.h"
#include "report/JobMetadata.h"
#include "store/CardTableReader.h"
#include "store/StoreError.h"

#include <QFileInfo>
#include <algorithm>

namespace bingo::caller {

namespace {

QString hex(std::uint64_t value) {
    return QStringLiteral("%1").arg(value, 16, 16, QChar(u'0'));
}

} // namespace

QString jobIdentity(const std::vector<cards::Card>& cards) {
    cards::CardDigest digest;
    for (const cards::Card& card : cards)
        digest.add(card);
    return hex(digest.value());
}

CardSet loadTableCards(const std::filesystem::path& scratchDirectory) {
    const std::filesystem::path file = scratchDirectory / "tmpBingo.db";
    CardSet set;
    try {
        set.cards = store::CardTableReader(file).load();
    } catch (const store::StoreError& error) {
        throw SourceError(error.what());
    }
    int largest = 0;
    for (const cards::Card& card : set.cards)
        largest = std::max(largest, *std::max_element(card.numbers.begin(), card.numbers.end()));
    set.range = std::max(25, std::min(99, (largest + 4) / 5 * 5));
    set.source = QString::fromStdString(file.string());
    set.job = jobIdentity(set.cards);
    return set;
}

CardSet loadPdfCards(const QString& pdfPath) {
    const QFileInfo info(pdfPath);
    const QString path = info.absoluteFilePath();
    if (!info.exists())
        throw SourceError(messages::fileNotFound(path).toStdString());
    if (!info.isFile() || !info.isReadable())
        throw SourceError(messages::fileNotReadable(path).toStdString());
    std::optional<cards::JobStamp> stamp;
    try {
        stamp = report::readJobStamp(path);
    } catch (const std::runtime_error& error) {
        throw SourceError(error.what());
    }
    if (!stamp)
        throw SourceError(messages::notACardPdf(path).toStdString());
    if (stamp->sheets < 1)
        throw SourceError(messages::noCardsInPdf(path).toStdString());
    CardSet set;
    cards::CardList drawn;
    drawn.cards.reserve(static_cast<std::size_t>(stamp->sheets) * cards::CardsPerSheet);
    cards::DigestingSink digesting(drawn);
    cards::RandomSource random(stamp->seed);
    cards::NoProgress progress;
    cards::CardGenerator(random, digesting, progress).generate(stamp->range, stamp->sheets);
    set.cards = std::move(drawn.cards);
    if (digesting.digest() != stamp->digest)
        throw SourceError(messages::pdfCardsDiffer(path).toStdString());
    set.range = stamp->range;
    set.rangeKnown = true;
    set.source = path;
    set.job = hex(stamp->digest);
    set.fromPdf = true;
    return set;
}

} // namespace bingo::caller
