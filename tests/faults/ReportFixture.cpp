#include "ReportFixture.h"

#include "JobFixture.h"
#include "preview/PrintPlan.h"
#include "preview/PrintSubmission.h"
#include "report/ReportOutput.h"

#include <QPageRanges>
#include <QPrinter>

namespace bingo::faults {

ReportFixture::ReportFixture() : dir_(scratchDirOfThisTest("bingo-report-faults-")) {
    table_.setDirectory(dir_);
    qr1_ = std::make_unique<report::Tqr1>(
        table_, report::ReportContext{[] { return QDateTime(QDate(2026, 12, 11), QTime(9, 30)); },
                                      QLocale(QLocale::Chinese, QLocale::Taiwan),
                                      {}});
}

ReportFixture::~ReportFixture() {
    pages_.reset();
    qr1_.reset();
    table_.close();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

void ReportFixture::writeJob(int sheets) {
    table_.prepare();
    store::CardTable::Batch batch(table_);
    for (int serial = 1; serial <= 6 * sheets; ++serial) {
        cards::Card card;
        card.serial = serial;
        for (int k = 0; k < 25; ++k)
            card.numbers[static_cast<std::size_t>(k)] = (serial + 7 * (k + 1)) % 99 + 1;
        table_.store(card);
    }
    batch.commit();
    table_.close();
}

void ReportFixture::edit(const std::string& sql) {
    pages_.reset();
    table_.close();
    store::detail::Database db(table_.filePath(), SQLITE_OPEN_READWRITE, "");
    db.exec(sql);
}

long long ReportFixture::records() {
    store::detail::Database db(table_.filePath(), SQLITE_OPEN_READONLY, "");
    if (!db.prepare("SELECT 1 FROM sqlite_master WHERE name = 'tmpBingo'").step())
        return 0;
    store::detail::Statement stmt = db.prepare("SELECT count(*) FROM tmpBingo");
    return stmt.step() ? std::stoll(std::string(stmt.columnText(0))) : -1;
}

Outcome ReportFixture::layOut() {
    pages_.reset();
    try {
        table_.open();
        pages_ = qr1_->createPages();
        pages_->layOutAll();
        return {std::nullopt, pages_->pageCount()};
    } catch (const std::exception& error) {
        return {error.what(), 0};
    }
}

Outcome ReportFixture::printToPdf(int first, int last) {
    const std::filesystem::path file = dir_ / "printed.pdf";
    std::filesystem::remove(file);
    try {
        if (!pages_) {
            table_.open();
            pages_ = qr1_->createPages();
        }
        QPrinter printer(QPrinter::ScreenResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(file.string()));
        if (first > 0) {
            QPageRanges ranges;
            ranges.addRange(first, last);
            printer.setPrintRange(QPrinter::PageRange);
            printer.setPageRanges(ranges);
        }
        const preview::PrintPlan plan = preview::planPrint(printer, pages_->pageCount());
        const QString drawn = QString::fromStdString((dir_ / "drawn.pdf").string());
        if (const auto holds = report::ReportOutput(*pages_).writePrintPdf(plan, drawn, {}))
            preview::submitPdf(drawn, *holds, plan);
    } catch (const std::exception& error) {
        return {error.what(), 0};
    }
    QPdfDocument pdf;
    if (pdf.load(QString::fromStdString(file.string())) != QPdfDocument::Error::None)
        return {"the printed PDF cannot be read back", 0};
    return {std::nullopt, pdf.pageCount()};
}

} // namespace bingo::faults
