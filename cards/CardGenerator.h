#pragma once

#include "cards/Card.h"
#include "cards/RandomSource.h"

namespace bingo::cards {

/// Draws the cards of one job and hands them to a sink, one progress step per sheet.
class CardGenerator {
  public:
    /// The generator keeps references; all three must outlive it.
    CardGenerator(RandomSource& random, CardSink& sink, ProgressSink& progress) noexcept
        : random_(random), sink_(sink), progress_(progress) {}

    /// Stores 6 x sheets cards with serials 1, 2, ... in draw order. A range below 25 cannot
    /// give 25 distinct numbers, and a negative sheet count is no job: both throw
    /// std::invalid_argument before the progress display is touched or anything is drawn.
    /// sheets == 0 shows and hides the progress display and stores nothing. The progress
    /// display is hidden again only on success, so after a failure it shows how far the job got.
    void generate(int range, int sheets);

    /// Draws one card's 25 distinct numbers from 1 .. range by rejection, in place.
    static void drawCard(RandomSource& random, int range, Card& card) noexcept;

  private:
    RandomSource& random_;
    CardSink& sink_;
    ProgressSink& progress_;
};

} // namespace bingo::cards
