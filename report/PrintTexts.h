#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace bingo::report {

/// The printed serial: value read as a decimal 32-bit integer n, then characters 2 to 5 of the
/// decimal text of n + 10000 ("7" -> "0007", "12345" -> "2345"). Throws std::runtime_error
/// when value is not such an integer.
[[nodiscard]] QString serialText(const QString& value);

/// The time stamp picture "eee/mm/dd-hh:nn" of one locale: "eee" the year in the locale's
/// alternate calendar (zh_TW Minguo, th_TH Buddhist, ja_JP Japanese era, ko_KR Tangun; else
/// the four-digit Gregorian year), "/" and ":" the separators of its short date and time
/// formats, the rest two-digit month, day, 24-hour hour and minute.
class TimeStampFormat {
  public:
    explicit TimeStampFormat(const QLocale& locale);

    [[nodiscard]] QString format(const QDateTime& time) const;
    /// The year as "eee" prints it.
    [[nodiscard]] QString year(QDate date) const;
    [[nodiscard]] const QString& dateSeparator() const { return dateSeparator_; }
    [[nodiscard]] const QString& timeSeparator() const { return timeSeparator_; }

  private:
    enum class Calendar { Gregorian, Minguo, Buddhist, JapaneseEra, Tangun };
    Calendar calendar_ = Calendar::Gregorian;
    QString dateSeparator_;
    QString timeSeparator_;
};

} // namespace bingo::report
