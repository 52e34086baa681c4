#include "preview/PreviewWindow.h"

#include "preview/PageView.h"
#include "preview/PdfPageSource.h"
#include "preview/PreviewIcons.h"
#include "preview/PrintController.h"
#include "preview/PrintPlan.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <cmath>
#include <utility>

namespace bingo::preview {

namespace {

constexpr int MessageMs = 8000;

QString keyList(const QList<QKeySequence>& keys) {
    QStringList names;
    for (const QKeySequence& key : keys)
        names << key.toString(QKeySequence::NativeText);
    return names.join(QStringLiteral("、"));
}

// The zoom box's choices besides its percentages, told apart by their item data.
constexpr int FitPageChoice = -1;
constexpr int FitWidthChoice = -2;
constexpr int ZoomBoxPercents[] = {25, 50, 75, 100, 125, 150, 200, 300, 400};

QString percentText(double zoom) {
    return QStringLiteral("%1 %").arg(qRound(zoom * 100));
}

// "150", "150 %", "150%" or "150％" as a zoom factor; 0 for anything else.
double parsePercent(QString text) {
    text = text.trimmed();
    if (text.endsWith(u'%') || text.endsWith(u'％'))
        text.chop(1);
    bool ok = false;
    const double percent = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(percent) ? percent / 100 : 0;
}

} // namespace

PreviewWindow::PreviewWindow(std::unique_ptr<PageSource> pages, PreviewContext context,
                             QWidget* parent)
    : QMainWindow(parent), pages_(std::move(pages)), context_(std::move(context)) {
    setWindowTitle(QStringLiteral("Bingo"));
    // Maximising records the geometry it has as the one to restore to, so set that first.
    const QRect screenArea = screen()->availableGeometry();
    QRect normal(0, 0, screenArea.width() * 3 / 4, screenArea.height() * 3 / 4);
    normal.moveCenter(screenArea.center());
    setGeometry(normal);
    // Set before showing, so that show() as well as showMaximized() opens it maximised.
    setWindowState(Qt::WindowMaximized);
    view_ = new PageView(this);
    setCentralWidget(view_);
    printController_ = new PrintController(*this, *view_, context_.reportError);
    createActions();
    createToolBar();
    createStatusBar();
    // Through the view, which has laid out the new pages by the time it tells.
    connect(view_, &PageView::currentPageChanged, this, &PreviewWindow::updateStatus);
    connect(view_, &PageView::pagesChanged, this, &PreviewWindow::updateStatus);
    connect(view_, &PageView::zoomChanged, this, &PreviewWindow::updateZoomChecks);
    connect(view_, &PageView::renderFailed, this, &PreviewWindow::renderFailed);
    connect(pages_.get(), &PageSource::failed, this, &PreviewWindow::layoutFailed);
    view_->setSource(pages_.get());
    view_->setFocus();
    chooseFile_ = [this](QFileDialog::AcceptMode mode, const QString& name) {
        return askFileName(mode, name);
    };
    updateZoomChecks();
    updateStatus();
}

PreviewWindow::~PreviewWindow() {
    // The view lets go of the pages before they go.
    disconnect(view_, nullptr, this, nullptr);
    view_->setSource(nullptr);
}

PageSource& PreviewWindow::pages() const {
    return *pages_;
}

PageView& PreviewWindow::view() const {
    return *view_;
}

PrintController& PreviewWindow::printController() const {
    return *printController_;
}

void PreviewWindow::saveTo(const QString& path) {
    pages_->savePdf(path);
    lastDirectory_ = QFileInfo(path).absolutePath();
}

void PreviewWindow::loadFrom(const QString& path) {
    auto loaded = std::make_unique<PdfPageSource>(path);
    lastDirectory_ = QFileInfo(path).absolutePath();
    const QString title = baseTitle();
    loadedFile_ = QFileInfo(path).fileName();
    baseTitle_ = title;
    setWindowTitle(title + QStringLiteral(" — ") + loadedFile_);
    view_->setSource(loaded.get());
    connect(loaded.get(), &PageSource::failed, this, &PreviewWindow::layoutFailed);
    // Deleted from the event loop: the layout being replaced may be the code that is running
    // the event loop this command came from.
    std::exchange(pages_, std::move(loaded)).release()->deleteLater();
    updateStatus();
    Q_EMIT pagesReplaced();
}

void PreviewWindow::setFileChooser(FileChooser chooser) {
    chooseFile_ = std::move(chooser);
}

void PreviewWindow::zoomToFit() {
    view_->setZoomMode(PageView::ZoomMode::FitPage);
    // Triggering the checked command unchecks it, though its zoom stays.
    updateZoomChecks();
}

void PreviewWindow::zoomTo100() {
    view_->setZoom(1.0);
    updateZoomChecks();
}

void PreviewWindow::zoomToWidth() {
    view_->setZoomMode(PageView::ZoomMode::FitWidth);
    updateZoomChecks();
}

void PreviewWindow::zoomIn() {
    view_->zoomBy(1);
}

void PreviewWindow::zoomOut() {
    view_->zoomBy(-1);
}

void PreviewWindow::firstPage() {
    view_->goToPage(0);
}

void PreviewWindow::previousPage() {
    view_->goToPage(view_->currentPage() - 1);
}

void PreviewWindow::nextPage() {
    view_->goToPage(view_->currentPage() + 1);
}

void PreviewWindow::lastPage() {
    view_->goToPage(view_->pageCount() - 1);
}

void PreviewWindow::printerSetup() {
    if (!canPrint())
        return;
    QPrintDialog dialog(&printer(), this);
    dialog.setWindowTitle(tr("印表機設定"));
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintCollateCopies |
                      QAbstractPrintDialog::PrintShowPageSize);
    dialog.setMinMax(1, std::max(1, pages_->pageCount()));
    // The dialog only chooses here; printing is the toolbar's other command.
    for (auto* buttons : dialog.findChildren<QDialogButtonBox*>()) {
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(tr("確定"));
    }
    const QString printerBefore = printer().printerName();
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Choosing another queue takes on its default sides; only a choice that differs from
    // that default is the operator's own.
    QPrinter& chosen = printer();
    if (chosen.printerName() != printerBefore && chosen.outputFormat() == QPrinter::NativeFormat &&
        chosen.duplex() == QPrinterInfo(chosen).defaultDuplexMode())
        chosen.setDuplex(QPrinter::DuplexNone);
    statusBar()->showMessage(tr("列印時使用印表機「%1」。").arg(chosen.printerName()), MessageMs);
}

