#include "preview/PageView.h"
#include "preview/PreviewWindow.h"
#include "tests/preview/PreviewTestPages.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace bingo::preview {
namespace {

using test::PreviewTestPages;

class PreviewZoomTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = new PreviewWindow(
            std::make_unique<PreviewTestPages>(10),
            {[](const QString&) { ADD_FAILURE() << "an error was shown"; }, [] { return false; }});
        QObject::connect(window, &PreviewWindow::closed, window, &QObject::deleteLater);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        if (window) {
            window->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    PageView& view() { return window->view(); }
    QComboBox& box() {
        auto* found = window->findChild<QComboBox*>(QStringLiteral("zoomBox"));
        EXPECT_NE(found, nullptr);
        return *found;
    }
    QAction& action(const char* name) {
        auto* found = window->findChild<QAction*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }
    /// Where page's top edge is, counted from the top of the viewport.
    int topInView(int page) {
        return view().pageRect(page).top() - view().verticalScrollBar()->value();
    }
    /// Types text into the zoom box over what it shows, as a user would, then Enter.
    void typeIntoBox(const QString& text) {
        box().setFocus();
        ASSERT_TRUE(box().hasFocus());
        box().lineEdit()->selectAll();
        QTest::keyClick(&box(), Qt::Key_Backspace);
        for (const QChar c : text) {
            if (c.unicode() < 0x80)
                QTest::keyClick(&box(), c.toLatin1());
            else
                box().lineEdit()->insert(c); // QTest types Latin-1 only
        }
        QTest::keyClick(&box(), Qt::Key_Return);
    }

    QPointer<PreviewWindow> window;
};

struct KeyCase {
    const char* name;
    double from;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    double zoom;
};

class PreviewZoomKeyTest : public PreviewZoomTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(PreviewZoomKeyTest, StepsLikeTheWheelWithinTheLimits) {
    const KeyCase& c = GetParam();
    view().setZoom(c.from);
    QTest::keyClick(&view(), c.key, c.modifiers);
    EXPECT_NEAR(view().zoom(), c.zoom, 1e-9);
    EXPECT_EQ(view().zoomMode(), PageView::ZoomMode::Fixed);
    EXPECT_EQ(box().currentText(), QStringLiteral("%1 %").arg(qRound(c.zoom * 100)));
    EXPECT_EQ(action("actionZoom100").isChecked(), c.zoom == 1.0);
}

constexpr Qt::KeyboardModifiers Ctrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers CtrlPad = Qt::ControlModifier | Qt::KeypadModifier;

INSTANTIATE_TEST_SUITE_P(
    Keys, PreviewZoomKeyTest,
    ::testing::Values(KeyCase{"CtrlPlus", 1.0, Qt::Key_Plus, Ctrl, 1.2},
                      KeyCase{"CtrlEquals", 1.0, Qt::Key_Equal, Ctrl, 1.2},
                      KeyCase{"CtrlKeypadPlus", 1.0, Qt::Key_Plus, CtrlPad, 1.2},
                      KeyCase{"CtrlMinus", 1.0, Qt::Key_Minus, Ctrl, 1 / 1.2},
                      KeyCase{"CtrlKeypadMinus", 1.0, Qt::Key_Minus, CtrlPad, 1 / 1.2},
                      KeyCase{"CtrlPlusFromTheMinusStep", 1 / 1.2, Qt::Key_Plus, Ctrl, 1.0},
                      KeyCase{"CtrlZero", 2.5, Qt::Key_0, Ctrl, 1.0},
                      KeyCase{"CtrlPlusStopsAtTheTop", 3.9, Qt::Key_Plus, Ctrl, 4.0},
                      KeyCase{"CtrlPlusAtTheTop", 4.0, Qt::Key_Plus, Ctrl, 4.0},
                      KeyCase{"CtrlMinusStopsAtTheBottom", 0.11, Qt::Key_Minus, Ctrl, 0.1},
                      KeyCase{"CtrlMinusAtTheBottom", 0.1, Qt::Key_Minus, Ctrl, 0.1}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return info.param.name; });

TEST_F(PreviewZoomTest, AFitStaysCheckedWhenAskedAgainAndCtrlZeroLeavesIt) {
    for (const char* fit : {"actionZoomWidth", "actionZoomFit"}) {
        action(fit).trigger();
        action(fit).trigger();
        EXPECT_TRUE(action(fit).isChecked()) << fit;
        ASSERT_NE(view().zoom(), 1.0);
        QTest::keyClick(&view(), Qt::Key_0, Qt::ControlModifier);
        EXPECT_EQ(view().zoom(), 1.0) << fit;
        EXPECT_EQ(view().zoomMode(), PageView::ZoomMode::Fixed) << fit;
        EXPECT_TRUE(action("actionZoom100").isChecked()) << fit;
        EXPECT_FALSE(action(fit).isChecked()) << fit;
    }
}

TEST_F(PreviewZoomTest, TheBoxShowsTheZoomHoweverItChanges) {
    EXPECT_EQ(box().currentText(), "100 %");
    const QPointF at(200, 150);
    QWheelEvent in(at, view().viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                   Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view().viewport(), &in);
    EXPECT_EQ(box().currentText(), "120 %");
    QTest::keyClick(&view(), Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(box().currentText(), "144 %");
    action("actionZoomWidth").trigger();
    EXPECT_EQ(box().currentText(), QStringLiteral("%1 %").arg(qRound(view().zoom() * 100)));
    action("actionZoom100").trigger();
    EXPECT_EQ(box().currentText(), "100 %");

    // Text typed but left without Enter is no zoom.
    box().setFocus();
    box().lineEdit()->selectAll();
    QTest::keyClicks(&box(), "333");
    view().setFocus();
    EXPECT_EQ(view().zoom(), 1.0);
    EXPECT_EQ(box().currentText(), "100 %");
}

TEST_F(PreviewZoomTest, TheBoxTakesATypedPercentageOrItsChoices) {
    struct Case {
        QString typed;
        double zoom;
        PageView::ZoomMode mode;
    };
    const Case cases[] = {
        {"150", 1.5, PageView::ZoomMode::Fixed},
        {"75 %", 0.75, PageView::ZoomMode::Fixed},
        {" 250% ", 2.5, PageView::ZoomMode::Fixed},
        {"12", 0.12, PageView::ZoomMode::Fixed}, // not completed to 125 %
        {"87.5", 0.875, PageView::ZoomMode::Fixed},
        {"10", PageView::MinZoom, PageView::ZoomMode::Fixed},
        {"400 %", PageView::MaxZoom, PageView::ZoomMode::Fixed},
        {QStringLiteral("60％"), 0.6, PageView::ZoomMode::Fixed},
        {QStringLiteral("符合頁寬"), 0, PageView::ZoomMode::FitWidth},
        {QStringLiteral("整頁"), 0, PageView::ZoomMode::FitPage},
    };
    for (const Case& c : cases) {
        view().setZoom(1.0);
        typeIntoBox(c.typed);
        const std::string typed = c.typed.toStdString();
        EXPECT_EQ(view().zoomMode(), c.mode) << typed;
        if (c.mode == PageView::ZoomMode::Fixed) {
            EXPECT_NEAR(view().zoom(), c.zoom, 1e-9) << typed;
        }
        EXPECT_EQ(box().currentText(), QStringLiteral("%1 %").arg(qRound(view().zoom() * 100)))
            << typed;
        EXPECT_TRUE(view().hasFocus()) << typed;
    }
}

TEST_F(PreviewZoomTest, TheBoxRefusesOtherTextQuietlyAndTheKeysStillWork) {
    QTest::keyClick(&view(), Qt::Key_Plus, Qt::ControlModifier);
    for (const char* typed :
         {"", "abc", "0", "-50", "5", "401", "1e9", "nan", "inf", "%", "150 %%", "1 50"}) {
        typeIntoBox(QString::fromUtf8(typed));
        const std::string shown = typed;
        EXPECT_NEAR(view().zoom(), 1.2, 1e-9) << shown;
        EXPECT_EQ(box().currentText(), "120 %") << shown;
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << shown;
        EXPECT_TRUE(view().hasFocus()) << shown;
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    EXPECT_EQ(view().currentPage(), 1);
}

TEST_F(PreviewZoomTest, TabFromThePagesReachesThePageBoxThenTheZoomBox) {
    view().setFocus();
    QTest::keyClick(&view(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), window->findChild<QWidget*>(QStringLiteral("pageBox")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), &box());
}

TEST_F(PreviewZoomTest, FittingPutsTheCurrentPagesTopAtTheTopOfTheView) {
    struct Case {
        double from;
        int scrolledInto; // pixels scrolled down into the page before fitting
        const char* fit;
    };
    const Case cases[] = {
        {1.0, 300, "actionZoomWidth"}, {0.25, 0, "actionZoomWidth"}, {3.0, 900, "actionZoomWidth"},
        {1.0, 300, "actionZoomFit"},   {0.25, 0, "actionZoomFit"},
    };
    for (const Case& c : cases) {
        view().setZoom(c.from);
        view().goToPage(4);
        QScrollBar* vertical = view().verticalScrollBar();
        vertical->setValue(vertical->value() + c.scrolledInto);
        ASSERT_EQ(view().currentPage(), 4);

        action(c.fit).trigger();
        EXPECT_EQ(view().currentPage(), 4) << c.fit << " from " << c.from;
        EXPECT_EQ(topInView(4), PageView::Gap) << c.fit << " from " << c.from;
        action("actionZoom100").trigger();
    }
}

TEST_F(PreviewZoomTest, OtherZoomsKeepTheCurrentPageInView) {
    struct Case {
        double from;
        Qt::Key key;
    };
    // Zoomed out this far the middle of the view lies on a later page than the current one.
    const Case cases[] = {{0.1, Qt::Key_0},
                          {0.1, Qt::Key_Plus},
                          {0.25, Qt::Key_0},
                          {1.0, Qt::Key_Minus},
                          {1.0, Qt::Key_Plus}};
    for (const Case& c : cases) {
        view().setZoom(c.from);
        view().goToPage(4);
        QTest::keyClick(&view(), c.key, Qt::ControlModifier);
        const auto [first, last] = view().visiblePages();
        EXPECT_EQ(view().currentPage(), 4) << c.from << " key " << c.key;
        EXPECT_LE(first, 4) << c.from << " key " << c.key;
        EXPECT_GE(last, 4) << c.from << " key " << c.key;
    }
}

TEST_F(PreviewZoomTest, UnmaximisedItTakesThreeQuartersOfTheScreenCentred) {
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    const QRect screen = window->screen()->availableGeometry();
    const QRect normal = window->normalGeometry();
    EXPECT_NEAR(normal.width(), screen.width() * 3 / 4, 2);
    EXPECT_NEAR(normal.height(), screen.height() * 3 / 4, 2);
    EXPECT_NEAR(normal.center().x(), screen.center().x(), 2);
    EXPECT_NEAR(normal.center().y(), screen.center().y(), 2);

    window->showNormal();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->windowState() & Qt::WindowMaximized);
    EXPECT_NEAR(window->width(), screen.width() * 3 / 4, 2);
    EXPECT_NEAR(window->height(), screen.height() * 3 / 4, 2);
}

} // namespace
} // namespace bingo::preview
