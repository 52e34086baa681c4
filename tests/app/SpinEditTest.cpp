#include "app/SpinEdit.h"

#include "AppTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <ostream>
#include <vector>

namespace bingo::app::test {
namespace {

/// A window with one spin field and a button to move the focus to.
class SpinFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        window_ = std::make_unique<QWidget>();
        window_->resize(300, 100);
        field_ = new SpinEdit(window_.get());
        field_->setGeometry(10, 10, 65, 34);
        other_ = new QPushButton("other", window_.get());
        other_->setGeometry(100, 10, 80, 30);
        window_->show();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }

    void setUpField(int minimum, int maximum, int step, const QString& text) {
        field_->setMinimum(minimum);
        field_->setMaximum(maximum);
        field_->setSingleStep(step);
        field_->setText(text);
        field_->setFocus(Qt::OtherFocusReason);
        field_->selectAll();
    }

    std::unique_ptr<QWidget> window_;
    SpinEdit* field_ = nullptr;
    QPushButton* other_ = nullptr;
};

struct Action {
    enum Kind { Type, Key, Leave } kind;
    QString text{};
    Qt::Key key = Qt::Key_unknown;
};

Action type(const char* text) {
    return {Action::Type, QString::fromUtf8(text)};
}
Action key(Qt::Key k) {
    return {Action::Key, {}, k};
}
const Action leave{Action::Leave};

struct SpinCase {
    const char* name;
    int minimum, maximum;
    const char* start;
    std::vector<Action> actions;
    const char* text;
    int value;
    int changes;
    int beeps = 0;
    QLocale::Language language = QLocale::C;
};

void PrintTo(const SpinCase& c, std::ostream* os) {
    *os << c.name;
}

class SpinEditBehaviour : public SpinFixture, public ::testing::WithParamInterface<SpinCase> {};

TEST_P(SpinEditBehaviour, GivesTheTextValueAndChangeEvents) {
    const SpinCase& c = GetParam();
    field_->setLocale(QLocale(c.language));
    setUpField(c.minimum, c.maximum, 5, QString::fromUtf8(c.start));
    QSignalSpy changes(field_, &SpinEdit::changed);
    QSignalSpy beeps(field_, &SpinEdit::keyRejected);

    for (const Action& action : c.actions) {
        switch (action.kind) {
        case Action::Type:
            QTest::keyClicks(field_, action.text);
            break;
        case Action::Key:
            QTest::keyClick(field_, action.key);
            break;
        case Action::Leave:
            QTest::keyClick(field_, Qt::Key_Tab);
            ASSERT_TRUE(other_->hasFocus());
            break;
        }
    }

    EXPECT_EQ(field_->text(), QString::fromUtf8(c.text));
    EXPECT_EQ(field_->value(), c.value);
    EXPECT_EQ(changes.count(), c.changes);
    EXPECT_EQ(beeps.count(), c.beeps);
}

constexpr int IntMax = std::numeric_limits<int>::max();
constexpr int IntMin = std::numeric_limits<int>::min();

INSTANTIATE_TEST_SUITE_P(
    Cases, SpinEditBehaviour,
    ::testing::Values(
        // typing
        SpinCase{"TypingReplacesTheSelectedText", 25, 99, "50", {type("75")}, "75", 75, 2},
        SpinCase{"LettersAndSpaceAreDropped", 25, 99, "50", {type("7a 5")}, "75", 75, 2, 2},
        SpinCase{
            "EnterBeepsAndChangesNothing", 25, 99, "50", {key(Qt::Key_Return)}, "50", 50, 0, 1},
        SpinCase{"KeypadEnterBeepsToo", 25, 99, "50", {key(Qt::Key_Enter)}, "50", 50, 0, 1},
        SpinCase{"SignsAreTypedAndNotClamped", 1, 9999, "30", {type("-5")}, "-5", -5, 2},
        SpinCase{"PlusSignReads", 1, 9999, "30", {type("+7")}, "+7", 7, 2},
        SpinCase{
            "DecimalSeparatorIsTypedButReadsAsMinimum", 25, 99, "50", {type("1.5")}, "1.5", 25, 3},
        SpinCase{"OtherLocalesSeparatorOnly",
                 25,
                 99,
                 "50",
                 {type("1.,5")},
                 "1,5",
                 25,
                 3,
                 1,
                 QLocale::German},
        SpinCase{
            "BackspaceEdits", 1, 9999, "30", {key(Qt::Key_End), key(Qt::Key_Backspace)}, "3", 3, 1},
        SpinCase{"LoneSignReadsAsMinimum", 1, 9999, "30", {type("-")}, "-", 1, 1},
        SpinCase{"TooLongFor32BitsReadsAsMinimum", 1, 9999, "2147483648", {}, "2147483648", 1, 0},
        SpinCase{"LargestIntegerReads", 1, 9999, "2147483647", {}, "2147483647", IntMax, 0},
        SpinCase{"SmallestIntegerReads", 1, 9999, "-2147483648", {}, "-2147483648", IntMin, 0},
        // stepping
        SpinCase{"StepsUpToTheMaximumThenStays",
                 25,
                 99,
                 "95",
                 {key(Qt::Key_Up), key(Qt::Key_Up)},
                 "99",
                 99,
                 1},
        SpinCase{"StepsDownFromTheMaximum", 25, 99, "99", {key(Qt::Key_Down)}, "94", 94, 1},
        SpinCase{"StepDownAtTheMinimumStays", 25, 99, "25", {key(Qt::Key_Down)}, "25", 25, 0},
        SpinCase{"EmptyRangeStepsUpFromTheMinimum", 25, 99, "", {key(Qt::Key_Up)}, "30", 30, 1},
        SpinCase{"EmptySheetCountStepsUpFromTheMinimum", 1, 9999, "", {key(Qt::Key_Up)}, "6", 6, 1},
        SpinCase{"EmptyStepsDownToTheMinimum", 25, 99, "", {key(Qt::Key_Down)}, "25", 25, 1},
        SpinCase{"StepFromOutOfBoundsTextClamps",
                 1,
                 9999,
                 "100000",
                 {key(Qt::Key_Down)},
                 "9999",
                 9999,
                 1},
        SpinCase{"StepNearTheIntegerLimitDoesNotWrap",
                 1,
                 9999,
                 "2147483647",
                 {key(Qt::Key_Up)},
                 "9999",
                 9999,
                 1},
        SpinCase{"StepRewritesLeadingZeros", 1, 9999, "0099", {key(Qt::Key_Up)}, "104", 104, 1},
        // leaving the field
        SpinCase{
            "LeavingClampsToTheMaximum", 1, 9999, "30", {type("100000"), leave}, "9999", 9999, 7},
        SpinCase{"LeavingClampsToTheMinimum", 25, 99, "50", {type("10"), leave}, "25", 25, 3},
        SpinCase{"LeavingClampsZero", 1, 9999, "0", {leave}, "1", 1, 1},
        SpinCase{"LeavingClampsNegatives", 1, 9999, "-2147483648", {leave}, "1", 1, 1},
        SpinCase{"LeavingKeepsEmptyText", 1, 9999, "", {leave}, "", 1, 0},
        SpinCase{"LeavingKeepsInvalidText", 25, 99, "1.5", {leave}, "1.5", 25, 0},
        SpinCase{"LeavingKeepsTextTooLongFor32Bits",
                 1,
                 9999,
                 "99999999999",
                 {leave},
                 "99999999999",
                 1,
                 0},
        SpinCase{"LeavingKeepsTextWithinTheBounds", 1, 9999, "007", {leave}, "007", 7, 0}),
    [](const auto& info) { return std::string(info.param.name); });