void PreviewWindow::print() {
    if (!canPrint())
        return;
    QPrinter& target = printer();
    if (target.outputFormat() == QPrinter::NativeFormat && target.printerName().isEmpty()) {
        statusBar()->showMessage(tr("沒有預設印表機：請先以「印表機設定」選擇印表機。"));
        return;
    }
    target.setDocName(baseTitle());
    switch (printController_->print(*pages_, target, windowTitle())) {
    case PrintController::Outcome::Printed:
        statusBar()->showMessage(tr("已送往印表機。"), MessageMs);
        break;
    case PrintController::Outcome::Cancelled:
        statusBar()->showMessage(tr("列印已取消。"), MessageMs);
        break;
    case PrintController::Outcome::Failed:
        statusBar()->showMessage(tr("列印失敗。"), MessageMs);
        break;
    case PrintController::Outcome::Refused:
        break;
    }
}

void PreviewWindow::save() {
    const QString path =
        chooseFile_(QFileDialog::AcceptSave, windowTitle() + QStringLiteral(".pdf"));
    if (path.isEmpty())
        return;
    try {
        saveTo(path);
    } catch (const std::exception& error) {
        reportFailure(tr("無法儲存「%1」。"), path, error);
        return;
    }
    const QString name = QFileInfo(path).fileName();
    if (pages_->isComplete())
        statusBar()->showMessage(tr("已儲存「%1」。").arg(name), MessageMs);
    else if (!pages_->failure().isEmpty())
        statusBar()->showMessage(
            tr("已儲存「%1」，只含排好的 %2 頁：排版沒有完成。").arg(name).arg(pages_->pageCount()),
            MessageMs);
    else
        statusBar()->showMessage(
            tr("已儲存「%1」，只含排好的 %2 頁：排版尚未完成。").arg(name).arg(pages_->pageCount()),
            MessageMs);
}

