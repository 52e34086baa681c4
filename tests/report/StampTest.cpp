#include "ReportTestSupport.h"
#include "report/rpBingo.h"
#include "store/CardTable.h"

#include <gtest/gtest.h>
#include <ostream>

namespace bingo::report {
namespace {

class HandlerTest : public ::testing::Test {
  protected:
    store::CardTable table{"tbTmp"};
    Tqr1 report{table, test::fixedContext()};
};

TEST_F(HandlerTest, SerialPrintsTheLastFourDigitsOfTenThousandMore) {
    const std::pair<const char*, const char*> cases[] = {
        {"1", "0001"},     {"7", "0007"},          {"9999", "9999"},  {"10000", "0000"},
        {"10007", "0007"}, {"12345", "2345"},      {"59994", "9994"}, {"0", "0000"},
        {"-1", "999"},     {"2147483647", "1474"},
    };
    for (const auto& [serial, printed] : cases) {
        QString value = serial;
        report.QRDBText26Print(nullptr, value);
        EXPECT_EQ(value, printed) << serial;
    }
}

TEST_F(HandlerTest, SerialThatIsNoIntegerThrows) {
    for (const char* bad : {"abc", "1.5", "2147483648", "12x"}) {
        QString value = bad;
        try {
            report.QRDBText26Print(nullptr, value);
            ADD_FAILURE() << bad << " printed as " << value.toStdString();
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(e.what(), "「" + std::string(bad) + "」不是有效的整數");
        }
    }
}

struct StampCase {
    const char* locale;
    QDateTime time;
    const char* printed;
};

void PrintTo(const StampCase& c, std::ostream* os) {
    *os << c.locale << " at " << c.time.toString(Qt::ISODate).toStdString();
}

class StampTest : public HandlerTest, public ::testing::WithParamInterface<StampCase> {};

TEST_P(StampTest, StampIsTheClockInTheLocalesPicture) {
    const StampCase c = GetParam();
    report.setLocale(QLocale(QString::fromLatin1(c.locale)));
    report.setClock([&c] { return c.time; });
    QString value = "whatever the date field would print";
    report.QRSysData1Print(nullptr, value);
    EXPECT_EQ(value.toStdString(), c.printed);
}

const QDateTime morning(QDate(2026, 12, 11), QTime(9, 5, 59));
const QDateTime evening(QDate(2026, 1, 2), QTime(23, 59));

INSTANTIATE_TEST_SUITE_P(
    Locales, StampTest,
    ::testing::Values(
        StampCase{"C", morning, "2026/12/11-09:05"}, StampCase{"C", evening, "2026/01/02-23:59"},
        StampCase{"en_US", morning, "2026/12/11-09:05"},
        StampCase{"zh_TW", morning, "115/12/11-09:05"},
        StampCase{"zh_TW", QDateTime(QDate(1912, 1, 1), QTime(0, 0)), "1/01/01-00:00"},
        StampCase{"th_TH", morning, "2569/12/11-09:05"},
        StampCase{"ja_JP", morning, "8/12/11-09:05"},
        StampCase{"ja_JP", QDateTime(QDate(2019, 4, 30), QTime(12, 0)), "31/04/30-12:00"},
        StampCase{"ja_JP", QDateTime(QDate(2019, 5, 1), QTime(12, 0)), "1/05/01-12:00"},
        StampCase{"ko_KR", morning, "4359.12.11-09:05"},
        StampCase{"de_DE", morning, "2026.12.11-09:05"},
        StampCase{"fi_FI", morning, "2026.12.11-09.05"},
        StampCase{"nl_NL", morning, "2026-12-11-09:05"},
        StampCase{"zh_CN", morning, "2026/12/11-09:05"}));

TEST_F(HandlerTest, ClockIsReadForEveryStamp) {
    int reads = 0;
    report.setLocale(QLocale::c());
    report.setClock([&reads] { return morning.addSecs(60 * reads++); });
    QString first, second;
    report.QRSysData1Print(nullptr, first);
    report.QRSysData1Print(nullptr, second);
    EXPECT_EQ(reads, 2);
    EXPECT_EQ(first, "2026/12/11-09:05");
    EXPECT_EQ(second, "2026/12/11-09:06");
}

} // namespace
} // namespace bingo::report