class SpinEditFocus : public SpinFixture, public ::testing::WithParamInterface<Qt::FocusReason> {};

TEST_P(SpinEditFocus, AnotherWindowOrAPopupIsNotLeavingTheField) {
    setUpField(1, 9999, 5, "100000");
    QFocusEvent out(QEvent::FocusOut, GetParam());
    QApplication::sendEvent(field_, &out);
    EXPECT_EQ(field_->text(), "100000");
}

INSTANTIATE_TEST_SUITE_P(Reasons, SpinEditFocus,
                         ::testing::Values(Qt::ActiveWindowFocusReason, Qt::PopupFocusReason));

TEST_F(SpinFixture, TabIntoTheFieldSelectsTheWholeText) {
    setUpField(25, 99, 5, "50");
    other_->setFocus(Qt::OtherFocusReason);
    field_->deselect();
    QTest::keyClick(other_, Qt::Key_Backtab);
    ASSERT_TRUE(field_->hasFocus());
    EXPECT_EQ(field_->selectedText(), "50");
}

TEST_F(SpinFixture, ButtonStepsOnReleaseOverItAndFocusesTheField) {
    setUpField(25, 99, 5, "50");
    other_->setFocus(Qt::OtherFocusReason);
    QToolButton* up = field_->upButton();

    QTest::mousePress(up, Qt::LeftButton);
    EXPECT_TRUE(field_->hasFocus());
    EXPECT_EQ(field_->text(), "50");
    QTest::mouseRelease(up, Qt::LeftButton);
    EXPECT_EQ(field_->text(), "55");

    QTest::mouseClick(field_->downButton(), Qt::LeftButton);
    EXPECT_EQ(field_->text(), "50");
}

TEST_F(SpinFixture, ButtonReleasedAwayFromItDoesNotStep) {
    setUpField(25, 99, 5, "50");
    QToolButton* up = field_->upButton();
    QTest::mousePress(up, Qt::LeftButton);
    QTest::mouseMove(up, QPoint(-20, -20));
    QTest::mouseRelease(up, Qt::LeftButton, {}, QPoint(-20, -20));
    EXPECT_EQ(field_->text(), "50");
}

TEST_F(SpinFixture, PastedTextIsNotFiltered) {
    setUpField(25, 99, 5, "50");
    QApplication::clipboard()->setText("x 7");
    QTest::keyClick(field_, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(field_->text(), "x 7");
    EXPECT_EQ(field_->value(), 25);
}

TEST_F(SpinFixture, HeightFollowsTheFont) {
    for (const int points : {8, 14, 24}) {
        QFont font("DejaVu Sans");
        font.setPointSize(points);
        field_->setFont(font);
        EXPECT_EQ(field_->height(), QFontMetrics(font).height() + 8) << points << " pt";
        field_->setGeometry(10, 10, 65, 34);
        EXPECT_EQ(field_->height(), QFontMetrics(font).height() + 8) << points << " pt";
    }
}

TEST_F(SpinFixture, SetValueClampsAndSkipsAnUnchangedText) {
    setUpField(25, 99, 5, "50");
    QSignalSpy changes(field_, &SpinEdit::changed);
    field_->setValue(50);
    EXPECT_EQ(changes.count(), 0);
    field_->setValue(1000);
    EXPECT_EQ(field_->text(), "99");
    EXPECT_EQ(changes.count(), 1);
}

} // namespace
} // namespace bingo::app::test
