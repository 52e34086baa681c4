#include "caller/CallerWindow.h"

#include "QStringPrinter.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <numeric>

namespace bingo::caller {
namespace {

CardSet oneSheet() {
    CardSet set;
    for (int i = 0; i < 6; ++i) {
        cards::Card card;
        card.serial = i + 1;
        std::iota(card.numbers.begin(), card.numbers.end(), 1 + 3 * i);
        set.cards.push_back(card);
    }
    set.range = 45;
    set.rangeKnown = true;
    set.source = QStringLiteral("/tmp/job.pdf");
    set.fromPdf = true;
    set.job = jobIdentity(set.cards);
    return set;
}

class CallerWindowTest : public ::testing::Test {
  protected:
    CallerWindowTest()
        : window_(std::make_unique<GameSession>(oneSheet(), dir_.path().toStdString()), {},
                  QStringLiteral("Bingo-caller")) {
        window_.setErrorSink([this](const QString& text) { errors_.push_back(text); });
        window_.show();
        window_.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window_));
        callBox_ = window_.findChild<QLineEdit*>(QStringLiteral("callBox"));
        serialBox_ = window_.findChild<QLineEdit*>(QStringLiteral("serialBox"));
    }

    void type(const QString& text) {
        QTest::keyClicks(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    std::vector<QString> verdicts() const {
        std::vector<QString> texts;
        for (const QLabel* label : window_.findChildren<QLabel*>(QStringLiteral("verdict")))
            texts.push_back(label->text());
        return texts;
    }

    QTemporaryDir dir_;
    CallerWindow window_;
    QLineEdit* callBox_ = nullptr;
    QLineEdit* serialBox_ = nullptr;
    std::vector<QString> errors_;
};

TEST_F(CallerWindowTest, CallsFromTheCallBoxRefusesBadOnesAndTakesBackWithCtrlZ) {
    EXPECT_TRUE(window_.windowTitle().startsWith(QStringLiteral("賓果對獎")));
    ASSERT_EQ(QApplication::focusWidget(), callBox_);
    for (const char* n : {"1", "2", "3"})
        type(QString::fromLatin1(n));
    EXPECT_EQ(window_.session().game().calls(), (std::vector<int>{1, 2, 3}));
    type(QStringLiteral("46"));
    EXPECT_EQ(window_.message(), QStringLiteral("號碼 46 不在 1 到 45 之間。"));
    callBox_->clear();
    type(QStringLiteral("2"));
    EXPECT_EQ(window_.message(), QStringLiteral("號碼 2 已經叫過了。"));
    callBox_->clear();
    EXPECT_EQ(window_.session().game().calls(), (std::vector<int>{1, 2, 3}));

    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window_.session().game().calls(), (std::vector<int>{1, 2}));
    EXPECT_EQ(window_.message(), QStringLiteral("已收回號碼 3。"));
    for (const char* n : {"3", "4", "5"})
        type(QString::fromLatin1(n));
    EXPECT_TRUE(window_.winners().startsWith(
        QStringLiteral("叫出 5 後，1 張彩卷剛達成一條線：0001（第 1 頁）")))
        << window_.winners().toStdString();
    key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(window_.session().game().callCount(), 6);
    EXPECT_TRUE(errors_.empty());
}

TEST_F(CallerWindowTest, CtrlFChecksASerialAndEscReturnsToTheCallBox) {
    for (const char* n : {"4", "5", "6", "7", "8"})
        type(QString::fromLatin1(n));
    key(Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(QApplication::focusWidget(), serialBox_);
    type(QStringLiteral("2"));
    ASSERT_EQ(verdicts().size(), 1u);
    EXPECT_EQ(
        verdicts()[0],
        QStringLiteral(
            "序號 0002（第 1 頁）\n中獎（一條線）：在第 5 個號碼時完成。\n完成的線：第 1 列"));
    serialBox_->selectAll();
    type(QStringLiteral("1"));
    ASSERT_EQ(verdicts().size(), 1u);
    EXPECT_EQ(
        verdicts()[0],
        QStringLiteral("序號 0001（第 1 頁）\n沒有中獎（一條線）。\n最接近的還差 2 個號碼：9、10"));
    serialBox_->selectAll();
    type(QStringLiteral("9"));
    EXPECT_EQ(window_.message(), QStringLiteral("沒有彩卷印著序號 0009。"));
    key(Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), callBox_);
    EXPECT_TRUE(errors_.empty());
}

TEST_F(CallerWindowTest, TheBoardAloneStillTakesCalls) {
    key(Qt::Key_F11);
    EXPECT_TRUE(window_.isFullScreen());
    QTest::keyClicks(&window_, QStringLiteral("12"));
    QTest::keyClick(&window_, Qt::Key_Return);
    QTest::keyClicks(&window_, QStringLiteral("12"));
    QTest::keyClick(&window_, Qt::Key_Return);
    EXPECT_EQ(window_.session().game().calls(), std::vector<int>{12});
    EXPECT_EQ(window_.message(), QStringLiteral("號碼 12 已經叫過了。"));
    QTest::keyClick(&window_, Qt::Key_F11);
    EXPECT_FALSE(window_.isFullScreen());
    EXPECT_EQ(QApplication::focusWidget(), callBox_);
}

TEST_F(CallerWindowTest, CtrlNEndsTheGameOnlyWhenConfirmed) {
    type(QStringLiteral("9"));
    const std::filesystem::path first = window_.session().recordFile();
    std::vector<QString> asked;
    bool answer = false;
    window_.setConfirm([&](const QString& question) {
        asked.push_back(question);
        return answer;
    });
    key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(window_.session().game().calls(), std::vector<int>{9});
    answer = true;
    key(Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0], QStringLiteral("結束這一局（已叫 1 個號碼），開始新的一局？"));
    EXPECT_EQ(window_.session().game().callCount(), 0);
    type(QStringLiteral("9"));
    EXPECT_NE(window_.session().recordFile(), first);
    const QByteArray ended = [&] {
        QFile file(QString::fromStdString(first.string()));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    EXPECT_TRUE(ended.contains("{\"event\":\"end\""));
}

} // namespace
} // namespace bingo::caller
