#include "app/BitButton.h"

#include "app/ButtonGlyph.h"

#include <QKeyEvent>
#include <QShortcutEvent>

namespace bingo::app {

BitButton::BitButton(QWidget* parent) : QPushButton(parent) {
    setAutoDefault(false);
    setDefault(false);
}

BitButton::~BitButton() = default;

void BitButton::setGlyph(const QString& path) {
    glyph_ = path;
    const ButtonGlyph picture = loadButtonGlyph(path);
    setIcon(picture.icon);
    setIconSize(picture.size);
}

bool BitButton::hasMnemonic(QChar c) const {
    const QString caption = text();
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] == u'&') { // "&&" is a plain ampersand
            ++i;
            continue;
        }
        return caption[i + 1].toUpper() == c.toUpper();
    }
    return false;
}

bool BitButton::event(QEvent* event) {
    // The stock button animates a mnemonic click and only then emits clicked(); the command
    // should run at once, with the focus where it was.
    if (event->type() == QEvent::Shortcut && isEnabled()) {
        if (!static_cast<QShortcutEvent*>(event)->isAmbiguous()) {
            click();
            return true;
        }
    }
    return QPushButton::event(event);
}

void BitButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

bool BitButton::clickMnemonic(QWidget& window, const QKeyEvent& event) {
    if ((event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) != 0)
        return false;
    // The key code, not the text: with Alt held the text may be empty or shifted.
    const int key = event.key();
    const bool letterOrDigit =
        (key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9);
    if (!letterOrDigit)
        return false;
    const QChar c(key);
    const auto buttons = window.findChildren<BitButton*>();
    for (BitButton* button : buttons) {
        if (button->isEnabled() && button->isVisible() && button->hasMnemonic(c)) {
            button->click();
            return true;
        }
    }
    return false;
}

} // namespace bingo::app
