#include "preview/PreviewWindow.h"

#include "preview/PageView.h"
#include "preview/PrintController.h"
#include "tests/preview/PreviewTestPages.h"
#include "tests/preview/PreviewTestSupport.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QPrinter>
#include <QProgressDialog>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <gtest/gtest.h>

namespace bingo::preview {
namespace {

using test::PreviewTestPages;

class PreviewWindowTest : public ::testing::Test {
  protected:
    void TearDown() override {
        if (window) {
            window->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    /// Opens the preview on fake pages, as the report does, and waits until it shows them.
    PreviewTestPages& open(std::unique_ptr<PreviewTestPages> made) {
        PreviewTestPages& fake = *made;
        pages = made.get();
        window = new PreviewWindow(std::move(made), context());
        // As the report does: the window's owner deletes it once it has closed.
        QObject::connect(window, &PreviewWindow::closed, window, &QObject::deleteLater);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        settle();
        return fake;
    }
    PreviewTestPages& open(int count) { return open(std::make_unique<PreviewTestPages>(count)); }

    /// Lets the view render what it shows.
    void settle() {
        QCoreApplication::processEvents();
        EXPECT_TRUE(QTest::qWaitFor([this] { return !view().isRenderPending(); }));
    }

    PreviewContext context() {
        return {[this](const QString& message) {
                    errors.push_back(message);
                    shownOverADialog = shownOverADialog || QApplication::activeModalWidget();
                },
                [this] { return printerInstalled; }};
    }

    PageView& view() { return window->view(); }
    QAction& action(const char* name) {
        auto* found = window->findChild<QAction*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }
    QString status(const char* label) {
        return window->findChild<QLabel*>(QLatin1String(label))->text();
    }
    int realPageWidth() { return qRound(210 * view().logicalDpiX() / 25.4); }
    int shownWidth() { return view().viewport()->width() - 2 * PageView::Gap; }
    int shownHeight() { return view().viewport()->height() - 2 * PageView::Gap; }

    QPointer<PreviewWindow> window;
    QPointer<PreviewTestPages> pages;
    std::vector<QString> errors; // what went to the error path
    bool shownOverADialog = false;
    bool printerInstalled = true;
};

TEST_F(PreviewWindowTest, OpensMaximisedAtRealSizeOnTheFirstPage) {
    open(30);
    EXPECT_EQ(window->windowTitle(), "Bingo");
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(view().zoom(), 1.0);
    EXPECT_EQ(view().pageRect(0).width(), realPageWidth());
    EXPECT_EQ(view().currentPage(), 0);
    EXPECT_EQ(view().verticalScrollBar()->value(), 0);
    EXPECT_EQ(status("pageStatus"), "第 1 頁，共 30 頁");
    EXPECT_EQ(status("progressStatus"), "排版完成 100 %");
    EXPECT_TRUE(action("actionZoom100").isChecked());
}

TEST_F(PreviewWindowTest, EveryCommandHasAPictureAndATooltip) {
    open(3);
    for (const char* name :
         {"actionZoomFit", "actionZoom100", "actionZoomWidth", "actionFirstPage",
          "actionPreviousPage", "actionNextPage", "actionLastPage", "actionPrinterSetup",
          "actionPrint", "actionSave", "actionLoad", "actionClose"}) {
        EXPECT_FALSE(action(name).icon().isNull()) << name;
        EXPECT_FALSE(action(name).toolTip().isEmpty()) << name;
    }
    EXPECT_EQ(action("actionPreviousPage").toolTip(), "上一頁 (PgUp)");
}

TEST_F(PreviewWindowTest, KeysMoveThroughThePages) {
    open(30);
    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int page;
    };
    const Step steps[] = {
        {Qt::Key_PageDown, Qt::NoModifier, 1},  {Qt::Key_PageDown, Qt::NoModifier, 2},
        {Qt::Key_PageUp, Qt::NoModifier, 1},    {Qt::Key_End, Qt::NoModifier, 29},
        {Qt::Key_PageDown, Qt::NoModifier, 29}, {Qt::Key_Home, Qt::NoModifier, 0},
        {Qt::Key_PageUp, Qt::NoModifier, 0},    {Qt::Key_End, Qt::ControlModifier, 29},
        {Qt::Key_Home, Qt::ControlModifier, 0}, {Qt::Key_PageDown, Qt::ControlModifier, 29},
        {Qt::Key_PageUp, Qt::NoModifier, 28},   {Qt::Key_PageUp, Qt::ControlModifier, 0},
    };
    for (const Step& step : steps) {
        QTest::keyClick(&view(), step.key, step.modifiers);
        const QString key = QKeySequence(step.key | step.modifiers).toString();
        EXPECT_EQ(view().currentPage(), step.page) << key.toStdString();
        const auto [first, last] = view().visiblePages();
        EXPECT_LE(first, step.page) << key.toStdString();
        EXPECT_GE(last, step.page) << key.toStdString();
        EXPECT_EQ(status("pageStatus"), QStringLiteral("第 %1 頁，共 30 頁").arg(step.page + 1));
    }
}

TEST_F(PreviewWindowTest, ScrollingMakesThePageInTheMiddleCurrent) {
    open(30);
    QWheelEvent down(QPointF(100, 100), view().viewport()->mapToGlobal(QPointF(100, 100)), QPoint(),
                     QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    while (view().currentPage() < 3)
        QApplication::sendEvent(view().viewport(), &down);
    EXPECT_EQ(view().zoom(), 1.0);
    const int middle = view().verticalScrollBar()->value() + view().viewport()->height() / 2;
    EXPECT_LE(view().pageRect(3).top(), middle + PageView::Gap);
    EXPECT_GE(view().pageRect(3).bottom(), middle);
    EXPECT_EQ(status("pageStatus"), "第 4 頁，共 30 頁");
}

TEST_F(PreviewWindowTest, PageBoxJumpsToTheTypedPage) {
    open(30);
    auto* box = window->findChild<QSpinBox*>("pageBox");
    ASSERT_NE(box, nullptr);
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, "17");
    EXPECT_EQ(view().currentPage(), 0) << "jumps on Enter, not on every digit";
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(view().currentPage(), 16);
    EXPECT_EQ(view().visiblePages().first, 16);
    QTest::keyClick(&view(), Qt::Key_PageDown);
    EXPECT_EQ(box->value(), 18);
}

TEST_F(PreviewWindowTest, ZoomCommandsScaleThePages) {
    open(30);
    const QRect real = view().pageRect(0);

    action("actionZoomWidth").trigger();
    EXPECT_EQ(view().zoomMode(), PageView::ZoomMode::FitWidth);
    EXPECT_NEAR(view().pageRect(0).width(), shownWidth(), 1);
    EXPECT_EQ(view().horizontalScrollBar()->maximum(), 0);

    action("actionZoomFit").trigger();
    EXPECT_EQ(view().zoomMode(), PageView::ZoomMode::FitPage);
    const QRect fit = view().pageRect(0);
    EXPECT_LE(fit.width(), shownWidth());
    EXPECT_LE(fit.height(), shownHeight());
    EXPECT_TRUE(std::abs(fit.width() - shownWidth()) <= 1 ||
                std::abs(fit.height() - shownHeight()) <= 1);
    EXPECT_NEAR(double(fit.height()) / fit.width(), 297.0 / 210.0, 0.01);

    action("actionZoom100").trigger();
    EXPECT_EQ(view().zoom(), 1.0);
    EXPECT_EQ(view().pageRect(0).size(), real.size());
    EXPECT_EQ(view().zoomMode(), PageView::ZoomMode::Fixed);
}

TEST_F(PreviewWindowTest, FitToPageShowsTheCurrentPageWholeAndFollowsResizing) {
    open(30);
    QTest::keyClick(&view(), Qt::Key_PageDown);
    QTest::keyClick(&view(), Qt::Key_PageDown);
    action("actionZoomFit").trigger();
    EXPECT_EQ(view().currentPage(), 2);
    const QRect shown = view().viewport()->rect().translated(view().horizontalScrollBar()->value(),
                                                             view().verticalScrollBar()->value());
    EXPECT_TRUE(shown.contains(view().pageRect(2)));

    window->setWindowState(Qt::WindowNoState);
    window->resize(500, 900);
    QCoreApplication::processEvents();
    EXPECT_LE(view().pageRect(2).width(), shownWidth());
    EXPECT_LE(view().pageRect(2).height(), shownHeight());
    EXPECT_EQ(view().zoomMode(), PageView::ZoomMode::FitPage);
}

TEST_F(PreviewWindowTest, CtrlWheelZoomsAndKeepsThePointUnderTheMouse) {
    open(30);
    const QPointF at(200, 150);
    // Where the mouse is, as a fraction of the first page's width and height.
    const auto underMouse = [&] {
        const QRect page = view().pageRect(0);
        const QPointF content = at + QPointF(view().horizontalScrollBar()->value(),
                                             view().verticalScrollBar()->value());
        return QPointF((content.x() - page.x()) / page.width(),
                       (content.y() - page.y()) / page.height());
    };
    const QPointF before = underMouse();
    QWheelEvent in(at, view().viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                   Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view().viewport(), &in);
    EXPECT_NEAR(view().zoom(), 1.2, 1e-9);
    EXPECT_FALSE(action("actionZoom100").isChecked());
    EXPECT_EQ(status("zoomStatus"), "縮放 120 %");
    const QPointF after = underMouse();
    EXPECT_NEAR(after.x(), before.x(), 0.005);
    EXPECT_NEAR(after.y(), before.y(), 0.005);
}

TEST_F(PreviewWindowTest, PrintAndPrinterSetUpWaitForTheWholeLayout) {
    PreviewTestPages& fake = open(std::make_unique<PreviewTestPages>(12, 5));
    const auto enabled = [this] {
        return std::pair(action("actionPrint").isEnabled(),
                         action("actionPrinterSetup").isEnabled());
    };
    EXPECT_EQ(enabled(), std::pair(false, false));
    EXPECT_EQ(status("pageStatus"), "第 0 頁，共 0 頁");
    fake.step();
    EXPECT_EQ(enabled(), std::pair(false, false));
    EXPECT_EQ(status("pageStatus"), "第 1 頁，共 5 頁");
    EXPECT_EQ(status("progressStatus"), "排版中 41 %");
    QTest::keyClick(&view(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(fake.printCalls, 0);
    fake.step();
    fake.step();
    EXPECT_EQ(enabled(), std::pair(true, true));
    EXPECT_EQ(status("pageStatus"), "第 1 頁，共 12 頁");
    EXPECT_EQ(status("progressStatus"), "排版完成 100 %");
}

TEST_F(PreviewWindowTest, WithoutAPrinterPrintSaysSoAndDoesNothing) {
    printerInstalled = false;
    PreviewTestPages& fake = open(4);
    QTest::keyClick(&view(), Qt::Key_PageDown);
    QTest::keyClick(&view(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(fake.printCalls, 0);
    EXPECT_EQ(window->statusBar()->currentMessage(), "沒有安裝印表機，無法列印。");
    EXPECT_EQ(&window->pages(), &fake);
    EXPECT_EQ(view().currentPage(), 1);
    EXPECT_TRUE(errors.empty());
}

TEST_F(PreviewWindowTest, NineThousandPagesRenderOnlyThePagesInView) {
    PreviewTestPages& fake = open(9999);
    const auto [first, last] = view().visiblePages();
    EXPECT_EQ(first, 0);
    EXPECT_EQ(fake.renderCalls, last - first + 1);
    EXPECT_LE(fake.renderCalls, 2);

    QTest::keyClick(&view(), Qt::Key_End);
    settle();
    EXPECT_EQ(view().currentPage(), 9998);
    EXPECT_TRUE(fake.rendered.count(9998));
    EXPECT_LE(fake.renderCalls, 4);

    action("actionZoomFit").trigger();
    settle();
    QTest::keyClick(&view(), Qt::Key_Home);
    settle();
    EXPECT_LE(fake.renderCalls, 10);
    EXPECT_EQ(view().currentPage(), 0);
}

TEST_F(PreviewWindowTest, PagingThroughManyPagesKeepsTheCacheWithinItsBound) {
    PreviewTestPages& fake = open(100);
    const qint64 limit = view().cache().limitBytes();
    for (int step = 0; step < 40; ++step) {
        QTest::keyClick(&view(), Qt::Key_PageDown);
        settle();
        ASSERT_LE(view().cache().bytes(), limit) << "after page " << step + 2;
    }
    EXPECT_GE(fake.renderCalls, 40);
    EXPECT_LT(view().cache().size(), 40);
    // Going back a page finds it still kept, and renders nothing.
    const int before = fake.renderCalls;
    QTest::keyClick(&view(), Qt::Key_PageUp);
    settle();
    EXPECT_EQ(fake.renderCalls, before);
}

TEST_F(PreviewWindowTest, PagesAppearAsTheLayoutMakesThem) {
    PreviewTestPages& fake = open(std::make_unique<PreviewTestPages>(40, 3));
    fake.startLayout();
    ASSERT_TRUE(QTest::qWaitFor([&] { return fake.isComplete(); }));
    settle();
    EXPECT_EQ(view().pageCount(), 40);
    EXPECT_EQ(view().currentPage(), 0);
    EXPECT_EQ(status("pageStatus"), "第 1 頁，共 40 頁");
    EXPECT_LE(fake.rendered.size(), 2u);
}

TEST_F(PreviewWindowTest, ClosingDuringTheLayoutDestroysTheLayout) {
    PreviewTestPages& fake = open(std::make_unique<PreviewTestPages>(5000, 2));
    QSignalSpy closed(window.data(), &PreviewWindow::closed);
    fake.startLayout();
    ASSERT_TRUE(QTest::qWaitFor([&] { return fake.pageCount() >= 10; }));
    ASSERT_FALSE(fake.isComplete());
    QTest::keyClick(&view(), Qt::Key_Escape);
    EXPECT_EQ(closed.count(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_TRUE(pages.isNull());
}

class PreviewWindowFileTest : public PreviewWindowTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        pdf = dir.filePath("saved.pdf");
        test::writeTestPdf(
            pdf, {QPageSize(QPageSize::A4), QPageSize(QPageSize::A5), QPageSize(QPageSize::A4)});
    }
    QTemporaryDir dir;
    QString pdf;
};

TEST_F(PreviewWindowFileTest, LoadingAPdfReplacesThePages) {
    open(30);
    QSignalSpy replaced(window.data(), &PreviewWindow::pagesReplaced);
    QTest::keyClick(&view(), Qt::Key_End);
    window->loadFrom(pdf);
    EXPECT_EQ(replaced.count(), 1);
    EXPECT_EQ(window->pages().pageCount(), 3);
    EXPECT_EQ(view().pageCount(), 3);
    EXPECT_EQ(view().currentPage(), 0);
    EXPECT_EQ(status("pageStatus"), "第 1 頁，共 3 頁");
    EXPECT_TRUE(action("actionPrint").isEnabled());
    // The A5 page is shown smaller, centred like the others.
    EXPECT_LT(view().pageRect(1).width(), view().pageRect(0).width());
    EXPECT_NEAR(view().pageRect(1).center().x(), view().pageRect(0).center().x(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(pages.isNull()) << "the pages before are gone";
    QTest::keyClick(&view(), Qt::Key_PageDown);
    EXPECT_EQ(view().currentPage(), 1);
}

TEST_F(PreviewWindowFileTest, ALoadedPdfIsSavedBackUnchanged) {
    open(2);
    window->loadFrom(pdf);
    const QString copy = dir.filePath("copy.pdf");
    window->saveTo(copy);
    EXPECT_EQ(test::readAll(copy), test::readAll(pdf));
}

TEST_F(PreviewWindowFileTest, AFileThatIsNoPdfLeavesThePreviewAsItWas) {
    PreviewTestPages& fake = open(30);
    QTest::keyClick(&view(), Qt::Key_PageDown);
    const QString text = dir.filePath("notes.pdf");
    test::writeAll(text, "just some notes\n");
    try {
        window->loadFrom(text);
        FAIL() << "loaded a text file";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()),
                  QStringLiteral("無法載入「%1」：這不是 PDF 檔案，或檔案已損毀。")
                      .arg(QDir::toNativeSeparators(text)));
    }
    EXPECT_EQ(&window->pages(), &fake);
    EXPECT_EQ(view().pageCount(), 30);
    EXPECT_EQ(view().currentPage(), 1);
}

TEST_F(PreviewWindowFileTest, TheFileCommandsShowWhyTheyFailed) {
    PreviewTestPages& fake = open(30);
    const QString text = dir.filePath("notes.txt");
    test::writeAll(text, "just some notes\n");
    struct Case {
        Qt::Key key;
        QFileDialog::AcceptMode mode;
        QString path;
        QString reason;
    };
    const Case cases[] = {
        {Qt::Key_O, QFileDialog::AcceptOpen, text, "不是 PDF 檔案"},
        {Qt::Key_S, QFileDialog::AcceptSave, dir.filePath("missing/Bingo.pdf"), "無法儲存"},
    };
    for (const Case& c : cases) {
        window->setFileChooser([&](QFileDialog::AcceptMode mode, const QString& name) {
            EXPECT_EQ(mode, c.mode);
            EXPECT_EQ(name, mode == QFileDialog::AcceptSave ? "Bingo.pdf" : "");
            return c.path;
        });
        errors.clear();
        QTest::keyClick(&view(), c.key, Qt::ControlModifier);
        ASSERT_EQ(errors.size(), 1u) << "one failure shown once";
        const QString shown = errors.front();
        EXPECT_TRUE(shown.contains(QDir::toNativeSeparators(c.path))) << shown.toStdString();
        EXPECT_TRUE(shown.contains(c.reason)) << shown.toStdString();
        EXPECT_EQ(&window->pages(), &fake);
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("missing")));
}

TEST_F(PreviewWindowFileTest, TheLoadCommandShowsTheChosenPdf) {
    open(30);
    window->setFileChooser([&](QFileDialog::AcceptMode, const QString&) { return pdf; });
    QTest::keyClick(&view(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(view().pageCount(), 3);
    EXPECT_EQ(window->statusBar()->currentMessage(), "已載入「saved.pdf」。");
    // The pages are a file's now, not the job's, and the window says so for as long as it shows
    // them.
    EXPECT_EQ(window->windowTitle(), "Bingo — saved.pdf");
    EXPECT_EQ(status("progressStatus"), "顯示檔案「saved.pdf」");
    window->loadFrom(pdf);
    EXPECT_EQ(window->windowTitle(), "Bingo — saved.pdf") << "a second file does not stack names";
}

TEST_F(PreviewWindowFileTest, ASaveThatFailsLeavesNoFile) {
    open(2);
    window->loadFrom(pdf);
    const QString blocker = dir.filePath("blocker");
    test::writeAll(blocker, "a file where a directory should be");
    for (const QString& target : {dir.filePath("missing/out.pdf"), QString(blocker + "/out.pdf")}) {
        EXPECT_THROW(window->saveTo(target), std::runtime_error) << target.toStdString();
        EXPECT_FALSE(QFileInfo::exists(target));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot),
              QStringList({"blocker", "saved.pdf"}));
}

// Printing from the preview, through its print controller, onto a PDF file.
class PreviewPrintTest : public PreviewWindowTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("printed.pdf"));
    }
    PrintController::Outcome print(PreviewTestPages& fake) {
        return window->printController().print(fake, printer, "Bingo");
    }

    QTemporaryDir dir;
    QPrinter printer;
};

TEST_F(PreviewPrintTest, APrintThatFailsPartWayIsReportedOnceAndTheViewRendersAgain) {
    PreviewTestPages& fake = open(6);
    fake.failPrintAt = 3;
    bool pausedWhilePrinting = false;
    fake.whilePrinting = [&](int page) {
        if (page != 1)
            return;
        // The operator pages on while printing: the view renders nothing meanwhile.
        const int renders = fake.renderCalls;
        view().goToPage(4);
        QCoreApplication::processEvents();
        pausedWhilePrinting = fake.renderCalls == renders;
    };
    EXPECT_EQ(print(fake), PrintController::Outcome::Failed);
    EXPECT_EQ(fake.printedPages, 3);
    EXPECT_TRUE(pausedWhilePrinting);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors.front(), "the printer ran out of paper");
    EXPECT_FALSE(shownOverADialog) << "the progress window is gone before the error shows";
    EXPECT_FALSE(window->printController().isPrinting());
    settle();
    EXPECT_TRUE(fake.rendered.count(4)) << "rendering resumes after the print";
}

TEST_F(PreviewPrintTest, ACancelledPrintStopsAtThePageAndShowsNoError) {
    PreviewTestPages& fake = open(6);
    fake.whilePrinting = [](int page) {
        if (page == 1)
            if (auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget()))
                progress->cancel();
    };
    EXPECT_EQ(print(fake), PrintController::Outcome::Cancelled);
    EXPECT_EQ(fake.printedPages, 2);
    EXPECT_TRUE(errors.empty());
}

TEST_F(PreviewPrintTest, ClosingDuringAPrintStopsItAndClosesAfterwards) {
    PreviewTestPages& fake = open(6);
    QSignalSpy closed(window.data(), &PreviewWindow::closed);
    bool stillOpen = false;
    bool refusedSecondPrint = false;
    fake.whilePrinting = [&](int page) {
        if (page != 1)
            return;
        window->close();
        stillOpen = window->isVisible();
        refusedSecondPrint = print(fake) == PrintController::Outcome::Refused;
    };
    EXPECT_EQ(print(fake), PrintController::Outcome::Cancelled);
    EXPECT_TRUE(stillOpen) << "a close during the print waits for it";
    EXPECT_TRUE(refusedSecondPrint);
    EXPECT_EQ(fake.printCalls, 1);
    EXPECT_EQ(fake.printedPages, 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return closed.count() == 1; }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_TRUE(errors.empty());
}

TEST_F(PreviewWindowTest, AFailedLayoutSaysWhyKeepsItsPagesAndRefusesToPrint) {
    PreviewTestPages& fake = open(std::make_unique<PreviewTestPages>(40, 3));
    fake.startLayout();
    ASSERT_TRUE(QTest::qWaitFor([&] { return fake.pageCount() >= 6; }));
    fake.failLayout("第 20 筆資料無法列印：「x」不是有效的整數");
    EXPECT_EQ(status("progressStatus"), "排版失敗：第 20 筆資料無法列印：「x」不是有效的整數");
    ASSERT_EQ(errors.size(), 1u) << "the failure is shown once";
    EXPECT_FALSE(action("actionPrint").isEnabled());
    const int pagesLaidOut = fake.pageCount();
    action("actionPrint").setEnabled(true); // as a stale shortcut could
    action("actionPrint").trigger();
    EXPECT_EQ(fake.printCalls, 0);
    EXPECT_EQ(window->statusBar()->currentMessage(),
              QString("排版沒有完成，無法列印；已排好的 %1 頁仍可儲存。").arg(pagesLaidOut));
    EXPECT_EQ(errors.size(), 1u);
}

} // namespace
} // namespace bingo::preview
