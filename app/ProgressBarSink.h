#pragma once

#include "cards/Card.h"

class QProgressBar;

namespace bingo::app {

/// Shows the card generator's progress on a progress bar of the window. Keeps a reference.
class ProgressBarSink final : public cards::ProgressSink {
  public:
    explicit ProgressBarSink(QProgressBar& bar) noexcept : bar_(bar) {}

    void setMaximum(int maximum) override;
    void setPosition(int position) override;
    void setVisible(bool visible) override;

  private:
    QProgressBar& bar_;
};

} // namespace bingo::app
