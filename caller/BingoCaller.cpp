// Program entry: the cards of the last job (or of a saved PDF), the game on them, the window.

#include "app/Application.h"
#include "app/ErrorBox.h"
#include "app/InterfaceFont.h"
#include "app/Translations.h"
#include "caller/CallerMessages.h"
#include "caller/CallerWindow.h"
#include "caller/CardSource.h"
#include "report/Fonts.h"
#include "store/ScratchDirectory.h"

#include <QIcon>
#include <QMessageBox>
#include <QStringList>
#include <cstdlib>

namespace {

/// $XDG_DATA_HOME/bingo/games, else ~/.local/share/bingo/games.
std::filesystem::path recordDirectory() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data == '/')
        return std::filesystem::path(data) / "bingo" / "games";
    return bingo::store::homeDirectory() / ".local" / "share" / "bingo" / "games";
}

int showFatal(const QString& title, const QString& message) {
    const std::unique_ptr<QMessageBox> box = bingo::app::createErrorBox(title, message);
    box->exec();
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    bingo::app::Application application(argc, argv);
    bingo::app::installTranslations(application);
    bingo::app::useInterfaceFont(application);
    bingo::report::registerFontSubstitutions();
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/bingo-caller-48.png"));
    icon.addFile(QStringLiteral(":/icons/bingo-caller-256.png"));
    application.setWindowIcon(icon);
    const QString title = application.title();

    const QStringList arguments = bingo::app::Application::arguments().mid(1);
    if (arguments.size() > 1)
        return showFatal(title, bingo::caller::messages::usage());

    std::filesystem::path scratch;
    bingo::caller::CardSet cards;
    try {
        if (arguments.isEmpty()) {
            scratch = bingo::store::scratchDirectory();
            cards = bingo::caller::loadTableCards(scratch);
        } else {
            cards = bingo::caller::loadPdfCards(arguments.front());
        }
    } catch (const std::exception& error) {
        return showFatal(title, QString::fromUtf8(error.what()));
    }

    std::unique_ptr<bingo::caller::CallerWindow> window;
    try {
        window = std::make_unique<bingo::caller::CallerWindow>(
            std::make_unique<bingo::caller::GameSession>(std::move(cards), recordDirectory()),
            scratch, title);
    } catch (const std::exception& error) {
        return showFatal(title, QString::fromUtf8(error.what()));
    }
    window->show();
    return bingo::app::Application::exec();
}
