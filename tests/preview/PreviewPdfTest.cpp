#include "preview/PdfPageSource.h"
#include "tests/preview/PreviewTestSupport.h"

#include <QDir>
#include <QPdfDocument>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// Qt PDF 6.4 leaks about a kilobyte inside pdfium for each damaged file it refuses, which the
// refusal cases here do on purpose; the leak checker of sanitizer builds is told to let it be.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
    return "leak:QPdfDocumentPrivate::initiateAsyncLoadWithTotalSizeKnown\n";
}

namespace bingo::preview {
namespace {

class PreviewPdfTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        pdf = dir.filePath("pages.pdf");
        test::writeTestPdf(
            pdf, {QPageSize(QPageSize::A4), QPageSize(QPageSize::A5), QPageSize(QPageSize::A4)});
    }

    static int darkPixels(const QImage& image) {
        int dark = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                dark += qGray(image.pixel(x, y)) < 128;
        }
        return dark;
    }

    QTemporaryDir dir;
    QString pdf;
};

TEST_F(PreviewPdfTest, ShowsThePagesOfTheFileAtTheirSize) {
    const PdfPageSource pages(pdf);
    EXPECT_EQ(pages.pageCount(), 3);
    EXPECT_TRUE(pages.isComplete());
    EXPECT_EQ(pages.progressPercent(), 100);
    EXPECT_EQ(pages.fileName(), pdf);
    const QSizeF sizes[] = {{210, 297}, {148, 210}, {210, 297}};
    for (int page = 0; page < 3; ++page) {
        EXPECT_NEAR(pages.pageSizeMm(page).width(), sizes[page].width(), 0.5) << page;
        EXPECT_NEAR(pages.pageSizeMm(page).height(), sizes[page].height(), 0.5) << page;
    }
}

TEST_F(PreviewPdfTest, RendersAPageOnWhitePaper) {
    const PdfPageSource pages(pdf);
    const QImage image = pages.renderPage(0, QSize(210, 297));
    ASSERT_EQ(image.size(), QSize(210, 297));
    EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(105, 20), QColor(Qt::white));
    // The frame and the large "1".
    EXPECT_GT(darkPixels(image), 500);
    EXPECT_TRUE(pages.renderPage(3, QSize(210, 297)).isNull());
}

TEST_F(PreviewPdfTest, FilesThatAreNoPdfAreRefusedWithTheReason) {
    const QByteArray whole = test::readAll(pdf);
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"text.pdf", "just some notes\n", "這不是 PDF 檔案，或檔案已損毀"},
        {"empty.pdf", "", "這不是 PDF 檔案，或檔案已損毀"},
        {"header.pdf", "%PDF-1.7\nnothing after the header\n%%EOF\n",
         "這不是 PDF 檔案，或檔案已損毀"},
        {"truncated.pdf", whole.left(whole.size() / 3), "這不是 PDF 檔案，或檔案已損毀"},
    };
    for (const Case& c : cases) {
        const QString path = dir.filePath(c.name);
        test::writeAll(path, c.bytes);
        try {
            const PdfPageSource pages(path);
            ADD_FAILURE() << c.name << " loaded with " << pages.pageCount() << " pages";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(QString::fromUtf8(error.what()),
                      QStringLiteral("無法載入「%1」：%2。")
                          .arg(QDir::toNativeSeparators(path), QString::fromUtf8(c.reason)))
                << c.name;
        }
    }
}

TEST_F(PreviewPdfTest, FilesThatCannotBeReadAreRefusedWithTheReason) {
    const std::pair<QString, QString> cases[] = {
        {dir.filePath("missing.pdf"), QStringLiteral("找不到檔案")},
        {dir.path(), QStringLiteral("這是資料夾，不是檔案")},
        {dir.filePath("no such folder/a.pdf"),
         QStringLiteral("資料夾「%1」不存在")
             .arg(QDir::toNativeSeparators(dir.filePath("no such folder")))},
    };
    for (const auto& [path, reason] : cases) {
        try {
            const PdfPageSource pages(path);
            ADD_FAILURE() << path.toStdString() << " loaded";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(
                QString::fromUtf8(error.what()),
                QStringLiteral("無法載入「%1」：%2。").arg(QDir::toNativeSeparators(path), reason));
        }
    }
}

TEST_F(PreviewPdfTest, SavesTheBytesItLoadedAndNothingWhenItCannot) {
    const QByteArray original = test::readAll(pdf);
    const PdfPageSource pages(pdf);
    const QString copy = dir.filePath("copy.pdf");
    pages.savePdf(copy);
    EXPECT_EQ(test::readAll(copy), original);
    // Saving over the file it came from keeps it whole too.
    pages.savePdf(pdf);
    EXPECT_EQ(test::readAll(pdf), original);

    const QString nowhere = dir.filePath("missing/out.pdf");
    try {
        pages.savePdf(nowhere);
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()),
                  QStringLiteral("無法儲存「%1」：資料夾「%2」不存在。")
                      .arg(QDir::toNativeSeparators(nowhere),
                           QDir::toNativeSeparators(dir.filePath("missing"))));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList({"copy.pdf", "pages.pdf"}));
}

TEST_F(PreviewPdfTest, PrintsAsTheDocumentItIsWhateverBecameOfTheFile) {
    PdfPageSource pages(pdf);
    const QByteArray loaded = test::readAll(pdf);
    test::writeAll(pdf, "overwritten since it was loaded");
    PrintPlan plan;
    plan.pageCount = pages.pageCount();
    plan.pages = {1, 2};
    const QString spool = dir.filePath("spool.pdf");
    EXPECT_EQ(pages.writePrintPdf(plan, spool, {}), PdfPages::Document);
    EXPECT_EQ(test::readAll(spool), loaded) << "the queue picks the pages out of the file";
    EXPECT_EQ(pages.writePrintPdf(plan, spool, [](int, int) { return false; }), std::nullopt);
}

} // namespace
} // namespace bingo::preview
