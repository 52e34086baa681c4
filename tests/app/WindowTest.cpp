#include "AppTestSupport.h"
#include "app/BitButton.h"
#include "app/Session.h"
#include "app/SpinEdit.h"
#include "app/TfmBingo.h"
#include "preview/PreviewWindow.h"
#include "report/rpBingo.h"
#include "store/ScratchDirectory.h"
#include "support/WindowComponents.h"

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace bingo::app::test {
namespace {

/// The main window on a fresh "TEMP" directory (or on `temp` below it), shown and active.
class WindowFixture : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(scratch_.isValid()); }

    void open(const QString& temp = {}) {
        tempDir_ = temp.isEmpty() ? scratch_.path() : scratch_.path() + u'/' + temp;
        env_ = std::make_unique<ScopedEnv>("TEMP", QFile::encodeName(tempDir_));
        session_ =
            std::make_unique<Session>(store::scratchDirectory(), &cards::RandomSource::fromClock);
        window_ = std::make_unique<TfmBingo>(
            *session_, [](const QString& message) { application().reportError(message); });
        window_->show();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }

    /// Types into a field as the operator would: focus it, select all, type.
    void typeInto(SpinEdit* field, const char* text) {
        field->setFocus(Qt::TabFocusReason);
        field->selectAll();
        QTest::keyClicks(field, QString::fromUtf8(text));
    }

    /// Every record of the card table, read through a connection of its own.
    [[nodiscard]] std::vector<std::vector<int>> records() const {
        store::CardTable table("check");
        table.setDirectory(QFile::encodeName(tempDir_).toStdString());
        table.setTableName("tmpBingo");
        table.open();
        std::vector<std::vector<int>> result;
        store::CardTable::Cursor cursor = table.read();
        while (cursor.next()) {
            std::vector<int> record;
            for (int i = 0; i < store::FieldCount; ++i)
                record.push_back(std::stoi(cursor.field(i)));
            result.push_back(std::move(record));
        }
        return result;
    }

    /// Checks a job's table: 6 x sheets cards, serials 1 upwards, 25 distinct numbers in 1..range.
    void expectJob(int sheets, int range) const {
        const auto cards = records();
        ASSERT_EQ(cards.size(), static_cast<std::size_t>(6 * sheets));
        for (std::size_t i = 0; i < cards.size(); ++i) {
            EXPECT_EQ(cards[i][0], static_cast<int>(i) + 1);
            std::vector<int> numbers(cards[i].begin() + 1, cards[i].end());
            std::sort(numbers.begin(), numbers.end());
            EXPECT_TRUE(std::adjacent_find(numbers.begin(), numbers.end()) == numbers.end())
                << "card " << i + 1;
            EXPECT_GE(numbers.front(), 1);
            EXPECT_LE(numbers.back(), range);
        }
    }

    /// The window's components, by their names.
    [[nodiscard]] bingo::test::WindowComponents ui() const {
        return bingo::test::WindowComponents(*window_);
    }
    /// A report context that reads nothing of the machine but the clock.
    [[nodiscard]] static report::ReportContext reportContext() {
        return {[] { return QDateTime::currentDateTime(); },
                QLocale::c(),
                {[](const QString& message) { application().reportError(message); },
                 [] { return false; }}};
    }

    QTemporaryDir scratch_;
    QString tempDir_;
    std::unique_ptr<ScopedEnv> env_;
    std::unique_ptr<Session> session_;
    std::unique_ptr<TfmBingo> window_;
};

// ---- the form ----

struct Placement {
    const char* name;
    int x, y, width, height; // -1: sized by its text or its font
};

