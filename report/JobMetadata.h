#pragma once

#include "cards/JobStamp.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace bingo::report {

/// A complete XMP packet for QPdfWriter::setDocumentXmpMetadata(): the usual document
/// description (dc:title "Bingo", creator tool, dates) and the job's stamp, which rebuilds
/// exactly the cards on the pages, in a namespace of the program's own.
[[nodiscard]] QByteArray jobXmpMetadata(const cards::JobStamp& stamp);

/// The job stamp of a PDF this program saved: found in its uncompressed XMP metadata.
/// nullopt for a file that is not a PDF, has no stamp or a malformed one. Throws
/// std::runtime_error (message in Traditional Chinese) when the file cannot be read.
[[nodiscard]] std::optional<cards::JobStamp> readJobStamp(const QString& pdfPath);

} // namespace bingo::report
