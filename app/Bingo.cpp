// Program entry: the application object, the main window fmBingo, the report qr1, the event
// loop until the main window closes.

#include "AppIcon.h"
#include "app/Application.h"
#include "app/FontSubstitutions.h"
#include "app/TfmBingo.h"

int main(int argc, char** argv) {
    bingo::app::Application application(argc, argv);
    bingo::app::registerFontSubstitutions();
    application.setWindowIcon(bingo::packaging::applicationIcon());
    // The preview is a window of its own; closing the main window ends the program even
    // while a preview is open.
    bingo::app::Application::setQuitOnLastWindowClosed(false);

    bingo::app::TfmBingo fmBingo;
    QObject::connect(&fmBingo, &bingo::app::TfmBingo::closed, &application,
                     &bingo::app::Application::quit);
    // REPORT STAGE (pending the report's implementation): create qr1 on fmBingo.tbTmp here
    // and hand it to the window with setReport().

    fmBingo.show();
    return bingo::app::Application::exec();
}
