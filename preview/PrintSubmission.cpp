#include "preview/PrintSubmission.h"

#include "preview/PreviewMessages.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScopeGuard>
#include <cerrno>
#include <cups/cups.h>
#include <memory>
#include <stdexcept>
#include <sys/socket.h>

namespace bingo::preview {
namespace {

constexpr qint64 ChunkBytes = 256 * 1024;

[[noreturn]] void fail(const QString& message) {
    throw std::runtime_error(message.toStdString());
}

QString cupsReason() {
    return QString::fromUtf8(cupsLastErrorString());
}

struct HttpClose {
    void operator()(http_t* http) const { httpClose(http); }
};
using Http = std::unique_ptr<http_t, HttpClose>;

Http connectToServer() {
    Http http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 30000,
                           nullptr));
    if (!http)
        fail(messages::cannotReachPrintSystem(QString::fromUtf8(cupsServer()),
                                              messages::systemReason(errno)));
    return http;
}

class JobOptions {
  public:
    JobOptions() = default;
    ~JobOptions() { cupsFreeOptions(count_, list_); }
    JobOptions(const JobOptions&) = delete;
    JobOptions& operator=(const JobOptions&) = delete;

    void add(const char* name, const QByteArray& value) {
        count_ = cupsAddOption(name, value.constData(), count_, &list_);
    }
    [[nodiscard]] int count() const { return count_; }
    [[nodiscard]] cups_option_t* list() const { return list_; }

  private:
    int count_ = 0;
    cups_option_t* list_ = nullptr;
};

const char* sidesKeyword(Sides sides) {
    switch (sides) {
    case Sides::TwoSidedLongEdge:
        return "two-sided-long-edge";
    case Sides::TwoSidedShortEdge:
        return "two-sided-short-edge";
    case Sides::OneSided:
        break;
    }
    return "one-sided";
}

void describeJob(JobOptions& options, PdfPages holds, const PrintPlan& plan) {
    // Always said: a queue's own default (two-sided, say) must not decide how cards come out.
    options.add("sides", sidesKeyword(plan.sides));
    options.add("media", "iso_a4_210x297mm");
    options.add("copies", QByteArray::number(plan.copies));
    options.add("multiple-document-handling", plan.collate
                                                  ? "separate-documents-collated-copies"
                                                  : "separate-documents-uncollated-copies");
    options.add("collate", plan.collate ? "true" : "false");
    if (holds == PdfPages::Document) {
        if (plan.pages.size() != static_cast<std::size_t>(plan.pageCount))
            options.add("page-ranges", plan.pageRangesText().toLatin1());
        if (plan.reverse)
            options.add("outputorder", "reverse");
    }
}

// Cancels a job and takes it out of the job history; over a connection of its own, as the one
// that created the job may be in the middle of a request.
void purgeJob(const QByteArray& queue, int jobId) {
    try {
        const Http http = connectToServer();
        if (cupsCancelJob2(http.get(), queue.constData(), jobId, 1) > IPP_STATUS_OK_CONFLICTING)
            cupsCancelJob2(http.get(), queue.constData(), jobId, 0);
    } catch (const std::exception&) {
        // The job was never completed: the server aborts it once the connection is gone.
    }
}

Submitted toQueue(QFile& pdf, PdfPages holds, const PrintPlan& plan,
                  const SubmitProgress& progress) {
    const QByteArray queue = plan.queue.toUtf8();
    const QByteArray title =
        (plan.jobName.isEmpty() ? QFileInfo(pdf.fileName()).completeBaseName() : plan.jobName)
            .toUtf8();
    JobOptions options;
    describeJob(options, holds, plan);
    Http http = connectToServer();
    const int jobId = cupsCreateJob(http.get(), queue.constData(), title.constData(),
                                    options.count(), options.list());
    if (jobId <= 0)
        fail(messages::queueRefusedJob(plan.queue, cupsReason()));
    bool handedOver = false;
    const auto cancelUnlessHandedOver = qScopeGuard([&] {
        if (!handedOver) {
            http.reset();
            purgeJob(queue, jobId);
        }
    });

    if (cupsStartDocument(http.get(), queue.constData(), jobId, title.constData(), CUPS_FORMAT_PDF,
                          1) != HTTP_STATUS_CONTINUE)
        fail(messages::cannotSendJob(plan.queue, cupsReason()));
    const qint64 total = pdf.size();
    qint64 done = 0;
    if (progress && !progress(done, total))
        return {};
    QByteArray chunk;
    while (!pdf.atEnd()) {
        chunk = pdf.read(ChunkBytes);
        if (chunk.isEmpty())
            fail(messages::cannotReadPrintFile(
                pdf.fileName(), messages::fileFailureReason(pdf.fileName(), pdf, false)));
        if (cupsWriteRequestData(http.get(), chunk.constData(),
                                 static_cast<std::size_t>(chunk.size())) != HTTP_STATUS_CONTINUE)
            fail(messages::cannotSendJob(plan.queue, cupsReason()));
        done += chunk.size();
        if (progress && !progress(done, total))
            return {};
    }
    if (cupsFinishDocument(http.get(), queue.constData()) > IPP_STATUS_OK_CONFLICTING)
        fail(messages::queueDidNotTakeJob(plan.queue, cupsReason()));
    handedOver = true;
    return {true, jobId};
}

Submitted toFile(QFile& pdf, PdfPages holds, const PrintPlan& plan,
                 const SubmitProgress& progress) {
    if (holds == PdfPages::Document && !(plan.wholeDocumentInOrder() && plan.copies == 1))
        fail(messages::loadedPdfToFileOnlyWhole());
    QSaveFile out(plan.outputFile);
    if (!out.open(QIODevice::WriteOnly))
        fail(messages::cannotWritePrintFile(
            plan.outputFile, messages::fileFailureReason(plan.outputFile, out, true)));
    const qint64 total = pdf.size();
    qint64 done = 0;
    if (progress && !progress(done, total))
        return {};
    while (!pdf.atEnd()) {
        const QByteArray chunk = pdf.read(ChunkBytes);
        if (chunk.isEmpty())
            fail(messages::cannotReadPrintFile(
                pdf.fileName(), messages::fileFailureReason(pdf.fileName(), pdf, false)));
        if (out.write(chunk) != chunk.size())
            fail(messages::cannotWritePrintFile(
                plan.outputFile, messages::fileFailureReason(plan.outputFile, out, true)));
        done += chunk.size();
        if (progress && !progress(done, total))
            return {}; // QSaveFile drops what it wrote
    }
    if (!out.commit())
        fail(messages::cannotWritePrintFile(
            plan.outputFile, messages::fileFailureReason(plan.outputFile, out, true)));
    return {true, 0};
}

} // namespace

Submitted submitPdf(const QString& pdfPath, PdfPages holds, const PrintPlan& plan,
                    const SubmitProgress& progress) {
    QFile pdf(pdfPath);
    if (!pdf.open(QIODevice::ReadOnly))
        fail(messages::cannotReadPrintFile(pdfPath,
                                           messages::fileFailureReason(pdfPath, pdf, false)));
    if (pdf.size() == 0)
        fail(messages::emptyPrintFile(pdfPath));
    if (plan.pages.empty())
        fail(messages::nothingToPrint());
    return plan.toFile() ? toFile(pdf, holds, plan, progress) : toQueue(pdf, holds, plan, progress);
}

} // namespace bingo::preview
