// Program entry: the application object, the main window fmBingo, the report qr1, the event
// loop until the main window closes.

#include "AppIcon.h"
#include "app/Application.h"
#include "app/TfmBingo.h"
#include "report/Fonts.h"
#include "report/rpBingo.h"

int main(int argc, char** argv) {
    bingo::app::Application application(argc, argv);
    bingo::report::registerFontSubstitutions();
    application.setWindowIcon(bingo::packaging::applicationIcon());
    // The preview is a window of its own; closing the main window ends the program even
    // while a preview is open.
    bingo::app::Application::setQuitOnLastWindowClosed(false);

    bingo::app::TfmBingo fmBingo;
    QObject::connect(&fmBingo, &bingo::app::TfmBingo::closed, &application,
                     &bingo::app::Application::quit);
    // Declared after the window, so it is destroyed first: it reads the window's card table.
    bingo::report::Tqr1 qr1(fmBingo.tbTmp);
    fmBingo.setReport(&qr1);

    fmBingo.show();
    return bingo::app::Application::exec();
}
