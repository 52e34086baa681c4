#include "app/Application.h"

#include "app/AppMessages.h"
#include "app/ErrorBox.h"
#include "app/SilentAbort.h"

#include <QFileInfo>
#include <QMessageBox>
#include <exception>

namespace bingo::app {

namespace {

void execErrorBox(QMessageBox& box) {
    box.exec();
}

} // namespace

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv), presenter_(execErrorBox) {
    QString program = applicationFilePath();
    if (program.isEmpty() && argc > 0)
        program = QString::fromLocal8Bit(argv[0]);
    title_ = titleFor(program);
}

Application::~Application() = default;

QString Application::titleFor(const QString& programPath) {
    const QString name = QFileInfo(programPath).fileName();
    const QString base = name.left(name.indexOf(u'.'));
    if (base.isEmpty())
        return base;
    return base.front() + base.mid(1).toLower();
}

void Application::setErrorPresenter(ErrorPresenter presenter) {
    presenter_ = presenter ? std::move(presenter) : ErrorPresenter(execErrorBox);
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const SilentAbort&) {
    } catch (const std::exception& error) {
        reportError(QString::fromUtf8(error.what()));
    } catch (...) {
        reportError(messages::unexpectedError());
    }
    return false;
}

void Application::reportError(const QString& message) {
    const std::unique_ptr<QMessageBox> box = createErrorBox(title_, message);
    presenter_(*box);
}

} // namespace bingo::app
