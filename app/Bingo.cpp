// Program entry: the application object, the session, the main window fmBingo, the report
// qr1, the event loop until the main window closes.

#include "AppIcon.h"
#include "app/Application.h"
#include "app/InterfaceFont.h"
#include "app/Session.h"
#include "app/TfmBingo.h"
#include "app/Translations.h"
#include "report/Fonts.h"
#include "report/TimeLocale.h"
#include "report/rpBingo.h"
#include "store/ScratchDirectory.h"

#include <QDateTime>
#include <QPrinterInfo>

int main(int argc, char** argv) {
    using namespace bingo;
    app::Application application(argc, argv);
    app::installTranslations(application);
    app::useInterfaceFont(application);
    report::registerFontSubstitutions();
    application.setWindowIcon(packaging::applicationIcon());
    // The preview is a window of its own; closing the main window ends the program even
    // while a preview is open.
    app::Application::setQuitOnLastWindowClosed(false);

    const preview::ErrorReporter reportError = [&application](const QString& message) {
        application.reportError(message);
    };
    // Declared in this order so that each goes before what it reads: the report reads the
    // session's table, the window drives both.
    app::Session session(store::scratchDirectory(), &cards::RandomSource::fromClock);
    app::TfmBingo fmBingo(session, reportError);
    QObject::connect(&fmBingo, &app::TfmBingo::closed, &application, &app::Application::quit);
    report::Tqr1 qr1(session.table(),
                     {[] { return QDateTime::currentDateTime(); },
                      report::timeLocale(),
                      {reportError, [] { return !QPrinterInfo::availablePrinters().isEmpty(); }}});
    fmBingo.setReport(&qr1);

    fmBingo.show();
    return app::Application::exec();
}
