#pragma once

#include "cards/JobStamp.h"
#include "preview/Command.h"
#include "store/CardTable.h"

#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

class QLabel;
class QProgressBar;

namespace Ui {
class fmBingo;
}

namespace bingo::report {
class Tqr1;
}

namespace bingo::app {

class BitButton;
class Session;
class SpinEdit;

/// The main window fmBingo: the number range and the sheet count, the live card count, the
/// progress bar and the Print and Close buttons. Print empties the card table, fills it with
/// freshly drawn cards and hands them to the report's preview. Closing the window emits
/// closed(), on which the application ends. Its components are found by their object names.
class TfmBingo : public QWidget {
    Q_OBJECT

  public:
    /// The window drives session's table and random source; a failed Print goes to
    /// reportError, once. session must outlive the window.
    TfmBingo(Session& session, preview::ErrorReporter reportError, QWidget* parent = nullptr);
    ~TfmBingo() override;
    Q_DISABLE_COPY_MOVE(TfmBingo)

    /// The report whose preview ends each job; not owned, must outlive its use here or be
    /// reset to nullptr. Without one a job ends once the cards are stored.
    void setReport(report::Tqr1* report) noexcept { qr1_ = report; }

    /// Creation handler: seeds the random source, sets TempDir and points tbTmp at it.
    void FormCreate();
    /// Change handler of se2: lbPaper shows six cards per sheet.
    void se2Change();
    /// The print job: prepare the table, draw the cards, show the preview. Exceptions propagate
    /// (the Print button's slot reports them).
    void btnPrintClick();
    /// The job the table holds since the last Print that stored its cards, if any.
    [[nodiscard]] const std::optional<cards::JobStamp>& lastJob() const noexcept {
        return lastJob_;
    }

  Q_SIGNALS:
    /// The window has been closed.
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // The form description; first, so that the components below can be taken from it.
    std::unique_ptr<Ui::fmBingo> ui_;
    Session& session_;

    // The form's components, in the form's order. The widgets belong to the window, the table
    // to the session.
    QLabel* const Label1;
    SpinEdit* const se1;
    QLabel* const Label2;
    SpinEdit* const se2;
    QLabel* const Label3;
    BitButton* const BitBtn1;
    BitButton* const btnPrint;
    store::CardTable& tbTmp;
    QProgressBar* const pb1;
    QLabel* const lbPaper;

    void CreateCardTable();
    void PrepareCardTable();
    void GenerateCards();

    void sizeLabelsToText();
    void centreOnScreen();

    QString TempDir;
    preview::ErrorReporter reportError_;
    report::Tqr1* qr1_ = nullptr;
    std::optional<cards::JobStamp> lastJob_;
};

} // namespace bingo::app
