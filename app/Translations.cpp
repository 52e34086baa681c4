#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace bingo::app {

bool installTranslations(QCoreApplication& application, const QString& directory) {
    const QString folder =
        directory.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : directory;
    // The window is Chinese by design, so Qt's dialogs are too, under any system locale.
    const QLocale chinese(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan);
    // "qt" names the catalogue that pulls in qtbase and its siblings; qtbase alone serves too.
    for (const QString& name : {QStringLiteral("qt"), QStringLiteral("qtbase")}) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(chinese, name, QStringLiteral("_"), folder)) {
            translator->setParent(&application);
            QCoreApplication::installTranslator(translator.release());
            return true;
        }
    }
    return false;
}

} // namespace bingo::app
