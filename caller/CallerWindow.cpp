#include "caller/CallerWindow.h"

#include "app/ErrorBox.h"
#include "caller/BoardWidget.h"
#include "caller/CallerMessages.h"
#include "caller/CardView.h"
#include "caller/GameTexts.h"
#include "caller/TableWatcher.h"
#include "report/BandPainter.h"
#include "report/ReportLayout.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

namespace bingo::caller {

namespace {

constexpr Pattern Patterns[] = {Pattern::OneLine, Pattern::TwoLines, Pattern::FullCard};

} // namespace

CallerWindow::CallerWindow(std::unique_ptr<GameSession> session,
                           std::filesystem::path scratchDirectory, QString title, QWidget* parent)
    : QMainWindow(parent), session_(std::move(session)), title_(std::move(title)),
      layout_(report::loadCardSheetLayout()),
      painter_(std::make_unique<report::BandPainter>(layout_)) {
    errorSink_ = [this](const QString& text) {
        const std::unique_ptr<QMessageBox> box = app::createErrorBox(title_, text);
        box->exec();
    };
    confirm_ = [this](const QString& question) {
        QMessageBox box(QMessageBox::Question, title_, question, QMessageBox::NoButton, this);
        QPushButton* yes = box.addButton(QStringLiteral("開始新的一局"), QMessageBox::AcceptRole);
        box.setDefaultButton(box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole));
        box.exec();
        return box.clickedButton() == yes;
    };
    const CardSet& set = session_->cardSet();
    setWindowTitle(QStringLiteral("賓果對獎 — %1").arg(set.source));
    createWidgets();
    createActions();

    const GameSession::Resumption resumption = session_->resumeUnfinished();
    refresh();
    if (!resumption.message.isEmpty())
        say(resumption.message, !resumption.resumed);
    else
        say(messages::newGameReady(session_->game().cardCount(), session_->game().range()));

    if (!set.fromPdf && !scratchDirectory.empty()) {
        watcher_ = new TableWatcher(std::move(scratchDirectory), set.job, this);
        connect(watcher_, &TableWatcher::anotherJob, this, &CallerWindow::tableChanged);
    }
    callBox_->setFocus();
}

CallerWindow::~CallerWindow() = default;

void CallerWindow::createWidgets() {
    auto* splitter = new QSplitter(this);
    board_ = new BoardWidget(splitter);
    side_ = new QWidget(splitter);
    splitter->addWidget(board_);
    splitter->addWidget(side_);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    // Room beside the board for a checked card as large as on paper and its verdict.
    splitter->setSizes({680, 600});
    setCentralWidget(splitter);

    auto* column = new QVBoxLayout(side_);
    auto* form = new QFormLayout;
    column->addLayout(form);

    callBox_ = new QLineEdit(side_);
    callBox_->setObjectName(QStringLiteral("callBox"));
    callBox_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,3}")), callBox_));
    QFont big = callBox_->font();
    big.setPointSize(big.pointSize() * 2);
    callBox_->setFont(big);
    callBox_->setPlaceholderText(QStringLiteral("號碼"));
    callBox_->installEventFilter(this);
    form->addRow(QStringLiteral("叫號(&C)："), callBox_);

    patternBox_ = new QComboBox(side_);
    for (const Pattern p : Patterns)
        patternBox_->addItem(patternLabel(p));
    form->addRow(QStringLiteral("中獎方式(&P)："), patternBox_);

    rangeBox_ = new QSpinBox(side_);
    rangeBox_->setRange(session_->smallestRange(), 99);
    form->addRow(QStringLiteral("號碼範圍 1 到(&R)："), rangeBox_);

    serialBox_ = new QLineEdit(side_);
    serialBox_->setObjectName(QStringLiteral("serialBox"));
    serialBox_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("\\d{0,4}")), serialBox_));
    serialBox_->setFont(big);
    serialBox_->setPlaceholderText(QStringLiteral("0007"));
    serialBox_->installEventFilter(this);
    form->addRow(QStringLiteral("對獎序號(&S)："), serialBox_);

    message_ = new QLabel(side_);
    message_->setObjectName(QStringLiteral("message"));
    message_->setWordWrap(true);
    message_->setTextFormat(Qt::PlainText);
    column->addWidget(message_);

    winners_ = new QLabel(side_);
    winners_->setObjectName(QStringLiteral("winners"));
    winners_->setWordWrap(true);
    winners_->setTextFormat(Qt::PlainText);
    winners_->setFrameShape(QFrame::StyledPanel);
    winners_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(winners_);

    auto* scroll = new QScrollArea(side_);
    scroll->setWidgetResizable(true);
    auto* results = new QWidget(scroll);
    checkLayout_ = new QVBoxLayout(results);
    checkLayout_->addStretch();
    scroll->setWidget(results);
    column->addWidget(scroll, 1);

    sourceLabel_ = new QLabel(this);
    statusBar()->addWidget(sourceLabel_, 1);

    connect(callBox_, &QLineEdit::returnPressed, this, &CallerWindow::callTyped);
    connect(serialBox_, &QLineEdit::returnPressed, this, &CallerWindow::checkTyped);
    connect(patternBox_, &QComboBox::currentIndexChanged, this, &CallerWindow::patternChosen);
    connect(rangeBox_, &QSpinBox::valueChanged, this, &CallerWindow::rangeChosen);
    resize(1280, 760);
}

