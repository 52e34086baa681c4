#include "app/SpinEdit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QStyle>
#include <QToolButton>
#include <algorithm>
#include <cstdint>
#include <limits>

namespace bingo::app {

namespace {

constexpr int ButtonWidth = 15;
constexpr int RepeatDelayMs = 400;
constexpr int RepeatIntervalMs = 100;

// Clamping in 64 bits keeps a step from a value near the 32-bit limits from wrapping around.
int clampToBounds(std::int64_t value, int minimum, int maximum) {
    return static_cast<int>(
        std::max<std::int64_t>(std::min<std::int64_t>(value, maximum), minimum));
}

} // namespace

SpinEdit::SpinEdit(QWidget* parent)
    : QLineEdit(parent), up_(createButton(Qt::UpArrow, 1)), down_(createButton(Qt::DownArrow, -1)) {
    connect(this, &QLineEdit::textChanged, this, &SpinEdit::changed);
    followFont();
}

SpinEdit::~SpinEdit() = default;

QToolButton* SpinEdit::createButton(Qt::ArrowType arrow, int steps) {
    auto* button = new QToolButton(this);
    button->setArrowType(arrow);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::ArrowCursor);
    // QAbstractButton's auto-repeat steps on release over the button, again after the delay
    // and then at the interval for as long as the button is held and the pointer stays on it.
    button->setAutoRepeat(true);
    button->setAutoRepeatDelay(RepeatDelayMs);
    button->setAutoRepeatInterval(RepeatIntervalMs);
    connect(button, &QToolButton::pressed, this, [this] {
        if (!hasFocus())
            setFocus(Qt::MouseFocusReason);
    });
    connect(button, &QToolButton::clicked, this, [this, steps] { stepBy(steps); });
    return button;
}

std::optional<int> SpinEdit::parseInteger(QStringView text) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    // Accumulate towards the negative side, which holds one more value than the positive one.
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<int>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > limit)
            return std::nullopt;
    }
    if (!negative && magnitude == limit)
        return std::nullopt;
    return static_cast<int>(negative ? -magnitude : magnitude);
}

int SpinEdit::value() const {
    return parseInteger(text()).value_or(minimum_);
}

void SpinEdit::setValue(int value) {
    const QString newText = QString::number(clampToBounds(value, minimum_, maximum_));
    if (newText != text())
        setText(newText);
}

void SpinEdit::stepBy(int steps) {
    setValue(clampToBounds(std::int64_t{value()} + std::int64_t{steps} * singleStep_, minimum_,
                           maximum_));
}

void SpinEdit::commit() {
    const std::optional<int> current = parseInteger(text());
    if (current && (*current < minimum_ || *current > maximum_))
        setValue(*current);
}

bool SpinEdit::isAcceptedCharacter(QChar c) const {
    if ((c >= u'0' && c <= u'9') || c == u'+' || c == u'-')
        return true;
    const QString separator = locale().decimalPoint();
    return separator.size() == 1 && c == separator.front();
}

void SpinEdit::rejectKey() {
    QApplication::beep();
    Q_EMIT keyRejected();
}

void SpinEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
        stepBy(1);
        event->accept();
        return;
    case Qt::Key_Down:
        stepBy(-1);
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        rejectKey();
        event->accept();
        return;
    default:
        break;
    }
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.front().isPrint();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (printable && (modifiers & (Qt::AltModifier | Qt::MetaModifier)) != 0 &&
        (modifiers & Qt::ControlModifier) == 0) {
        // Alt+letter types nothing: it belongs to the window (its mnemonics), or to no one.
        event->ignore();
        return;
    }
    // Only keys that type a character are filtered; editing keys and Ctrl combinations (copy,
    // paste, undo) go through unchanged.
    if (printable && (modifiers & Qt::ControlModifier) == 0 &&
        !std::all_of(typed.begin(), typed.end(),
                     [this](QChar c) { return isAcceptedCharacter(c); })) {
        rejectKey();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void SpinEdit::inputMethodEvent(QInputMethodEvent* event) {
    // Text composed with an input method is typed text as well: the same filter applies.
    const QString commit = event->commitString();
    QString accepted;
    for (const QChar c : commit) {
        if (isAcceptedCharacter(c))
            accepted.append(c);
    }
    if (accepted.size() == commit.size()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    rejectKey();
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(accepted, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
}

void SpinEdit::focusOutEvent(QFocusEvent* event) {
    // Switching to another window, or a popup of the field's own, is not leaving the field.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        commit();
    QLineEdit::focusOutEvent(event);
}

void SpinEdit::wheelEvent(QWheelEvent* event) {
    // The wheel does not step the field; let the parent have it.
    event->ignore();
}

void SpinEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    placeButtons();
}

void SpinEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        followFont();
}

void SpinEdit::followFont() {
    // A fixed height wins over any geometry the form sets, whichever comes first.
    setFixedHeight(fontMetrics().height() + 8);
    placeButtons();
}

void SpinEdit::placeButtons() {
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int inner = std::max(0, height() - 2 * frame);
    const int left = width() - frame - ButtonWidth;
    up_->setGeometry(left, frame, ButtonWidth, inner / 2);
    down_->setGeometry(left, frame + inner / 2, ButtonWidth, inner - inner / 2);
    setTextMargins(0, 0, ButtonWidth, 0);
}

} // namespace bingo::app
