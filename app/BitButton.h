#pragma once

#include <QPushButton>
#include <QString>

namespace bingo::app {

/// A push button with a picture that is never a default button. Enter and Space on it click it;
/// its mnemonic (Alt+letter) clicks it at once, without taking the focus.
class BitButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QString glyph READ glyph WRITE setGlyph)

  public:
    explicit BitButton(QWidget* parent = nullptr);
    ~BitButton() override;
    Q_DISABLE_COPY_MOVE(BitButton)

    /// The picture: a resource holding the normal image with its greyed image beside it.
    [[nodiscard]] QString glyph() const { return glyph_; }
    void setGlyph(const QString& path);

    /// True when the text marks c (in either case) as its mnemonic with "&".
    [[nodiscard]] bool hasMnemonic(QChar c) const;

    /// For a letter or digit key without Ctrl or Meta that no control of `window` took (a
    /// letter typed on a button, Alt+Shift+letter): clicks the enabled, visible button whose
    /// mnemonic it is. False when there is none.
    static bool clickMnemonic(QWidget& window, const QKeyEvent& event);

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QString glyph_;
};

} // namespace bingo::app
