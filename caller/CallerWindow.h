#pragma once

#include "caller/GameSession.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QVBoxLayout;

namespace bingo::report {
class BandPainter;
struct ReportLayout;
} // namespace bingo::report

namespace bingo::caller {

class BoardWidget;
class TableWatcher;

/// The caller's window: the board, the call box, the game's pattern, the cards that have just
/// won, and the check of a claimed card by its serial. It wires keys to the session and shows
/// what the session returns; it computes nothing itself.
class CallerWindow : public QMainWindow {
    Q_OBJECT

  public:
    /// Shows a failure that stops a command (the program's error box by default).
    using ErrorSink = std::function<void(const QString& message)>;
    /// Asks the operator to confirm; true for yes (a question box by default).
    using Confirm = std::function<bool(const QString& question)>;

    /// scratchDirectory: where the table is watched, for a game on the table (empty: none).
    CallerWindow(std::unique_ptr<GameSession> session, std::filesystem::path scratchDirectory,
                 QString title, QWidget* parent = nullptr);
    ~CallerWindow() override;
    Q_DISABLE_COPY_MOVE(CallerWindow)

    void setErrorSink(ErrorSink sink) { errorSink_ = std::move(sink); }
    void setConfirm(Confirm confirm) { confirm_ = std::move(confirm); }

    [[nodiscard]] const GameSession& session() const noexcept { return *session_; }
    /// The text of the in-window message line (refusals, resumes, table changes).
    [[nodiscard]] QString message() const;
    [[nodiscard]] QString winners() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    /// While the board is shown alone, the keys still call: digits, Backspace and Enter go to
    /// the hidden call box.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void createWidgets();
    void createActions();
    void callTyped();
    void draw();
    void undo();
    void checkTyped();
    void newGame();
    void toggleFullScreen();
    void focusSerial();
    void escape();
    void patternChosen(int index);
    void rangeChosen(int range);
    void tableChanged();
    void refresh();
    void showCheck(const CheckResult& result);
    void say(const QString& text, bool warning = false);
    void refuse(const QString& text);
    void fail(const QString& text);

    std::unique_ptr<GameSession> session_;
    QString title_;
    std::shared_ptr<const report::ReportLayout> layout_;
    std::unique_ptr<report::BandPainter> painter_;
    ErrorSink errorSink_;
    Confirm confirm_;

    BoardWidget* board_ = nullptr;
    QWidget* side_ = nullptr;
    QLineEdit* callBox_ = nullptr;
    QLineEdit* serialBox_ = nullptr;
    QComboBox* patternBox_ = nullptr;
    QSpinBox* rangeBox_ = nullptr;
    QLabel* message_ = nullptr;
    QLabel* winners_ = nullptr;
    QVBoxLayout* checkLayout_ = nullptr;
    QLabel* sourceLabel_ = nullptr;
    TableWatcher* watcher_ = nullptr;
};

} // namespace bingo::caller
