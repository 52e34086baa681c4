#pragma once

#include "cards/Card.h"

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace bingo::caller {

/// What a card must hold to win the game.
enum class Pattern { OneLine, TwoLines, FullCard };

/// "line", "two lines", "full card": the names the game record uses.
[[nodiscard]] std::string_view patternName(Pattern pattern) noexcept;
[[nodiscard]] std::optional<Pattern> parsePattern(std::string_view name) noexcept;

/// Lines 0-4 are the rows, 5-9 the columns, 10 the diagonal from the top-left corner,
/// 11 the one from the top-right corner. The cards have no free centre square.
inline constexpr int LineCount = 12;
/// "row 1" ... "row 5", "column 1" ... "column 5", "diagonal 1", "diagonal 2".
[[nodiscard]] std::string lineName(int line);
/// The five cells (0 .. 24, row-major) of a line.
[[nodiscard]] const std::array<int, 5>& lineCells(int line);

/// The serial as printed: the decimal text of serial + 10000 from its second character, four
/// characters ("7" -> "0007", 10007 -> "0007").
[[nodiscard]] std::string printedSerial(std::int32_t serial);

/// The verdict on one card at the current call.
struct Verdict {
    int index = 0;             ///< position in the job, from 0
    std::int32_t serial = 0;   ///< as stored
    int page = 0;              ///< the sheet it is printed on, from 1
    bool winning = false;      ///< the card holds the game's pattern
    std::vector<int> lines;    ///< complete lines, ascending
    bool fullCard = false;     ///< all 25 numbers called
    std::optional<int> atCall; ///< the call count at which the pattern completed
    std::vector<int> missing;  ///< for a card not winning: the numbers its nearest way to win needs
};

/// A call the game refuses; nothing changed.
class CallRefused : public std::runtime_error {
  public:
    enum class Reason { OutOfRange, AlreadyCalled, NothingToUndo, NothingLeft };
    CallRefused(Reason reason, int number, const std::string& what)
        : std::runtime_error(what), reason_(reason), number_(number) {}
    [[nodiscard]] Reason reason() const noexcept { return reason_; }
    [[nodiscard]] int number() const noexcept { return number_; }

  private:
    Reason reason_;
    int number_;
};

/// One game over the cards of one job: the calls in order, and for every card which of its
/// numbers have been called, counted per line and updated on each call and undo, so that the
/// cards completing the pattern are known at once. No Qt, no I/O.
class Game {
  public:
    /// Cards in job order (card i is printed on page i / 6 + 1). Throws std::invalid_argument
    /// for a range outside 25 .. 99 or a card whose numbers are not 25 distinct ones in 1 .. range.
    Game(std::vector<cards::Card> cards, int range, Pattern pattern = Pattern::OneLine);

    [[nodiscard]] int range() const noexcept { return range_; }
    [[nodiscard]] Pattern pattern() const noexcept { return pattern_; }
    /// The pattern is chosen before the first call; std::logic_error once there are calls.
    void setPattern(Pattern pattern);
    [[nodiscard]] int cardCount() const noexcept { return static_cast<int>(cards_.size()); }
    [[nodiscard]] const cards::Card& card(int index) const {
        return cards_.at(static_cast<std::size_t>(index));
    }
    [[nodiscard]] const std::vector<cards::Card>& cards() const noexcept { return cards_; }

    /// The calls in order.
    [[nodiscard]] const std::vector<int>& calls() const noexcept { return calls_; }
    [[nodiscard]] int callCount() const noexcept { return static_cast<int>(calls_.size()); }
    [[nodiscard]] bool isCalled(int number) const noexcept;
    /// Throws CallRefused when number is outside 1 .. range() or already called.
    void checkCall(int number) const;
    /// Calls number (checkCall first); returns the cards that completed the pattern with it.
    const std::vector<int>& call(int number);
    /// Takes back the last call and returns its number; CallRefused when there is none.
    int undo();
    /// The cards that completed the pattern with the last call, in job order.
    [[nodiscard]] const std::vector<int>& justCompleted() const;
    /// How many cards hold the pattern now.
    [[nodiscard]] int winnerCount() const noexcept { return winners_; }

    /// The numbers not yet called, ascending.
    [[nodiscard]] std::vector<int> uncalled() const;

    /// The cards whose printed serial is text, 1 to 4 digits padded with zeros on the left
    /// ("7" names "0007"), in job order; empty for any other text or when no card prints it.
    [[nodiscard]] std::vector<int> cardsPrinting(std::string_view text) const;
    [[nodiscard]] Verdict verdict(int index) const;

  private:
    [[nodiscard]] bool holds(int card) const noexcept;

    std::vector<cards::Card> cards_;
    int range_;
    Pattern pattern_;
    std::vector<int> calls_;
    std::array<int, 100> callPosition_{}; // 1-based position in calls_, 0: not called
    // For each number, the (card << 5 | cell) where it stands; offsets_[n] .. offsets_[n + 1].
    std::vector<std::uint32_t> places_;
    std::array<std::uint32_t, 101> offsets_{};
    std::vector<std::uint8_t> lineCounts_; // LineCount per card: called cells of each line
    std::vector<std::uint8_t> completeLines_;
    std::vector<std::uint8_t> calledCells_;
    int winners_ = 0;
    std::vector<std::vector<int>> completedAt_;            // per call
    std::vector<std::pair<std::uint16_t, int>> byPrinted_; // (printed serial, card), sorted
};

} // namespace bingo::caller
