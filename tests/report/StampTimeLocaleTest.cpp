// The stamp's calendar and separators come from the time category, whatever the language of
// the messages.

#include "report/PrintTexts.h"
#include "report/TimeLocale.h"

#include <gtest/gtest.h>
#include <ostream>

namespace bingo::report {
namespace {

struct LocaleCase {
    const char* name;
    const char* lcAll;
    const char* lcTime;
    const char* lang;
    const char* stamp; // of 2026-03-07 09:05
};

void PrintTo(const LocaleCase& c, std::ostream* os) {
    *os << c.name;
}

class TimeLocale : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(TimeLocale, GivesTheStampOfTheTimeCategory) {
    const LocaleCase& c = GetParam();
    const QLocale locale = timeLocaleFrom(c.lcAll, c.lcTime, c.lang);
    const TimeStampFormat format(locale);
    EXPECT_EQ(format.format(QDateTime(QDate(2026, 3, 7), QTime(9, 5))).toStdString(), c.stamp);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, TimeLocale,
    ::testing::Values(
        LocaleCase{"LcTimeOverLang", nullptr, "zh_TW.UTF-8", "en_US.UTF-8", "115/03/07-09:05"},
        LocaleCase{"LcAllOverLcTime", "en_US.UTF-8", "zh_TW.UTF-8", "zh_TW.UTF-8",
                   "2026/03/07-09:05"},
        LocaleCase{"EmptyLcAllIsUnset", "", "zh_TW.UTF-8", "en_US.UTF-8", "115/03/07-09:05"},
        LocaleCase{"LangAlone", nullptr, nullptr, "th_TH.UTF-8", "2569/03/07-09:05"},
        LocaleCase{"Modifier", nullptr, "zh_TW.UTF-8@radical", nullptr, "115/03/07-09:05"},
        LocaleCase{"NoCodeset", nullptr, "ko_KR", "C", "4359.03.07-09:05"},
        LocaleCase{"GermanSeparators", nullptr, "de_DE.UTF-8", "zh_TW.UTF-8", "2026.03.07-09:05"},
        LocaleCase{"Posix", nullptr, "POSIX", "zh_TW.UTF-8", "2026/03/07-09:05"},
        LocaleCase{"CUtf8", "C.UTF-8", "zh_TW.UTF-8", nullptr, "2026/03/07-09:05"},
        LocaleCase{"NothingSet", nullptr, nullptr, nullptr, "2026/03/07-09:05"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TimeLocale, CAndUnsetAreTheCLocale) {
    EXPECT_EQ(timeLocaleFrom(nullptr, nullptr, nullptr), QLocale::c());
    EXPECT_EQ(timeLocaleFrom("C", nullptr, nullptr), QLocale::c());
    EXPECT_EQ(timeLocaleFrom(nullptr, "zh_TW.UTF-8", nullptr).name(), "zh_TW");
}

} // namespace
} // namespace bingo::report