TEST_F(WindowFixture, ComponentsSitWhereTheFormPutsThem) {
    open();
    const std::vector<Placement> placements = {
        {"pb1", 40, 9, 341, 17},       {"Label1", 40, 38, -1, -1},   {"se1", 128, 32, 65, -1},
        {"Label2", 40, 78, -1, -1},    {"se2", 128, 72, 65, -1},     {"Label3", 192, 78, -1, -1},
        {"lbPaper", 128, 110, -1, -1}, {"BitBtn1", 288, 32, 93, 29}, {"btnPrint", 288, 72, 93, 29},
    };
    for (const Placement& p : placements) {
        const auto* widget = window_->findChild<QWidget*>(p.name);
        ASSERT_NE(widget, nullptr) << p.name;
        EXPECT_EQ(widget->pos(), QPoint(p.x, p.y)) << p.name;
        if (p.width >= 0) {
            EXPECT_EQ(widget->width(), p.width) << p.name;
        }
        if (p.height >= 0) {
            EXPECT_EQ(widget->height(), p.height) << p.name;
        }
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            EXPECT_EQ(label->size(), label->sizeHint()) << p.name;
        }
    }
    for (const SpinEdit* field : {ui().se1, ui().se2})
        EXPECT_EQ(field->height(), field->fontMetrics().height() + 8);
    EXPECT_EQ(window_->size(), QSize(418, 154));
    EXPECT_EQ(window_->windowTitle(), "賓果彩卷列印");
}

