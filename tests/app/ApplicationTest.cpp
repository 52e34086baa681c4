#include "AppTestSupport.h"
#include "app/ErrorBox.h"
#include "app/SilentAbort.h"

#include <QCoreApplication>
#include <QEvent>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <stdexcept>

namespace bingo::app::test {
namespace {

struct TitleCase {
    const char* path;
    const char* title;
};

void PrintTo(const TitleCase& c, std::ostream* os) {
    *os << '"' << c.path << '"';
}

class ApplicationTitle : public ::testing::TestWithParam<TitleCase> {};

TEST_P(ApplicationTitle, IsTheBaseNameWithTheLettersAfterTheFirstInLowerCase) {
    EXPECT_EQ(Application::titleFor(QString::fromUtf8(GetParam().path)),
              QString::fromUtf8(GetParam().title));
}

INSTANTIATE_TEST_SUITE_P(Programs, ApplicationTitle,
                         ::testing::Values(TitleCase{"/usr/bin/bingo", "bingo"},
                                           TitleCase{"C:/Program Files/BINGO.EXE", "Bingo"},
                                           TitleCase{"/opt/MyBingo.tar.gz", "Mybingo"},
                                           TitleCase{"relative/Bingo", "Bingo"},
                                           TitleCase{"/x/賓果BINGO", "賓果bingo"}));

TEST(ApplicationTitle, OfThisProgramComesFromItsFile) {
    EXPECT_EQ(application().title(), "app_tests");
}

struct TextCase {
    const char* message;
    const char* shown;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << '"' << c.message << '"';
}

class ErrorBoxText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ErrorBoxText, GetsAFullStopWhenTheLastCharacterSortsAfterTheFullStop) {
    EXPECT_EQ(errorBoxText(QString::fromUtf8(GetParam().message)),
              QString::fromUtf8(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ErrorBoxText,
    ::testing::Values(TextCase{"Disk full", "Disk full."}, TextCase{"Done.", "Done."},
                      TextCase{"Why?", "Why?."}, // "?" sorts after "."
                      TextCase{"Stop!", "Stop!"}, TextCase{"(see above)", "(see above)"},
                      TextCase{"a-", "a-"}, TextCase{"path /tmp/", "path /tmp/."},
                      TextCase{"error 42", "error 42."}, TextCase{"", ""},
                      TextCase{"找不到資料表", "找不到資料表。"}));

TEST(ErrorBox, HasTheErrorIconOneOkButtonTheTitleAndTheText) {
    const auto box = createErrorBox("bingo", "Disk full");
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_EQ(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(box->windowTitle(), "bingo");
    EXPECT_EQ(box->text(), "Disk full.");
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
}

/// Runs a handler when it receives an event, as a control's event handler would.
class Receiver : public QObject {
  public:
    std::function<void()> handler;
    int handled = 0;

  protected:
    bool event(QEvent* event) override {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        ++handled;
        handler();
        return true;
    }
};

struct Thrown {
    const char* name;
    std::function<void()> thrower;
    std::vector<QString> texts;
};

void PrintTo(const Thrown& c, std::ostream* os) {
    *os << c.name;
}

class EscapingException : public ::testing::TestWithParam<Thrown> {};

TEST_P(EscapingException, IsShownOnceAndTheProgramCarriesOn) {
    ErrorRecorder recorder;
    Receiver receiver;
    receiver.handler = GetParam().thrower;
    QEvent event(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&receiver, &event));

    std::vector<QString> texts;
    for (const ShownBox& box : recorder.boxes()) {
        texts.push_back(box.text);
        EXPECT_EQ(box.title, application().title());
        EXPECT_EQ(box.icon, QMessageBox::Critical);
    }
    EXPECT_EQ(texts, GetParam().texts);

    receiver.handler = [] {};
    EXPECT_TRUE(QCoreApplication::sendEvent(&receiver, &event));
    EXPECT_EQ(receiver.handled, 2);
    EXPECT_EQ(recorder.boxes().size(), GetParam().texts.size());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, EscapingException,
    ::testing::Values(
        Thrown{"RuntimeError", [] { throw std::runtime_error("Disk full"); }, {"Disk full."}},
        Thrown{"Utf8Message",
               [] { throw std::runtime_error("找不到 /tmp/bingo"); },
               {QString::fromUtf8("找不到 /tmp/bingo。")}},
        Thrown{"SilentAbort", [] { throw SilentAbort(); }, {}},
        Thrown{"NotAStdException", [] { throw 42; }, {"發生未預期的錯誤，指令已中止。"}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace bingo::app::test
