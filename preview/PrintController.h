#pragma once

#include "preview/Command.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QPrinter;
class QWidget;

namespace bingo::preview {

class PageSource;
class PageView;

/// Runs one print of a preview's pages at a time: a progress window the operator can cancel,
/// the view's rendering paused meanwhile, failures reported once through the error path.
/// A second print asked for during a print is refused; a close asked for during a print
/// happens once the print has ended, however it ends.
class PrintController : public QObject {
    Q_OBJECT
  public:
    enum class Outcome { Printed, Cancelled, Failed, Refused };

    /// window parents the progress window and is closed by closeWhenDone(); view is paused
    /// while printing. Both must outlive the controller (make it the window's child).
    PrintController(QWidget& window, PageView& view, ErrorReporter reportError);
    ~PrintController() override;
    Q_DISABLE_COPY_MOVE(PrintController)

    [[nodiscard]] bool isPrinting() const { return printing_; }

    /// Prints pages as printer is set up (one print plan for every kind of pages), showing
    /// what in its progress window: the pages are written into a temporary PDF, handed to
    /// the printer or file only once whole, and nothing goes out when the print fails or is
    /// cancelled. Returns how it ended; a failure has been reported when it returns Failed.
    Outcome print(PageSource& pages, QPrinter& printer, const QString& what);

    /// Stops the print in progress at its next page and closes the window afterwards.
    void closeWhenDone();

  private:
    QWidget& window_;
    PageView& view_;
    ErrorReporter reportError_;
    bool printing_ = false;
    bool closeWhenDone_ = false;
};

} // namespace bingo::preview
