#pragma once

#include <QLocale>

namespace bingo::report {

/// The locale of the time category: the first set and non-empty of LC_ALL, LC_TIME, LANG
/// (QLocale::system() takes LC_MESSAGES for its name, not LC_TIME). "C", "POSIX" or none
/// give QLocale::c(); "zh_TW.UTF-8@euro" forms are read as "zh_TW".
[[nodiscard]] QLocale timeLocale();

/// timeLocale() for given values of LC_ALL, LC_TIME and LANG; nullptr stands for unset.
[[nodiscard]] QLocale timeLocaleFrom(const char* lcAll, const char* lcTime, const char* lang);

} // namespace bingo::report
