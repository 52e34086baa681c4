#pragma once

#include "preview/PrintPlan.h"

#include <QString>
#include <QtGlobal>
#include <functional>

namespace bingo::preview {

/// What the finished PDF handed to submitPdf() holds.
enum class PdfPages {
    Planned,  ///< exactly plan.pagesToDraw(), in that order: a PDF drawn for the plan
    Document, ///< the whole document of plan.pageCount pages, as saved: a loaded PDF
};

/// Reports the bytes handed over so far of total; returning false stops the hand-over and
/// nothing is printed.
using SubmitProgress = std::function<bool(qint64 done, qint64 total)>;

/// How a hand-over ended.
struct Submitted {
    bool done = false; ///< false: stopped through the progress callback; nothing was printed
    int jobId = 0;     ///< the print system's job id; 0 for a file
};

/// Hands the finished PDF at pdfPath to the plan's destination, whole or not at all.
/// A queue gets the file itself as a PDF document through libcups (the server named by
/// CUPS_SERVER, else the system's), with the plan's copies, collation, sides, A4 paper and
/// job name, and for PdfPages::Document its page ranges and order; a job that fails or is
/// stopped after it was created is cancelled and purged, so the queue keeps no trace of it.
/// A file gets the pages copied into it, written under a temporary name and renamed only when
/// complete. Does not assume the PDF's page count: holds says what it is.
/// Throws std::runtime_error with the print system's own reason when the hand-over fails, and
/// for a file that would need pages picked out of a whole document (a sub-range, reverse
/// order or copies), which this does not do.
Submitted submitPdf(const QString& pdfPath, PdfPages holds, const PrintPlan& plan,
                    const SubmitProgress& progress = {});

} // namespace bingo::preview