void PreviewWindow::load() {
    const QString path = chooseFile_(QFileDialog::AcceptOpen, {});
    if (path.isEmpty())
        return;
    try {
        loadFrom(path);
    } catch (const std::exception& error) {
        reportFailure(tr("無法載入「%1」。"), path, error);
        return;
    }
    statusBar()->showMessage(tr("已載入「%1」。").arg(QFileInfo(path).fileName()), MessageMs);
}

void PreviewWindow::closeEvent(QCloseEvent* event) {
    if (printController_->isPrinting()) {
        // Printing runs inside this window's command; it stops at the next page, then closes.
        printController_->closeWhenDone();
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        Q_EMIT closed();
}

void PreviewWindow::createActions() {
    const auto key = [](QKeyCombination combination) { return QKeySequence(combination); };
    zoomFit_ = addCommand("actionZoomFit", previewIcon(PreviewIcon::ZoomFit), tr("整頁"), {},
                          &PreviewWindow::zoomToFit);
    zoom100_ =
        addCommand("actionZoom100", previewIcon(PreviewIcon::Zoom100), tr("實際大小 (100 %)"),
                   {key(Qt::ControlModifier | Qt::Key_0)}, &PreviewWindow::zoomTo100);
    zoomWidth_ = addCommand("actionZoomWidth", previewIcon(PreviewIcon::ZoomWidth), tr("符合頁寬"),
                            {}, &PreviewWindow::zoomToWidth);
    auto* zoomGroup = new QActionGroup(this);
    zoomGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction* zoom : {zoomFit_, zoom100_, zoomWidth_}) {
        zoom->setCheckable(true);
        zoomGroup->addAction(zoom);
    }
    // Shifted or not, and on the keypad, whatever the keyboard makes of plus and minus.
    zoomIn_ = addCommand("actionZoomIn", {}, tr("放大"),
                         {key(Qt::ControlModifier | Qt::Key_Plus),
                          key(Qt::ControlModifier | Qt::Key_Equal),
                          key(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Plus)},
                         &PreviewWindow::zoomIn);
    zoomOut_ = addCommand("actionZoomOut", {}, tr("縮小"),
                          {key(Qt::ControlModifier | Qt::Key_Minus),
                           key(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Minus)},
                          &PreviewWindow::zoomOut);
    firstPage_ = addCommand("actionFirstPage", previewIcon(PreviewIcon::FirstPage), tr("第一頁"),
                            {key(Qt::Key_Home), key(Qt::ControlModifier | Qt::Key_PageUp),
                             key(Qt::ControlModifier | Qt::Key_Home)},
                            &PreviewWindow::firstPage);
    previousPage_ = addCommand("actionPreviousPage", previewIcon(PreviewIcon::PreviousPage),
                               tr("上一頁"), {key(Qt::Key_PageUp)}, &PreviewWindow::previousPage);
    nextPage_ = addCommand("actionNextPage", previewIcon(PreviewIcon::NextPage), tr("下一頁"),
                           {key(Qt::Key_PageDown)}, &PreviewWindow::nextPage);
    lastPage_ = addCommand("actionLastPage", previewIcon(PreviewIcon::LastPage), tr("最後一頁"),
                           {key(Qt::Key_End), key(Qt::ControlModifier | Qt::Key_PageDown),
                            key(Qt::ControlModifier | Qt::Key_End)},
                           &PreviewWindow::lastPage);
    printerSetup_ = addCommand("actionPrinterSetup", previewIcon(PreviewIcon::PrinterSetup),
                               tr("印表機設定"), {}, &PreviewWindow::printerSetup);
    print_ = addCommand("actionPrint", previewIcon(PreviewIcon::Print), tr("列印"),
                        {key(Qt::ControlModifier | Qt::Key_P)}, &PreviewWindow::print);
    save_ = addCommand("actionSave", previewIcon(PreviewIcon::Save), tr("儲存"),
                       {key(Qt::ControlModifier | Qt::Key_S)}, &PreviewWindow::save);
    load_ = addCommand("actionLoad", previewIcon(PreviewIcon::Load), tr("載入"),
                       {key(Qt::ControlModifier | Qt::Key_O)}, &PreviewWindow::load);
    close_ = addCommand("actionClose", previewIcon(PreviewIcon::Close), tr("關閉"),
                        {key(Qt::Key_Escape)}, nullptr);
    connect(close_, &QAction::triggered, this, &QWidget::close);
}

