#pragma once

#include "preview/Command.h"
#include "preview/PageSource.h"

#include <QFileDialog>
#include <QKeySequence>
#include <QList>
#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QIcon;
class QLabel;
class QPrinter;
class QSpinBox;

namespace bingo::preview {

class PageView;
class PrintController;

/// What the preview needs from the program around it.
struct PreviewContext {
    /// Shows a command's failure once (the application's error box).
    ErrorReporter reportError;
    /// Whether any printer is installed; printing says so and does nothing when none is.
    std::function<bool()> printerInstalled;
};

/// The print preview: shows the pages of a PageSource, pages and zooms through them, saves
/// them as PDF, loads a saved PDF, and prints. Each command catches its own failure and hands
/// it to the context's error path. Its owner deletes it after closed(); its pages (and a layout
/// still in progress) go with it.
///
/// It is captioned "Bingo" and shows maximised, at 100 % on page 1, restoring to three quarters
/// of its screen, centred; its commands are QActions found by object name: actionZoomFit,
/// actionZoom100, actionZoomWidth, actionZoomIn, actionZoomOut, actionFirstPage,
/// actionPreviousPage, actionNextPage, actionLastPage, actionPrinterSetup, actionPrint,
/// actionSave, actionLoad, actionClose. The toolbar's "zoomBox" shows and takes the zoom.
class PreviewWindow : public QMainWindow {
    Q_OBJECT
  public:
    PreviewWindow(std::unique_ptr<PageSource> pages, PreviewContext context,
                  QWidget* parent = nullptr);
    ~PreviewWindow() override;
    Q_DISABLE_COPY_MOVE(PreviewWindow)

    [[nodiscard]] PageSource& pages() const;
    [[nodiscard]] PageView& view() const;
    [[nodiscard]] PrintController& printController() const;

    /// Writes the pages on display as a PDF at path; throws std::runtime_error and leaves
    /// no file under that name when it cannot.
    void saveTo(const QString& path);
    /// Shows the PDF at path instead of the pages on display, whose layout stops; the caption
    /// ("Bingo — name.pdf") and the status line then name the file. Throws std::runtime_error
    /// naming the file and the reason, leaving the preview as it was.
    void loadFrom(const QString& path);

    /// Asks the user for the file to save to or to load, suggesting a name; empty when the
    /// user cancels.
    using FileChooser = std::function<QString(QFileDialog::AcceptMode mode, const QString& name)>;
    /// Replaces the file dialog of the save and load commands (tests answer for the user).
    void setFileChooser(FileChooser chooser);

    /// The commands behind the toolbar; a failure goes to the error path, once.
    void zoomToFit();
    void zoomTo100();
    void zoomToWidth();
    /// One zoom step in or out, as a notch of the wheel with Ctrl held.
    void zoomIn();
    void zoomOut();
    void firstPage();
    void previousPage();
    void nextPage();
    void lastPage();
    /// Chooses the printer, its copies and page range; only once the layout is complete.
    void printerSetup();
    /// Prints onto the printer set up, else the default printer; only once the layout is
    /// complete. Says so in the status line, and does nothing, when there is no printer.
    void print();
    void save();
    void load();

  Q_SIGNALS:
    /// The window has accepted closing and is hidden; its owner may delete it from now on.
    void closed();
    /// A loaded PDF now shows in place of the pages before, which are gone.
    void pagesReplaced();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void createActions();
    void createToolBar();
    void createStatusBar();
    QAction* addCommand(const char* name, const QIcon& icon, const QString& text,
                        const QList<QKeySequence>& keys, void (PreviewWindow::*command)());
    void updateStatus();
    void updateZoomChecks();
    void showZoomInBox();
    /// Zooms to the box's choice, or to the percentage typed into it; other text reverts.
    void takeZoomFromBox(const QString& text);
    /// Whether a print may start now; says so in the status line when no printer is installed.
    [[nodiscard]] bool canPrint();
    QPrinter& printer();
    [[nodiscard]] QString askFileName(QFileDialog::AcceptMode mode, const QString& name);
    void reportFailure(const QString& headline, const QString& path, const std::exception& error);
    void layoutFailed(const QString& message);
    /// The caption the pages were shown under before a file was loaded: the print job's name.
    [[nodiscard]] QString baseTitle() const;
    void renderFailed(const QString& message);

    std::unique_ptr<PageSource> pages_;
    PreviewContext context_;
    PageView* view_ = nullptr;
    PrintController* printController_ = nullptr;
    QAction* zoomFit_ = nullptr;
    QAction* zoom100_ = nullptr;
    QAction* zoomWidth_ = nullptr;
    QAction* zoomIn_ = nullptr;
    QAction* zoomOut_ = nullptr;
    QAction* firstPage_ = nullptr;
    QAction* previousPage_ = nullptr;
    QAction* nextPage_ = nullptr;
    QAction* lastPage_ = nullptr;
    QAction* printerSetup_ = nullptr;
    QAction* print_ = nullptr;
    QAction* save_ = nullptr;
    QAction* load_ = nullptr;
    QAction* close_ = nullptr;
    QComboBox* zoomBox_ = nullptr;
    QSpinBox* pageBox_ = nullptr;
    QLabel* pageBoxCount_ = nullptr;
    QLabel* pageStatus_ = nullptr;
    QLabel* progressStatus_ = nullptr;
    QLabel* zoomStatus_ = nullptr;
    std::unique_ptr<QPrinter> printer_;
    QString lastDirectory_;
    FileChooser chooseFile_;
    bool renderFailureShown_ = false;
    QString baseTitle_;
    QString loadedFile_; // the file shown, "" for the pages the window opened with
};

} // namespace bingo::preview
