#pragma once

#include "cards/Card.h"

#include <QString>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace bingo::caller {

/// A source of cards the caller cannot use; the message, in Traditional Chinese, says why.
class SourceError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// The cards of one job and where they came from.
struct CardSet {
    std::vector<cards::Card> cards;
    int range = 0;           ///< the job's number range N
    bool rangeKnown = false; ///< false for a table: N is read off its largest number
    QString source;          ///< the table's or the PDF's path, as the record names it
    QString job;             ///< the job's identity: 16 hex digits of its card digest
    bool fromPdf = false;
};

/// The job's identity of a list of cards: their CardDigest as 16 hex digits.
[[nodiscard]] QString jobIdentity(const std::vector<cards::Card>& cards);

/// The cards of the table "tmpBingo.db" in the scratch directory, read without changing or
/// locking it. The range is the smallest of 25, 30, ..., 95, 99 that holds every number.
[[nodiscard]] CardSet loadTableCards(const std::filesystem::path& scratchDirectory);

/// The cards of the job a PDF saved by the preview shows, rebuilt from its job stamp and
/// checked against the stamp's digest.
[[nodiscard]] CardSet loadPdfCards(const QString& pdfPath);

} // namespace bingo::caller
