#pragma once

#include <QString>

class QCoreApplication;

namespace bingo::app {

/// Loads Qt's own Traditional Chinese texts (standard buttons, file and print dialogs) from
/// `directory` (empty: Qt's translations folder) into `application`, which owns the
/// translator, whatever the system's language. False when no translation could be loaded;
/// Qt's texts then stay English.
bool installTranslations(QCoreApplication& application, const QString& directory = {});

} // namespace bingo::app
