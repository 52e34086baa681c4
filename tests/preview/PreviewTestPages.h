#pragma once

#include "preview/PageSource.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <optional>
#include <set>
#include <stdexcept>

namespace bingo::preview::test {

/// N numbered A4 pages, all at once or a few per timer tick as a layout would make them;
/// counts what the preview asks of it.
class PreviewTestPages : public PageSource {
  public:
    /// With perTick 0 every page exists at once; otherwise startLayout() makes them.
    explicit PreviewTestPages(int total, int perTick = 0)
        : total_(total), perTick_(perTick), made_(perTick == 0 ? total : 0) {
        connect(&layoutTimer_, &QTimer::timeout, this, &PreviewTestPages::step);
    }

    void startLayout() { layoutTimer_.start(0); }
    /// Makes the next perTick pages now, as one tick of the layout would.
    void step() {
        made_ = std::min(total_, made_ + perTick_);
        Q_EMIT pagesChanged();
        if (made_ == total_) {
            layoutTimer_.stop();
            Q_EMIT completed();
        }
    }

    [[nodiscard]] int pageCount() const override { return made_; }
    [[nodiscard]] QSizeF pageSizeMm(int) const override { return {210, 297}; }
    [[nodiscard]] QImage renderPage(int page, QSize pixelSize) const override {
        ++renderCalls;
        rendered.insert(page);
        QImage image(pixelSize, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QFont font;
        font.setPixelSize(std::max(8, pixelSize.height() / 8));
        painter.setFont(font);
        painter.drawRect(image.rect().adjusted(pixelSize.width() / 10, pixelSize.height() / 14,
                                               -pixelSize.width() / 10, -pixelSize.height() / 14));
        painter.drawText(image.rect(), Qt::AlignCenter, QString::number(page + 1));
        return image;
    }
    /// Stops the layout where it is, as a record that cannot be printed would.
    void failLayout(const QString& message) {
        layoutTimer_.stop();
        failure_ = message;
        Q_EMIT pagesChanged();
        Q_EMIT failed(message);
    }
    [[nodiscard]] QString failure() const override { return failure_; }

    [[nodiscard]] bool isComplete() const override { return failure_.isEmpty() && made_ == total_; }
    [[nodiscard]] int progressPercent() const override {
        return total_ == 0 ? 100 : made_ * 100 / total_;
    }
    void savePdf(const QString& path) const override {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            throw std::runtime_error("cannot write the test pages");
        file.write("%PDF-test pages\n");
    }
    std::optional<PdfPages> writePrintPdf(const PrintPlan& plan, const QString& path,
                                          const PrintProgress& progress) override {
        ++printCalls;
        printedDocName = plan.jobName;
        QPdfWriter writer(path);
        QPainter painter(&writer);
        const std::vector<int> pages = plan.pagesToDraw();
        const int total = static_cast<int>(pages.size());
        for (int done = 0; done < total; ++done) {
            if (done == failPrintAt)
                throw std::runtime_error("the printer ran out of paper");
            if (done > 0)
                writer.newPage();
            painter.drawText(100, 100, QString::number(pages[static_cast<std::size_t>(done)] + 1));
            ++printedPages;
            if (whilePrinting)
                whilePrinting(done);
            if (progress && !progress(done + 1, total))
                return std::nullopt;
        }
        return PdfPages::Planned;
    }

    mutable int renderCalls = 0;
    mutable std::set<int> rendered;
    int printCalls = 0;
    int printedPages = 0;
    QString printedDocName;
    /// The page (from 0) at which print() throws; -1 for none.
    int failPrintAt = -1;
    /// Runs after each page printed, before the progress is told (what the operator does then).
    std::function<void(int page)> whilePrinting;

  private:
    int total_;
    int perTick_;
    int made_;
    QString failure_;
    QTimer layoutTimer_;
};

} // namespace bingo::preview::test
