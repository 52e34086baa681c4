#include "caller/CardSource.h"

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
        throw SourceError(QStringLiteral("找不到檔案 %1。").arg(path).toStdString());
    if (!info.isFile() || !info.isReadable())
        throw SourceError(
            QStringLiteral("無法讀取 %1：它不是可以讀取的檔案。").arg(path).toStdString());
    std::optional<cards::JobStamp> stamp;
    try {
        stamp = report::readJobStamp(path);
    } catch (const std::runtime_error& error) {
        throw SourceError(error.what());
    }
    if (!stamp)
        throw SourceError(
            QStringLiteral("%1 不是「賓果彩卷列印」存下的彩卷 PDF，或沒有記下重建彩卷所需的資料，"
                           "無法對獎。")
                .arg(path)
                .toStdString());
    if (stamp->sheets < 1)
        throw SourceError(
            QStringLiteral("%1 記下的這批彩卷沒有任何一張。").arg(path).toStdString());
    CardSet set;
    cards::CardList drawn;
    drawn.cards.reserve(static_cast<std::size_t>(stamp->sheets) * cards::CardsPerSheet);
    cards::DigestingSink digesting(drawn);
    cards::RandomSource random(stamp->seed);
    cards::NoProgress progress;
    cards::CardGenerator(random, digesting, progress).generate(stamp->range, stamp->sheets);
    set.cards = std::move(drawn.cards);
    if (digesting.digest() != stamp->digest)
        throw SourceError(
            QStringLiteral("%1 記下的資料重建出來的彩卷與當初印的不符（檔案可能被改過），"
                           "無法對獎。")
                .arg(path)
                .toStdString());
    set.range = stamp->range;
    set.rangeKnown = true;
    set.source = path;
    set.job = hex(stamp->digest);
    set.fromPdf = true;
    return set;
}

} // namespace bingo::caller
