#include "report/PrintTexts.h"

#include "report/ReportMessages.h"

#include <array>
#include <stdexcept>

namespace bingo::report {
namespace {

// Literal text of a date or time format between the field that starts with one of `first` and
// the next field; quoted parts count as literal, quotes are dropped.
QString separatorAfter(const QString& format, QStringView first) {
    bool inQuote = false;
    bool afterField = false;
    QString literal;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'') {
            if (i + 1 < format.size() && format[i + 1] == u'\'') {
                if (afterField)
                    literal += c;
                ++i;
            } else {
                inQuote = !inQuote;
            }
            continue;
        }
        if (!inQuote && c.isLetter()) {
            if (afterField && !literal.isEmpty())
                return literal;
            if (first.contains(c))
                afterField = true;
            continue;
        }
        if (afterField)
            literal += c;
    }
    return {};
}

// Keeps what shows: drops surrounding blanks and invisible direction marks, which some
// locales put around their separators.
QString visible(const QString& separator, const QString& otherwise) {
    QString result;
    for (const QChar c : separator)
        if (c.category() != QChar::Other_Format)
            result += c;
    result = result.trimmed();
    return result.isEmpty() ? otherwise : result;
}

QString twoDigits(int value) {
    return QString::number(value).rightJustified(2, u'0');
}

int japaneseEraYear(QDate date) {
    // First day of each era, and what its year 1 is short of the Gregorian year.
    static constexpr std::array<std::array<int, 4>, 5> eras{{
        {2019, 5, 1, 2018},   // Reiwa
        {1989, 1, 8, 1988},   // Heisei
        {1926, 12, 25, 1925}, // Showa
        {1912, 7, 30, 1911},  // Taisho
        {1868, 1, 1, 1867},   // Meiji
    }};
    for (const auto& era : eras)
        if (date >= QDate(era[0], era[1], era[2]))
            return date.year() - era[3];
    return 0;
}

} // namespace

QString serialText(const QString& value) {
    bool ok = false;
    const int n = value.toInt(&ok, 10);
    if (!ok)
        throw std::runtime_error(messages::notAnInteger(value).toStdString());
    return QString::number(static_cast<qint64>(n) + 10000).mid(1, 4);
}

TimeStampFormat::TimeStampFormat(const QLocale& locale) {
    const QLocale::Territory territory = locale.territory();
    const QLocale::Language language = locale.language();
    if (language == QLocale::Chinese && territory == QLocale::Taiwan)
        calendar_ = Calendar::Minguo;
    else if (language == QLocale::Thai && territory == QLocale::Thailand)
        calendar_ = Calendar::Buddhist;
    else if (language == QLocale::Japanese && territory == QLocale::Japan)
        calendar_ = Calendar::JapaneseEra;
    else if (language == QLocale::Korean && territory == QLocale::SouthKorea)
        calendar_ = Calendar::Tangun;
    dateSeparator_ = visible(separatorAfter(locale.dateFormat(QLocale::ShortFormat), u"dMy"),
                             QStringLiteral("/"));
    timeSeparator_ = visible(separatorAfter(locale.timeFormat(QLocale::ShortFormat), u"hH"),
                             QStringLiteral(":"));
}

QString TimeStampFormat::year(QDate date) const {
    const int gregorian = date.year();
    int alternate = 0;
    switch (calendar_) {
    case Calendar::Gregorian:
        break;
    case Calendar::Minguo:
        alternate = gregorian - 1911;
        break;
    case Calendar::Buddhist:
        alternate = gregorian + 543;
        break;
    case Calendar::JapaneseEra:
        alternate = japaneseEraYear(date);
        break;
    case Calendar::Tangun:
        alternate = gregorian + 2333;
        break;
    }
    // Before its calendar's first year a date is written in the Gregorian calendar.
    if (alternate >= 1)
        return QString::number(alternate);
    return QString::number(gregorian).rightJustified(4, u'0');
}

QString TimeStampFormat::format(const QDateTime& time) const {
    const QDate date = time.date();
    const QTime clock = time.time();
    return year(date) + dateSeparator_ + twoDigits(date.month()) + dateSeparator_ +
           twoDigits(date.day()) + u'-' + twoDigits(clock.hour()) + timeSeparator_ +
           twoDigits(clock.minute());
}

} // namespace bingo::report