QAction* PreviewWindow::addCommand(const char* name, const QIcon& icon, const QString& text,
                                   const QList<QKeySequence>& keys,
                                   void (PreviewWindow::*command)()) {
    auto* action = new QAction(icon, text, this);
    action->setObjectName(QLatin1String(name));
    action->setShortcuts(keys);
    action->setToolTip(keys.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, keyList(keys)));
    if (command)
        connect(action, &QAction::triggered, this, command);
    addAction(action);
    return action;
}

void PreviewWindow::createToolBar() {
    QToolBar* tools = addToolBar(tr("預覽"));
    tools->setObjectName(QStringLiteral("previewToolBar"));
    tools->setMovable(false);
    tools->setIconSize(QSize(24, 24));
    tools->addActions({zoomFit_, zoom100_, zoomWidth_});

    zoomBox_ = new QComboBox(tools);
    zoomBox_->setObjectName(QStringLiteral("zoomBox"));
    zoomBox_->setToolTip(tr("縮放比例"));
    zoomBox_->setEditable(true);
    zoomBox_->setInsertPolicy(QComboBox::NoInsert);
    // Completing a typed "1" to "100 %" would turn 12 into 125 %.
    zoomBox_->setCompleter(nullptr);
    for (const int percent : ZoomBoxPercents)
        zoomBox_->addItem(QStringLiteral("%1 %").arg(percent), percent);
    zoomBox_->addItem(tr("整頁"), FitPageChoice);
    zoomBox_->addItem(tr("符合頁寬"), FitWidthChoice);
    zoomBox_->setMaxVisibleItems(zoomBox_->count());
    zoomBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    tools->addWidget(zoomBox_);
    // Bound to the view, so that they end with it: the window's teardown deletes the view
    // before the box, which may still lose the focus then.
    connect(zoomBox_, &QComboBox::activated, view_,
            [this](int item) { takeZoomFromBox(zoomBox_->itemText(item)); });
    connect(zoomBox_->lineEdit(), &QLineEdit::returnPressed, view_,
            [this] { takeZoomFromBox(zoomBox_->currentText()); });
    // Text left unfinished when the focus moves on is not a zoom.
    connect(zoomBox_->lineEdit(), &QLineEdit::editingFinished, view_, [this] { showZoomInBox(); });
    connect(view_, &PageView::zoomChanged, this, &PreviewWindow::showZoomInBox);
    showZoomInBox();
    tools->addSeparator();
    tools->addActions({firstPage_, previousPage_});

    auto* pageBox = new QWidget(tools);
    auto* layout = new QHBoxLayout(pageBox);
    layout->setContentsMargins(6, 0, 6, 0);
    layout->addWidget(new QLabel(tr("第"), pageBox));
    pageBox_ = new QSpinBox(pageBox);
    pageBox_->setObjectName(QStringLiteral("pageBox"));
    pageBox_->setToolTip(tr("跳到第幾頁"));
    pageBox_->setKeyboardTracking(false);
    pageBox_->setButtonSymbols(QAbstractSpinBox::NoButtons);
    pageBox_->setAlignment(Qt::AlignRight);
    pageBox_->setMinimumWidth(pageBox_->fontMetrics().horizontalAdvance(QStringLiteral("99999")) +
                              12);
    layout->addWidget(pageBox_);
    pageBoxCount_ = new QLabel(pageBox);
    layout->addWidget(pageBoxCount_);
    tools->addWidget(pageBox);
    connect(pageBox_, &QSpinBox::valueChanged, this, [this](int page) {
        view_->goToPage(page - 1);
        view_->setFocus();
    });

    // Tab from the pages still reaches the page box first, as before there was a zoom box.
    setTabOrder(view_, pageBox_);
    setTabOrder(pageBox_, zoomBox_);

    tools->addActions({nextPage_, lastPage_});
    tools->addSeparator();
    tools->addActions({printerSetup_, print_});
    tools->addSeparator();
    tools->addActions({save_, load_});
    tools->addSeparator();
    tools->addAction(close_);
}

