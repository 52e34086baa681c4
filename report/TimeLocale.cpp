#include "report/TimeLocale.h"

#include <QString>
#include <cstdlib>

namespace bingo::report {

QLocale timeLocaleFrom(const char* lcAll, const char* lcTime, const char* lang) {
    const char* chosen = nullptr;
    for (const char* value : {lcAll, lcTime, lang}) {
        if (value != nullptr && *value != '\0') {
            chosen = value;
            break;
        }
    }
    if (chosen == nullptr)
        return QLocale::c();
    QString name = QString::fromLatin1(chosen);
    // language[_territory][.codeset][@modifier]: QLocale wants language_territory.
    name.truncate(name.indexOf(u'@') < 0 ? name.size() : name.indexOf(u'@'));
    name.truncate(name.indexOf(u'.') < 0 ? name.size() : name.indexOf(u'.'));
    if (name.isEmpty() || name == u"C" || name == u"POSIX")
        return QLocale::c();
    return QLocale(name);
}

QLocale timeLocale() {
    return timeLocaleFrom(std::getenv("LC_ALL"), std::getenv("LC_TIME"), std::getenv("LANG"));
}

} // namespace bingo::report
