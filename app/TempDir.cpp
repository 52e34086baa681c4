#include "app/TempDir.h"

#include <QDir>

namespace bingo::app {

QString tempDirectory() {
    const QString temp = qEnvironmentVariable("TEMP");
    if (!temp.isEmpty())
        return temp;
    // A relative XDG_CACHE_HOME is invalid by the XDG rules and is ignored.
    const QString xdgCache = qEnvironmentVariable("XDG_CACHE_HOME");
    const QString cache =
        QDir::isAbsolutePath(xdgCache) ? xdgCache : QDir::homePath() + QStringLiteral("/.cache");
    const QString directory = cache + QStringLiteral("/bingo");
    QDir().mkpath(directory);
    return directory;
}

} // namespace bingo::app
