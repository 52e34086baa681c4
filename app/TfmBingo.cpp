#include "app/TfmBingo.h"

#include "app/BitButton.h"
#include "app/ProgressBarSink.h"
#include "app/Session.h"
#include "app/SpinEdit.h"
#include "cards/CardGenerator.h"
#include "report/rpBingo.h"
#include "ui_fmBingo.h"

#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <filesystem>

// The button pictures live in this library's resources; a static library needs them
// registered by hand, and Q_INIT_RESOURCE only works outside a namespace.
static void initAppResources() {
    Q_INIT_RESOURCE(bingo_app);
}

namespace bingo::app {

namespace {

std::unique_ptr<Ui::fmBingo> createForm(QWidget& window) {
    initAppResources();
    auto form = std::make_unique<Ui::fmBingo>();
    form->setupUi(&window);
    return form;
}

} // namespace

TfmBingo::TfmBingo(Session& session, preview::ErrorReporter reportError, QWidget* parent)
    : QWidget(parent), ui_(createForm(*this)), session_(session), Label1(ui_->Label1),
      se1(ui_->se1), Label2(ui_->Label2), se2(ui_->se2), Label3(ui_->Label3), BitBtn1(ui_->BitBtn1),
      btnPrint(ui_->btnPrint), tbTmp(session.table()), pb1(ui_->pb1), lbPaper(ui_->lbPaper),
      reportError_(std::move(reportError)) {
    sizeLabelsToText();
    connect(se2, &SpinEdit::changed, this, &TfmBingo::se2Change);
    connect(btnPrint, &QPushButton::clicked, this,
            [this] { preview::runCommand(reportError_, [this] { btnPrintClick(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, &QWidget::close);
    // The window opens with the focus in the number range, its text selected for typing.
    se1->setFocus();
    se1->selectAll();
    centreOnScreen();
    FormCreate();
}

TfmBingo::~TfmBingo() = default;

void TfmBingo::FormCreate() {
    session_.seedRandom();
    const std::filesystem::path& directory = session_.scratchDirectory();
    TempDir = QFile::decodeName(directory.c_str());
    tbTmp.setDirectory(directory);
    tbTmp.setTableName("tmpBingo");
}

void TfmBingo::se2Change() {
    // In 64 bits, so that a pasted value far out of bounds shows its real count.
    const qint64 cards = qint64{se2->value()} * cards::CardsPerSheet;
    lbPaper->setText(QStringLiteral("共") + QString::number(cards) + QStringLiteral("張彩卷"));
    lbPaper->adjustSize();
}

void TfmBingo::btnPrintClick() {
    // A Print key pressed while a field is still being typed in commits that text as leaving
    // the field would, so a job never starts with a range below 25 or a negative sheet count.
    se1->commit();
    se2->commit();
    // The table must not be emptied while an earlier preview's layout still reads it.
    if (qr1_ != nullptr)
        qr1_->closePreview();
    PrepareCardTable();
    GenerateCards();
    if (qr1_ != nullptr) {
        qr1_->setJob(lastJob_);
        qr1_->Preview();
    }
}

void TfmBingo::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->isAccepted())
        Q_EMIT closed();
}

void TfmBingo::keyPressEvent(QKeyEvent* event) {
    // A letter that no control took (typed on a button, or with Alt and Shift) is a mnemonic.
    if (BitButton::clickMnemonic(*this, *event)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TfmBingo::CreateCardTable() {
    tbTmp.create();
}

void TfmBingo::PrepareCardTable() {
    if (!tbTmp.fileExists())
        CreateCardTable();
    // Close, empty and open, with the emptying and the opening on one connection.
    tbTmp.prepare();
}

void TfmBingo::GenerateCards() {
    ProgressBarSink progress(*pb1);
    lastJob_.reset();
    const int range = se1->value();
    const int sheets = se2->value();
    // The state before the first draw and the digest of what was stored rebuild this job.
    const std::uint32_t seed = session_.random().seed();
    cards::DigestingSink stored(tbTmp);
    // One transaction for the whole job.
    store::CardTable::Batch batch(tbTmp);
    cards::CardGenerator generator(session_.random(), stored, progress);
    try {
        generator.generate(range, sheets);
    } catch (...) {
        // A job that fails part-way keeps the cards it stored, until the next job empties the
        // table, as when every card was written on its own; its error is still the one shown.
        batch.keepStored();
        throw;
    }
    batch.commit();
    lastJob_ = cards::JobStamp{seed, range, sheets, stored.digest()};
}

void TfmBingo::sizeLabelsToText() {
    // Labels size to their text, growing to the right of their left edge.
    for (QLabel* label : {Label1, Label2, Label3, lbPaper})
        label->adjustSize();
}

void TfmBingo::centreOnScreen() {
    if (const QScreen* display = screen())
        move(display->availableGeometry().center() - rect().center());
}

} // namespace bingo::app