void CallerWindow::createActions() {
    const auto add = [this](const QKeySequence& keys, void (CallerWindow::*slot)()) {
        auto* action = new QAction(this);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
    };
    add(QKeySequence(Qt::CTRL | Qt::Key_Z), &CallerWindow::undo);
    add(QKeySequence(Qt::CTRL | Qt::Key_D), &CallerWindow::draw);
    add(QKeySequence(Qt::CTRL | Qt::Key_F), &CallerWindow::focusSerial);
    add(QKeySequence(Qt::CTRL | Qt::Key_N), &CallerWindow::newGame);
    add(QKeySequence(Qt::Key_F11), &CallerWindow::toggleFullScreen);
    add(QKeySequence(Qt::Key_Escape), &CallerWindow::escape);
}

bool CallerWindow::eventFilter(QObject* watched, QEvent* event) {
    // A line edit claims Ctrl+Z (its own undo) and others before the window sees them; here
    // they belong to the game.
    if (event->type() == QEvent::ShortcutOverride &&
        (watched == callBox_ || watched == serialBox_)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool ctrl = key->modifiers() == Qt::ControlModifier;
        if ((ctrl && (key->key() == Qt::Key_Z || key->key() == Qt::Key_D ||
                      key->key() == Qt::Key_F || key->key() == Qt::Key_N)) ||
            key->key() == Qt::Key_Escape || key->key() == Qt::Key_F11) {
            event->ignore();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CallerWindow::keyPressEvent(QKeyEvent* event) {
    if (side_->isVisible()) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    const QString text = event->text();
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        callTyped();
    } else if (event->key() == Qt::Key_Backspace) {
        callBox_->backspace();
    } else if (text.size() == 1 && text.front().isDigit() && callBox_->text().size() < 3) {
        callBox_->insert(text);
    } else {
        QMainWindow::keyPressEvent(event);
        return;
    }
    board_->setNote(callBox_->text().isEmpty() ? message_->text()
                                               : messages::typedCall(callBox_->text()));
}

QString CallerWindow::message() const {
    return message_->text();
}

QString CallerWindow::winners() const {
    return winners_->text();
}

void CallerWindow::say(const QString& text, bool warning) {
    message_->setText(text);
    message_->setStyleSheet(warning ? QStringLiteral("color: #b71c1c; font-weight: bold;")
                                    : QString());
}

void CallerWindow::refuse(const QString& text) {
    QApplication::beep();
    say(text, true);
}

void CallerWindow::fail(const QString& text) {
    say(text, true);
    errorSink_(text);
}

void CallerWindow::refresh() {
    const Game& game = session_->game();
    board_->setState(game.range(), game.calls());
    board_->setNote(side_->isVisible() ? QString() : message_->text());
    winners_->setText(winnersText(game));
    const bool started = session_->isStarted();
    {
        const QSignalBlocker blockPattern(patternBox_);
        const QSignalBlocker blockRange(rangeBox_);
        patternBox_->setCurrentIndex(static_cast<int>(game.pattern()));
        rangeBox_->setValue(game.range());
    }
    patternBox_->setEnabled(!started);
    rangeBox_->setEnabled(!started && !session_->cardSet().rangeKnown);
    const std::filesystem::path record = session_->recordFile();
    sourceLabel_->setText(
        messages::statusLine(game.cardCount(), session_->cardSet().source, record));
}

void CallerWindow::callTyped() {
    const QString text = callBox_->text().trimmed();
    if (text.isEmpty())
        return;
    try {
        session_->call(text.toInt());
        callBox_->clear();
        say(messages::called(session_->game().callCount(), text.toInt()));
    } catch (const CallRefused& refused) {
        callBox_->selectAll();
        refuse(QString::fromUtf8(refused.what()));
    } catch (const std::exception& error) {
        fail(messages::callNotMade(QString::fromUtf8(error.what())));
    }
    refresh();
}

void CallerWindow::draw() {
    try {
        const int number = session_->draw();
        say(messages::drawn(session_->game().callCount(), number));
    } catch (const CallRefused& refused) {
        refuse(QString::fromUtf8(refused.what()));
    } catch (const std::exception& error) {
        fail(messages::drawNotMade(QString::fromUtf8(error.what())));
    }
    refresh();
}

void CallerWindow::undo() {
    try {
        const int number = session_->undo();
        say(messages::undone(number));
    } catch (const CallRefused& refused) {
        refuse(QString::fromUtf8(refused.what()));
    } catch (const std::exception& error) {
        fail(messages::undoNotMade(QString::fromUtf8(error.what())));
    }
    refresh();
}

void CallerWindow::checkTyped() {
    const QString text = serialBox_->text().trimmed();
    if (text.isEmpty())
        return;
    try {
        showCheck(session_->check(text));
    } catch (const RecordError& error) {
        showCheck(session_->lastCheck());
        fail(messages::checkNotRecorded(QString::fromUtf8(error.what())));
    } catch (const std::exception& error) {
        refuse(QString::fromUtf8(error.what()));
    }
    serialBox_->selectAll();
    refresh();
}

void CallerWindow::showCheck(const CheckResult& result) {
    // The stretch at the end stays; the rows of the previous check go.
    while (checkLayout_->count() > 1) {
        const std::unique_ptr<QLayoutItem> item(checkLayout_->takeAt(0));
        const std::unique_ptr<QWidget> row(item->widget());
    }
    const Game& game = session_->game();
    if (result.verdicts.empty()) {
        say(messages::noCardWithSerial(result.printed), true);
        return;
    }
    int winning = 0;
    for (const Verdict& verdict : result.verdicts) {
        auto* row = new QWidget(checkLayout_->parentWidget());
        auto* layout = new QHBoxLayout(row);
        auto* view = new CardView(*painter_, *layout_, row);
        std::array<bool, cards::NumbersPerCard> called{};
        const cards::Card& card = game.card(verdict.index);
        for (int k = 0; k < cards::NumbersPerCard; ++k)
            called[static_cast<std::size_t>(k)] =
                game.isCalled(card.numbers[static_cast<std::size_t>(k)]);
        view->setCard(card, called, verdict.lines);
        view->setMinimumSize(320, 305);
        auto* text = new QLabel(verdictText(verdict, game.pattern()), row);
        text->setObjectName(QStringLiteral("verdict"));
        text->setWordWrap(true);
        text->setTextFormat(Qt::PlainText);
        text->setMinimumWidth(180);
        text->setStyleSheet(verdict.winning ? QStringLiteral("color: #1b5e20; font-weight: bold;")
                                            : QString());
        layout->addWidget(view, 3);
        layout->addWidget(text, 2);
        checkLayout_->insertWidget(checkLayout_->count() - 1, row);
        winning += verdict.winning ? 1 : 0;
    }
    say(messages::checked(result.printed, static_cast<qsizetype>(result.verdicts.size()), winning),
        false);
}

void CallerWindow::newGame() {
    if (!confirm_(messages::endGameQuestion(session_->game().callCount())))
        return;
    try {
        session_->newGame();
        say(messages::newGameStarted());
    } catch (const std::exception& error) {
        fail(messages::gameNotEnded(QString::fromUtf8(error.what())));
    }
    refresh();
    callBox_->setFocus();
}

void CallerWindow::toggleFullScreen() {
    if (isFullScreen()) {
        side_->show();
        statusBar()->show();
        showNormal();
        callBox_->setFocus();
    } else {
        side_->hide();
        statusBar()->hide();
        showFullScreen();
        setFocus();
    }
    refresh();
}

void CallerWindow::focusSerial() {
    if (isFullScreen())
        toggleFullScreen();
    serialBox_->setFocus();
    serialBox_->selectAll();
}

void CallerWindow::escape() {
    if (isFullScreen())
        toggleFullScreen();
    callBox_->setFocus();
    callBox_->selectAll();
}

void CallerWindow::patternChosen(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(Patterns)) || session_->isStarted())
        return;
    session_->setPattern(Patterns[index]);
    refresh();
}

void CallerWindow::rangeChosen(int range) {
    if (session_->isStarted() || range < session_->smallestRange())
        return;
    session_->setRange(range);
    refresh();
}

void CallerWindow::tableChanged() {
    say(messages::tableHoldsAnotherJob(session_->game().cardCount()), true);
}

} // namespace bingo::caller
