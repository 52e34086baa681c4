#pragma once

#include <QApplication>
#include <QString>
#include <functional>

class QMessageBox;

namespace bingo::app {

/// The application object: its error box is where every failed command is shown.
class Application : public QApplication {
    Q_OBJECT

  public:
    /// Shows the error box built for one error. The default runs it modally.
    using ErrorPresenter = std::function<void(QMessageBox& box)>;

    Application(int& argc, char** argv);
    ~Application() override;
    Q_DISABLE_COPY_MOVE(Application)

    /// The title of the program's message boxes, titleFor() the program file.
    [[nodiscard]] QString title() const { return title_; }
    /// The file's name without folder and without anything from its first ".", every letter
    /// after the first in lower case: "/usr/bin/bingo" gives "bingo", "BINGO.EXE" "Bingo".
    [[nodiscard]] static QString titleFor(const QString& programPath);

    /// Replaces the way the error box is shown (nullptr: the default); tests record the box
    /// instead of running it.
    void setErrorPresenter(ErrorPresenter presenter);

    /// Shows message in the error box, once: the one way a failed command reaches the operator.
    void reportError(const QString& message);

    /// Delivers the event. The commands catch their own failures; an exception that still
    /// escapes a handler is a fault, shown as a last resort; the event then counts as not
    /// handled.
    bool notify(QObject* receiver, QEvent* event) override;

  private:
    QString title_;
    ErrorPresenter presenter_;
};

} // namespace bingo::app