TEST_F(WindowFixture, TextsFontsAndColoursAreTheFormsOwn) {
    open();
    struct Look {
        QWidget* widget;
        QString text;
        QString family;
        int points;
        bool navy;
    };
    const bingo::test::WindowComponents w = ui();
    const std::vector<Look> looks = {
        {w.Label1, "列印號數", "新細明體", 16, false},
        {w.Label2, "列印張數", "新細明體", 16, false},
        {w.Label3, "A4*6張", "新細明體", 16, true},
        {w.lbPaper, "共180張彩卷", "新細明體", 16, true},
        {w.se1, "50", "MS Sans Serif", 14, false},
        {w.se2, "30", "MS Sans Serif", 14, false},
        {w.BitBtn1, "關閉[C]", "新細明體", 14, false},
        {w.btnPrint, "列印[&P]", "新細明體", 14, false},
    };
    for (const Look& look : looks) {
        const QString name = look.widget->objectName();
        const QVariant text = look.widget->property("text");
        EXPECT_EQ(text.toString(), look.text) << name.toStdString();
        EXPECT_EQ(look.widget->font().family(), look.family) << name.toStdString();
        EXPECT_EQ(look.widget->font().pointSize(), look.points) << name.toStdString();
        const QColor navy(0, 0, 128);
        EXPECT_EQ(look.widget->palette().color(QPalette::WindowText) == navy, look.navy)
            << name.toStdString();
    }
    EXPECT_EQ(window_->font().family(), "MS Sans Serif");
    EXPECT_EQ(window_->font().pointSize(), 8);

    EXPECT_EQ(w.se1->minimum(), 25);
    EXPECT_EQ(w.se1->maximum(), 99);
    EXPECT_EQ(w.se1->singleStep(), 5);
    EXPECT_EQ(w.se2->minimum(), 1);
    EXPECT_EQ(w.se2->maximum(), 9999);
    EXPECT_EQ(w.se2->singleStep(), 5);

    EXPECT_FALSE(w.pb1->isVisible());
    EXPECT_EQ(w.pb1->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(w.pb1->maximum(), 100);
    for (const BitButton* button : {w.BitBtn1, w.btnPrint}) {
        EXPECT_FALSE(button->isDefault());
        EXPECT_FALSE(button->autoDefault());
    }
    EXPECT_EQ(w.BitBtn1->iconSize(), QSize(18, 18));
    EXPECT_EQ(w.btnPrint->iconSize(), QSize(16, 16));
}

TEST_F(WindowFixture, FocusStartsInTheRangeAndTabsThroughTheFourControls) {
    open();
    EXPECT_TRUE(ui().se1->hasFocus());
    EXPECT_EQ(ui().se1->selectedText(), "50");
    const std::vector<QWidget*> order = {ui().se2, ui().BitBtn1, ui().btnPrint, ui().se1};
    for (QWidget* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }
}

TEST_F(WindowFixture, ButtonPicturesAreGreyedOnlyWhenDisabled) {
    open();
    for (BitButton* button : {ui().BitBtn1, ui().btnPrint}) {
        const QSize size = button->iconSize();
        const QImage normal = button->icon().pixmap(size, QIcon::Normal).toImage();
        const QImage disabled = button->icon().pixmap(size, QIcon::Disabled).toImage();
        EXPECT_EQ(normal.size(), size);
        EXPECT_NE(normal, disabled);
        // The bottom-left pixel's colour is the transparent one.
        EXPECT_EQ(qAlpha(normal.pixel(0, size.height() - 1)), 0);
        EXPECT_EQ(qAlpha(disabled.pixel(0, size.height() - 1)), 0);
        EXPECT_GT(qAlpha(normal.pixel(size.width() / 2, size.height() / 2)), 0);
    }
    // The greyed image is the one drawn beside the picture, not one made up from it.
    const QImage normal = ui().btnPrint->icon().pixmap(16, 16, QIcon::Normal).toImage();
    const QImage greyed = ui().btnPrint->icon().pixmap(16, 16, QIcon::Disabled).toImage();
    EXPECT_EQ(normal.pixel(4, 1), qRgb(0, 0, 0));
    EXPECT_EQ(greyed.pixel(4, 1), qRgb(0x80, 0x80, 0x80));
}

// ---- the live card count ----

TEST_F(WindowFixture, CardCountFollowsTheSheetCountAsItIsTyped) {
    open();
    QLabel* paper = ui().lbPaper;
    typeInto(ui().se2, "12");
    EXPECT_EQ(paper->text(), "共72張彩卷");
    const int narrow = paper->width();
    typeInto(ui().se2, "1234");
    EXPECT_EQ(paper->text(), "共7404張彩卷");
    EXPECT_GT(paper->width(), narrow);
    EXPECT_EQ(paper->pos(), QPoint(128, 110));
    EXPECT_EQ(paper->size(), paper->sizeHint());
}

struct CountCase {
    const char* typed;
    const char* committed;
    const char* label;
};

void PrintTo(const CountCase& c, std::ostream* os) {
    *os << "typed \"" << c.typed << '"';
}

class CardCountOnLeaving : public WindowFixture, public ::testing::WithParamInterface<CountCase> {};

TEST_P(CardCountOnLeaving, ShowsTheCommittedSheetCount) {
    open();
    typeInto(ui().se2, GetParam().typed);
    QTest::keyClick(ui().se2, Qt::Key_Tab);
    EXPECT_EQ(ui().se2->text(), QString::fromUtf8(GetParam().committed));
    EXPECT_EQ(ui().lbPaper->text(), QString::fromUtf8(GetParam().label));
}

INSTANTIATE_TEST_SUITE_P(Texts, CardCountOnLeaving,
                         ::testing::Values(CountCase{"100000", "9999", "共59994張彩卷"},
                                           CountCase{"0", "1", "共6張彩卷"},
                                           CountCase{"-", "-", "共6張彩卷"},
                                           CountCase{"999999999", "9999", "共59994張彩卷"}));

TEST_F(WindowFixture, ClearedSheetCountShowsOneSheetAndPrintsOne) {
    open();
    ui().se2->setFocus(Qt::TabFocusReason);
    ui().se2->selectAll();
    QTest::keyClick(ui().se2, Qt::Key_Delete);
    QTest::keyClick(ui().se2, Qt::Key_Tab);
    EXPECT_EQ(ui().se2->text(), "");
    EXPECT_EQ(ui().lbPaper->text(), "共6張彩卷");
    QTest::keyClick(ui().btnPrint, Qt::Key_Space);
    expectJob(1, 50);
}

// ---- the Print and Close commands ----

enum class Outcome { Nothing, Prints, Closes };

struct CommandCase {
    const char* name;
    const char* focus;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    Outcome outcome;
};

void PrintTo(const CommandCase& c, std::ostream* os) {
    *os << c.name;
}

class Commands : public WindowFixture, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(Commands, RunFromTheirKeys) {
    const CommandCase& c = GetParam();
    open();
    ui().se2->setText("1");
    auto* focus = window_->findChild<QWidget*>(c.focus);
    ASSERT_NE(focus, nullptr);
    focus->setFocus(Qt::TabFocusReason);
    QSignalSpy closed(window_.get(), &TfmBingo::closed);

    const QString rangeText = ui().se1->text();
    QTest::keyClick(focus, c.key, c.modifiers);
    EXPECT_EQ(ui().se1->text(), c.outcome == Outcome::Prints ? "50" : rangeText);

    EXPECT_EQ(session_->table().isOpen(), c.outcome == Outcome::Prints);
    EXPECT_EQ(window_->isVisible(), c.outcome != Outcome::Closes);
    EXPECT_EQ(closed.count(), c.outcome == Outcome::Closes ? 1 : 0);
    if (c.outcome == Outcome::Prints) {
        expectJob(1, 50);
        EXPECT_EQ(QApplication::focusWidget(), focus) << "the command keeps the focus";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, Commands,
    ::testing::Values(
        CommandCase{"AltPInTheRange", "se1", Qt::Key_P, Qt::AltModifier, Outcome::Prints},
        CommandCase{"AltPInTheSheetCount", "se2", Qt::Key_P, Qt::AltModifier, Outcome::Prints},
        CommandCase{"AltPOnClose", "BitBtn1", Qt::Key_P, Qt::AltModifier, Outcome::Prints},
        CommandCase{"AltShiftP", "se1", Qt::Key_P, Qt::AltModifier | Qt::ShiftModifier,
                    Outcome::Prints},
        CommandCase{"POnClose", "BitBtn1", Qt::Key_P, Qt::NoModifier, Outcome::Prints},
        CommandCase{"ShiftPOnPrint", "btnPrint", Qt::Key_P, Qt::ShiftModifier, Outcome::Prints},
        CommandCase{"POnPrint", "btnPrint", Qt::Key_P, Qt::NoModifier, Outcome::Prints},
        CommandCase{"EnterOnPrint", "btnPrint", Qt::Key_Return, Qt::NoModifier, Outcome::Prints},
        CommandCase{"KeypadEnterOnPrint", "btnPrint", Qt::Key_Enter, Qt::KeypadModifier,
                    Outcome::Prints},
        CommandCase{"SpaceOnPrint", "btnPrint", Qt::Key_Space, Qt::NoModifier, Outcome::Prints},
        CommandCase{"PInAFieldIsATypingError", "se1", Qt::Key_P, Qt::NoModifier, Outcome::Nothing},
        CommandCase{"EnterInAFieldDoesNothing", "se2", Qt::Key_Return, Qt::NoModifier,
                    Outcome::Nothing},
        CommandCase{"EnterOnClose", "BitBtn1", Qt::Key_Return, Qt::NoModifier, Outcome::Closes},
        CommandCase{"SpaceOnClose", "BitBtn1", Qt::Key_Space, Qt::NoModifier, Outcome::Closes},
        CommandCase{"COnClose", "BitBtn1", Qt::Key_C, Qt::NoModifier, Outcome::Nothing},
        CommandCase{"AltCOnClose", "BitBtn1", Qt::Key_C, Qt::AltModifier, Outcome::Nothing},
        CommandCase{"AltCInAField", "se1", Qt::Key_C, Qt::AltModifier, Outcome::Nothing},
        CommandCase{"EscOnClose", "BitBtn1", Qt::Key_Escape, Qt::NoModifier, Outcome::Nothing},
        CommandCase{"EscOnPrint", "btnPrint", Qt::Key_Escape, Qt::NoModifier, Outcome::Nothing},
        CommandCase{"EscInAField", "se1", Qt::Key_Escape, Qt::NoModifier, Outcome::Nothing}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowFixture, ClicksRunPrintAndClose) {
    open();
    ui().se2->setText("1");
    QTest::mouseClick(ui().btnPrint, Qt::LeftButton);
    expectJob(1, 50);
    QSignalSpy closed(window_.get(), &TfmBingo::closed);
    QTest::mouseClick(ui().BitBtn1, Qt::LeftButton);
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(closed.count(), 1);
}

// ---- the print job ----

TEST_F(WindowFixture, AltPCommitsTypedTextAndFillsTheTable) {
    open();
    typeInto(ui().se2, "2");
    typeInto(ui().se1, "3"); // a range below 25, still being typed
    QTest::keyClick(ui().se1, Qt::Key_P, Qt::AltModifier);

    EXPECT_EQ(ui().se1->text(), "25");
    expectJob(2, 25);
    EXPECT_FALSE(ui().pb1->isVisible());
    EXPECT_EQ(ui().pb1->maximum(), 2);
    EXPECT_EQ(ui().pb1->value(), 2);
}

TEST_F(WindowFixture, TypedZeroSheetsPrintsOneSheet) {
    open();
    typeInto(ui().se2, "0");
    QTest::keyClick(ui().se2, Qt::Key_P, Qt::AltModifier);
    EXPECT_EQ(ui().se2->text(), "1");
    EXPECT_EQ(ui().lbPaper->text(), "共6張彩卷");
    expectJob(1, 50);
}

TEST_F(WindowFixture, EveryJobStartsAgainAtSerialOneWithFreshCards) {
    open();
    ui().se2->setText("3");
    QTest::keyClick(ui().btnPrint, Qt::Key_Space);
    const auto first = records();
    ASSERT_EQ(first.size(), 18u);

    ui().se2->setText("2");
    QTest::keyClick(ui().btnPrint, Qt::Key_Space);
    expectJob(2, 50);
    // One random source for the run, never reseeded: the second job goes on with the sequence.
    const auto second = records();
    EXPECT_NE(std::vector(first.begin(), first.begin() + 12), second);
}

TEST_F(WindowFixture, EveryJobEndsInAPreviewAndTheNextJobClosesTheOldOneFirst) {
    open();
    report::Tqr1 qr1(session_->table(), reportContext());
    window_->setReport(&qr1);
    ui().se2->setText("2");
    QTest::keyClick(ui().se1, Qt::Key_P, Qt::AltModifier);
    ASSERT_TRUE(qr1.isPreviewOpen());
    const QPointer<preview::PreviewWindow> first = qr1.previewWindow();

    // The first preview may still be laying out: it is closed before the table is emptied.
    ui().se2->setText("1");
    QTest::keyClick(ui().btnPrint, Qt::Key_Space);
    EXPECT_TRUE(first.isNull() || !first->isVisible());
    ASSERT_TRUE(qr1.isPreviewOpen());
    EXPECT_NE(qr1.previewWindow(), first.data());
    expectJob(1, 50);

    qr1.closePreview();
    window_->setReport(nullptr);
}

TEST_F(WindowFixture, FailingJobShowsTheStoresMessageAndTheWindowCarriesOn) {
    open(QStringLiteral("missing"));
    ErrorRecorder recorder;
    typeInto(ui().se2, "2");
    QTest::keyClick(ui().se2, Qt::Key_P, Qt::AltModifier);

    ASSERT_EQ(recorder.boxes().size(), 1u);
    const ShownBox& box = recorder.boxes().front();
    EXPECT_EQ(box.title, "app_tests");
    EXPECT_EQ(box.icon, QMessageBox::Critical);
    EXPECT_EQ(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(box.text, "無法建立卡片資料表「" + tempDir_ + "/tmpBingo.db」：資料夾「" + tempDir_ +
                            "」不存在。");
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(ui().se2->text(), "2");
    EXPECT_EQ(ui().lbPaper->text(), "共12張彩卷");
    EXPECT_FALSE(QFileInfo::exists(tempDir_)) << "a missing TEMP is not created";
}

} // namespace
} // namespace bingo::app::test
