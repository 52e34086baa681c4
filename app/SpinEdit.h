#pragma once

#include <QLineEdit>
#include <optional>

class QToolButton;

namespace bingo::app {

/// The spin field: an edit whose value is its text read as a decimal 32-bit integer, with up
/// and down buttons and the Up and Down keys stepping that value within [minimum, maximum].
/// Typing is filtered (digits, "+", "-", the decimal separator, control keys but Enter); pasted
/// text is not. The text is clamped into the bounds only when the focus moves to another
/// control of the window, or when commit() is called.
class SpinEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(int minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(int maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(int singleStep READ singleStep WRITE setSingleStep)
    Q_PROPERTY(int value READ value WRITE setValue)

  public:
    explicit SpinEdit(QWidget* parent = nullptr);
    ~SpinEdit() override;
    Q_DISABLE_COPY_MOVE(SpinEdit)

    [[nodiscard]] int minimum() const noexcept { return minimum_; }
    void setMinimum(int minimum) noexcept { minimum_ = minimum; }
    [[nodiscard]] int maximum() const noexcept { return maximum_; }
    void setMaximum(int maximum) noexcept { maximum_ = maximum; }
    [[nodiscard]] int singleStep() const noexcept { return singleStep_; }
    void setSingleStep(int step) noexcept { singleStep_ = step; }

    /// The text read as a decimal integer; text that is not one reads as minimum(). Not clamped.
    [[nodiscard]] int value() const;
    /// Writes value, clamped into the bounds, as plain decimal text.
    void setValue(int value);

    /// Adds steps × singleStep() to value() and writes the result clamped into the bounds; the
    /// text (and with it the change signal) is left alone when it would stay the same.
    void stepBy(int steps);
    /// Replaces a value outside the bounds by the nearest bound, as leaving the field does.
    /// Text that is not an integer stays as it is.
    void commit();

    /// "[+-]digits" that fits 32 bits, else nothing. No spaces, no other digits than 0-9.
    [[nodiscard]] static std::optional<int> parseInteger(QStringView text);

    [[nodiscard]] QToolButton* upButton() const noexcept { return up_; }
    [[nodiscard]] QToolButton* downButton() const noexcept { return down_; }

  Q_SIGNALS:
    /// The text has changed, by typing, pasting or stepping.
    void changed();
    /// A typed key was dropped (and the bell rung).
    void keyRejected();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    [[nodiscard]] bool isAcceptedCharacter(QChar c) const;
    void rejectKey();
    void followFont();
    void placeButtons();
    [[nodiscard]] QToolButton* createButton(Qt::ArrowType arrow, int steps);

    int minimum_ = 0;
    int maximum_ = 99;
    int singleStep_ = 1;
    QToolButton* up_;
    QToolButton* down_;
};

} // namespace bingo::app