void PreviewWindow::createStatusBar() {
    pageStatus_ = new QLabel(this);
    pageStatus_->setObjectName(QStringLiteral("pageStatus"));
    progressStatus_ = new QLabel(this);
    progressStatus_->setObjectName(QStringLiteral("progressStatus"));
    zoomStatus_ = new QLabel(this);
    zoomStatus_->setObjectName(QStringLiteral("zoomStatus"));
    // Permanent, so that passing messages on the left never hide them.
    statusBar()->addPermanentWidget(pageStatus_);
    statusBar()->addPermanentWidget(progressStatus_);
    statusBar()->addPermanentWidget(zoomStatus_);
}

void PreviewWindow::updateStatus() {
    const int count = view_->pageCount();
    const int page = count > 0 ? view_->currentPage() + 1 : 0;
    pageStatus_->setText(tr("第 %1 頁，共 %2 頁").arg(page).arg(count));
    const bool complete = pages_->isComplete();
    const QString failure = pages_->failure();
    if (!loadedFile_.isEmpty())
        progressStatus_->setText(tr("顯示檔案「%1」").arg(loadedFile_));
    else if (!failure.isEmpty())
        progressStatus_->setText(tr("排版失敗：%1").arg(failure));
    else
        progressStatus_->setText(complete ? tr("排版完成 100 %")
                                          : tr("排版中 %1 %").arg(pages_->progressPercent()));
    progressStatus_->setToolTip(failure);
    {
        const QSignalBlocker quiet(pageBox_);
        pageBox_->setRange(std::min(1, count), count);
        pageBox_->setValue(page);
        pageBox_->setEnabled(count > 1);
    }
    pageBoxCount_->setText(tr("頁，共 %1 頁").arg(count));
    firstPage_->setEnabled(page > 1);
    previousPage_->setEnabled(page > 1);
    nextPage_->setEnabled(page < count);
    lastPage_->setEnabled(page < count);
    printerSetup_->setEnabled(complete);
    print_->setEnabled(complete);
}

void PreviewWindow::updateZoomChecks() {
    const PageView::ZoomMode mode = view_->zoomMode();
    zoomFit_->setChecked(mode == PageView::ZoomMode::FitPage);
    zoomWidth_->setChecked(mode == PageView::ZoomMode::FitWidth);
    zoom100_->setChecked(mode == PageView::ZoomMode::Fixed && qFuzzyCompare(view_->zoom(), 1.0));
    zoomStatus_->setText(tr("縮放 %1 %").arg(qRound(view_->zoom() * 100)));
}

void PreviewWindow::showZoomInBox() {
    const QString text = percentText(view_->zoom());
    const QSignalBlocker quiet(zoomBox_);
    // The item for the zoom, or none, so that the box finds nothing to activate in its text.
    zoomBox_->setCurrentIndex(zoomBox_->findText(text));
    zoomBox_->setEditText(text);
}

