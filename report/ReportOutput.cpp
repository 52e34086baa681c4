#include "report/ReportOutput.h"

#include "preview/PreviewMessages.h"
#include "report/BandPainter.h"
#include "report/ReportMessages.h"
#include "report/ReportPages.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <stdexcept>
#include <vector>

namespace bingo::report {
namespace {

constexpr int PdfResolution = 1200;

[[noreturn]] void fail(const QString& message) {
    throw std::runtime_error(message.toStdString());
}

} // namespace

void ReportOutput::savePdf(const QString& path) const {
    const ReportLayout& layout = pages_.layout();
    const auto cannot = [&path](const QString& why) { fail(messages::cannotSavePages(path, why)); };
    if (pages_.pageCount() == 0)
        cannot(messages::noPagesToSave());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        cannot(preview::messages::fileFailureReason(path, file, true));
    {
        QPdfWriter writer(&file);
        writer.setTitle(layout.title);
        if (!xmp_.isEmpty())
            writer.setDocumentXmpMetadata(xmp_);
        writer.setResolution(PdfResolution);
        writer.setPageLayout(QPageLayout(layout.pageSize(), layout.orientation, QMarginsF()));
        QPainter p;
        if (!p.begin(&writer))
            cannot(messages::pdfNotStarted());
        const qreal pixelsPerMm = PdfResolution / 25.4;
        BandPainter painter(pages_.sharedLayout());
        for (int page = 0; page < pages_.pageCount(); ++page) {
            if (page > 0 && !writer.newPage())
                cannot(messages::pdfPageRefused(page + 1));
            p.save();
            BandPainter::setUpPainter(p, pixelsPerMm, pixelsPerMm);
            pages_.paintPage(p, page, painter);
            p.restore();
        }
        if (!p.end())
            cannot(messages::pdfNotFinished());
    }
    // Nothing has been written under path until here; a failure leaves no file behind.
    if (!file.commit())
        cannot(preview::messages::fileFailureReason(path, file, true));
}

std::optional<preview::PdfPages> ReportOutput::writePrintPdf(const preview::PrintPlan& plan,
                                                             const QString& path,
                                                             const Progress& progress) const {
    const ReportLayout& layout = pages_.layout();
    // Laid out anew from the first record, with the handlers run again: the stamps give the
    // time of printing, and a record that cannot be printed stops the print before any of it
    // goes out.
    const std::unique_ptr<ReportPages> fresh = pages_.anew(plan.orientation);
    fresh->layOutAll();

    std::vector<int> draw;
    if (plan.wholeDocumentInOrder() && fresh->pageCount() != plan.pageCount) {
        // The table or the paper's orientation gives another page count than the preview's.
        preview::PrintPlan all = plan;
        all.pageCount = fresh->pageCount();
        all.pages.clear();
        for (int page = 0; page < all.pageCount; ++page)
            all.pages.push_back(page);
        draw = all.pagesToDraw();
    } else {
        for (const int page : plan.pagesToDraw())
            if (page < fresh->pageCount())
                draw.push_back(page);
    }
    if (draw.empty())
        fail(messages::pagesNotInReport(plan.pageRangesText(), fresh->pageCount()));

    QFile file(path);
    const auto cannot = [&path](const QString& why) {
        fail(messages::cannotPreparePrint(path, why));
    };
    if (!file.open(QIODevice::WriteOnly))
        cannot(preview::messages::fileFailureReason(path, file, true));
    QPdfWriter writer(&file);
    writer.setTitle(layout.title);
    writer.setResolution(PdfResolution);
    writer.setPageLayout(QPageLayout(layout.pageSize(), plan.orientation, QMarginsF()));
    QPainter p;
    if (!p.begin(&writer))
        cannot(messages::pdfNotStarted());
    const qreal pixelsPerMm = PdfResolution / 25.4;
    BandPainter painter(pages_.sharedLayout());
    const int total = static_cast<int>(draw.size());
    for (int done = 0; done < total; ++done) {
        if (done > 0 && !writer.newPage())
            cannot(messages::pdfPageRefused(done + 1));
        p.save();
        BandPainter::setUpPainter(p, pixelsPerMm, pixelsPerMm);
        fresh->paintPage(p, draw[static_cast<std::size_t>(done)], painter);
        p.restore();
        if (progress && !progress(done + 1, total))
            return std::nullopt;
    }
    if (!p.end())
        cannot(messages::pdfNotFinished());
    if (!file.flush())
        cannot(preview::messages::fileFailureReason(path, file, true));
    return preview::PdfPages::Planned;
}

} // namespace bingo::report
