#pragma once

#include "cards/Card.h"

#include <QWidget>
#include <array>
#include <vector>

namespace bingo::report {
class BandPainter;
struct ReportLayout;
} // namespace bingo::report

namespace bingo::caller {

/// One card drawn as it is printed, with the band painter, its called numbers marked and its
/// complete lines struck through.
class CardView : public QWidget {
    Q_OBJECT

  public:
    /// The painter and layout are shared and must outlive the view.
    CardView(report::BandPainter& painter, const report::ReportLayout& layout,
             QWidget* parent = nullptr);

    /// called[k]: cell k (row-major) has been called; lines: complete lines (0 .. 11).
    void setCard(const cards::Card& card, const std::array<bool, cards::NumbersPerCard>& called,
                 std::vector<int> lines);

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] bool hasHeightForWidth() const override { return true; }
    [[nodiscard]] int heightForWidth(int width) const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    report::BandPainter& painter_;
    const report::ReportLayout& layout_;
    std::vector<QString> texts_;
    std::array<bool, cards::NumbersPerCard> called_{};
    std::vector<int> lines_;
    std::array<QRectF, cards::NumbersPerCard> cellsMm_{};
};

} // namespace bingo::caller