void PreviewWindow::takeZoomFromBox(const QString& text) {
    const QString wanted = text.trimmed();
    if (wanted == percentText(view_->zoom())) {
        // Taking back the rounded percentage the box shows would move the zoom, or leave a fit.
    } else if (const int item = zoomBox_->findText(wanted); item >= 0) {
        const int choice = zoomBox_->itemData(item).toInt();
        if (choice == FitPageChoice)
            zoomToFit();
        else if (choice == FitWidthChoice)
            zoomToWidth();
        else
            view_->setZoom(choice / 100.0);
    } else if (const double zoom = parsePercent(wanted);
               zoom >= PageView::MinZoom && zoom <= PageView::MaxZoom) {
        view_->setZoom(zoom);
    }
    showZoomInBox();
    view_->setFocus();
}

bool PreviewWindow::canPrint() {
    if (!pages_->failure().isEmpty()) {
        statusBar()->showMessage(
            tr("排版沒有完成，無法列印；已排好的 %1 頁仍可儲存。").arg(pages_->pageCount()));
        return false;
    }
    if (!pages_->isComplete() || printController_->isPrinting())
        return false;
    if (context_.printerInstalled && context_.printerInstalled())
        return true;
    statusBar()->showMessage(tr("沒有安裝印表機，無法列印。"));
    return false;
}

QPrinter& PreviewWindow::printer() {
    // A printer made while none was installed writes to no file; make it again.
    if (!printer_ ||
        (printer_->outputFormat() == QPrinter::PdfFormat && printer_->outputFileName().isEmpty())) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        // The queue's own defaults (two-sided on many office printers) do not apply.
        applyReportPrinterSettings(*printer_);
        if (pages_->pageCount() > 0) {
            const QSizeF mm = pages_->pageSizeMm(0);
            printer_->setPageSize(QPageSize(
                QSizeF(std::min(mm.width(), mm.height()), std::max(mm.width(), mm.height())),
                QPageSize::Millimeter));
            printer_->setPageOrientation(mm.width() > mm.height() ? QPageLayout::Landscape
                                                                  : QPageLayout::Portrait);
        }
    }
    return *printer_;
}

QString PreviewWindow::askFileName(QFileDialog::AcceptMode mode, const QString& name) {
    const bool saving = mode == QFileDialog::AcceptSave;
    QString directory = lastDirectory_;
    if (directory.isEmpty())
        directory = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QFileDialog dialog(this, saving ? tr("儲存預覽") : tr("載入預覽"), directory,
                       saving ? tr("PDF 文件 (*.pdf)") : tr("PDF 文件 (*.pdf);;所有檔案 (*)"));
    dialog.setAcceptMode(mode);
    if (saving) {
        dialog.setDefaultSuffix(QStringLiteral("pdf"));
        dialog.selectFile(name);
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString PreviewWindow::baseTitle() const {
    return baseTitle_.isEmpty() ? windowTitle() : baseTitle_;
}

void PreviewWindow::reportFailure(const QString& headline, const QString& path,
                                  const std::exception& error) {
    const QString reason = QString::fromUtf8(error.what());
    const QString shown = QDir::toNativeSeparators(path);
    // Our own errors already name the file; others get a headline that does.
    const QString message =
        reason.contains(shown) ? reason : headline.arg(shown) + QLatin1Char('\n') + reason;
    if (context_.reportError)
        context_.reportError(message);
}

void PreviewWindow::layoutFailed(const QString& message) {
    updateStatus();
    if (context_.reportError)
        context_.reportError(message);
}

void PreviewWindow::renderFailed(const QString& message) {
    // One box for a page source that cannot render, not one per page in view.
    if (renderFailureShown_)
        return;
    renderFailureShown_ = true;
    if (context_.reportError)
        context_.reportError(message);
}

} // namespace bingo::preview
