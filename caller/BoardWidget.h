#pragma once

#include <QWidget>
#include <vector>

namespace bingo::caller {

/// The board the room sees: 1 .. N with the called numbers lit, the last call large and the
/// number of calls. Sized for a projector as well as a window.
class BoardWidget : public QWidget {
    Q_OBJECT

  public:
    explicit BoardWidget(QWidget* parent = nullptr);

    /// calls in order; the last one is shown large.
    void setState(int range, const std::vector<int>& calls);

    /// A line under the count: what is being typed, or why a call was refused, while the
    /// board is shown alone (empty: none).
    void setNote(const QString& note);

    [[nodiscard]] QSize sizeHint() const override { return {900, 560}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int range_ = 75;
    std::vector<bool> called_;
    int last_ = 0;
    int count_ = 0;
    QString note_;
};

} // namespace bingo::caller
