#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace bingo::cards {

inline constexpr int CardsPerSheet = 6;
inline constexpr int NumbersPerCard = 25;

/// One bingo card: its serial within the job and its 25 numbers in draw order.
/// Number k (0-based) sits in grid row k / 5, column k % 5.
struct Card {
    std::int32_t serial = 0;
    std::array<std::int32_t, NumbersPerCard> numbers{};
};

/// Where finished cards go. store() may throw; the generator then stops at that card.
class CardSink {
  public:
    virtual ~CardSink() = default;
    virtual void store(const Card& card) = 0;
};

/// The progress display the generator drives, one step per sheet.
class ProgressSink {
  public:
    virtual ~ProgressSink() = default;
    virtual void setMaximum(int maximum) = 0;
    virtual void setPosition(int position) = 0;
    virtual void setVisible(bool visible) = 0;
};

/// Keeps every card it is given, in order: a job drawn into memory.
class CardList final : public CardSink {
  public:
    void store(const Card& card) override { cards.push_back(card); }
    std::vector<Card> cards;
};

/// A progress display nobody watches, for a job drawn again to rebuild it.
class NoProgress final : public ProgressSink {
  public:
    void setMaximum(int) override {}
    void setPosition(int) override {}
    void setVisible(bool) override {}
};

} // namespace bingo::cards
