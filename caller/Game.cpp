#include "caller/Game.h"

#include "caller/GameMessages.h"

#include <algorithm>
#include <bitset>
#include <charconv>
#include <limits>

namespace bingo::caller {

namespace {

using cards::NumbersPerCard;

constexpr std::array<std::array<int, 5>, LineCount> Lines = {{
    {0, 1, 2, 3, 4},
    {5, 6, 7, 8, 9},
    {10, 11, 12, 13, 14},
    {15, 16, 17, 18, 19},
    {20, 21, 22, 23, 24},
    {0, 5, 10, 15, 20},
    {1, 6, 11, 16, 21},
    {2, 7, 12, 17, 22},
    {3, 8, 13, 18, 23},
    {4, 9, 14, 19, 24},
    {0, 6, 12, 18, 24},
    {4, 8, 12, 16, 20},
}};

// The lines through each cell: its row, its column, and the diagonals it lies on.
struct CellLines {
    std::array<std::uint8_t, 4> line{};
    std::uint8_t count = 0;
};

constexpr std::array<CellLines, NumbersPerCard> makeCellLines() {
    std::array<CellLines, NumbersPerCard> cells{};
    for (int line = 0; line < LineCount; ++line)
        for (const int cell : Lines[static_cast<std::size_t>(line)]) {
            CellLines& c = cells[static_cast<std::size_t>(cell)];
            c.line[c.count++] = static_cast<std::uint8_t>(line);
        }
    return cells;
}

constexpr std::array<CellLines, NumbersPerCard> CellLineTable = makeCellLines();

int linesNeeded(Pattern pattern) noexcept {
    return pattern == Pattern::TwoLines ? 2 : 1;
}

} // namespace

std::string_view patternName(Pattern pattern) noexcept {
    switch (pattern) {
    case Pattern::OneLine:
        return "line";
    case Pattern::TwoLines:
        return "two lines";
    case Pattern::FullCard:
        return "full card";
    }
    return "line";
}

std::optional<Pattern> parsePattern(std::string_view name) noexcept {
    for (const Pattern p : {Pattern::OneLine, Pattern::TwoLines, Pattern::FullCard})
        if (patternName(p) == name)
            return p;
    return std::nullopt;
}

std::string lineName(int line) {
    if (line < 5)
        return "row " + std::to_string(line + 1);
    if (line < 10)
        return "column " + std::to_string(line - 4);
    return "diagonal " + std::to_string(line - 9);
}

const std::array<int, 5>& lineCells(int line) {
    return Lines.at(static_cast<std::size_t>(line));
}

std::string printedSerial(std::int32_t serial) {
    return std::to_string(static_cast<std::int64_t>(serial) + 10000).substr(1, 4);
}

Game::Game(std::vector<cards::Card> cards, int range, Pattern pattern)
    : cards_(std::move(cards)), range_(range), pattern_(pattern) {
    if (range_ < NumbersPerCard || range_ > 99)
        throw std::invalid_argument("the number range must lie in 25 .. 99");
    if (cards_.size() > (std::numeric_limits<std::uint32_t>::max() >> 5))
        throw std::invalid_argument("too many cards");
    std::array<std::uint32_t, 101> counts{};
    for (const cards::Card& card : cards_) {
        std::bitset<100> seen;
        for (const std::int32_t n : card.numbers) {
            if (n < 1 || n > range_ || seen.test(static_cast<std::size_t>(n)))
                throw std::invalid_argument("card " + std::to_string(card.serial) +
                                            " does not hold 25 distinct numbers in 1 .. " +
                                            std::to_string(range_));
            seen.set(static_cast<std::size_t>(n));
            ++counts[static_cast<std::size_t>(n)];
        }
    }
    for (int n = 1; n <= 100; ++n)
        offsets_[static_cast<std::size_t>(n)] =
            offsets_[static_cast<std::size_t>(n - 1)] + counts[static_cast<std::size_t>(n - 1)];
    places_.resize(cards_.size() * NumbersPerCard);
    std::array<std::uint32_t, 101> next = offsets_;
    for (std::size_t c = 0; c < cards_.size(); ++c)
        for (int k = 0; k < NumbersPerCard; ++k) {
            const auto n = static_cast<std::size_t>(cards_[c].numbers[static_cast<std::size_t>(k)]);
            places_[next[n]++] = static_cast<std::uint32_t>(c << 5) | static_cast<std::uint32_t>(k);
        }
    lineCounts_.assign(cards_.size() * LineCount, 0);
    completeLines_.assign(cards_.size(), 0);
    calledCells_.assign(cards_.size(), 0);

    byPrinted_.reserve(cards_.size());
    for (std::size_t c = 0; c < cards_.size(); ++c) {
        const std::string text = printedSerial(cards_[c].serial);
        int key = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), key);
        // A negative serial prints a minus sign; no four digits name it.
        if (error == std::errc() && end == text.data() + text.size() && text.size() == 4 &&
            key >= 0)
            byPrinted_.emplace_back(static_cast<std::uint16_t>(key), static_cast<int>(c));
    }
    std::sort(byPrinted_.begin(), byPrinted_.end());
}

void Game::setPattern(Pattern pattern) {
    if (!calls_.empty())
        throw std::logic_error("the pattern is chosen before the first call");
    pattern_ = pattern;
}

bool Game::isCalled(int number) const noexcept {
    return number >= 1 && number <= 99 && callPosition_[static_cast<std::size_t>(number)] != 0;
}

void Game::checkCall(int number) const {
    if (number < 1 || number > range_)
        throw CallRefused(CallRefused::Reason::OutOfRange, number,
                          messages::numberOutOfRange(number, range_));
    if (isCalled(number))
        throw CallRefused(CallRefused::Reason::AlreadyCalled, number,
                          messages::alreadyCalled(number));
}

bool Game::holds(int card) const noexcept {
    const auto c = static_cast<std::size_t>(card);
    if (pattern_ == Pattern::FullCard)
        return calledCells_[c] == NumbersPerCard;
    return completeLines_[c] >= linesNeeded(pattern_);
}

const std::vector<int>& Game::call(int number) {
    checkCall(number);
    std::vector<int>& completed = completedAt_.emplace_back();
    calls_.push_back(number);
    const auto n = static_cast<std::size_t>(number);
    callPosition_[n] = static_cast<int>(calls_.size());
    for (std::uint32_t i = offsets_[n]; i < offsets_[n + 1]; ++i) {
        const std::uint32_t card = places_[i] >> 5;
        const CellLines& cell = CellLineTable[places_[i] & 31u];
        const bool before = holds(static_cast<int>(card));
        ++calledCells_[card];
        std::uint8_t* counts = &lineCounts_[std::size_t{card} * LineCount];
        for (std::uint8_t l = 0; l < cell.count; ++l)
            if (++counts[cell.line[l]] == 5)
                ++completeLines_[card];
        if (!before && holds(static_cast<int>(card))) {
            completed.push_back(static_cast<int>(card));
            ++winners_;
        }
    }
    // The places of one number are in card order, so completed is too.
    return completed;
}

int Game::undo() {
    if (calls_.empty())
        throw CallRefused(CallRefused::Reason::NothingToUndo, 0, messages::nothingToUndo());
    const int number = calls_.back();
    const auto n = static_cast<std::size_t>(number);
    for (std::uint32_t i = offsets_[n]; i < offsets_[n + 1]; ++i) {
        const std::uint32_t card = places_[i] >> 5;
        const CellLines& cell = CellLineTable[places_[i] & 31u];
        const bool before = holds(static_cast<int>(card));
        --calledCells_[card];
        std::uint8_t* counts = &lineCounts_[std::size_t{card} * LineCount];
        for (std::uint8_t l = 0; l < cell.count; ++l)
            if (counts[cell.line[l]]-- == 5)
                --completeLines_[card];
        if (before && !holds(static_cast<int>(card)))
            --winners_;
    }
    callPosition_[n] = 0;
    calls_.pop_back();
    completedAt_.pop_back();
    return number;
}

const std::vector<int>& Game::justCompleted() const {
    static const std::vector<int> none;
    return completedAt_.empty() ? none : completedAt_.back();
}

std::vector<int> Game::uncalled() const {
    std::vector<int> numbers;
    for (int n = 1; n <= range_; ++n)
        if (!isCalled(n))
            numbers.push_back(n);
    return numbers;
}

std::vector<int> Game::cardsPrinting(std::string_view text) const {
    if (text.empty() || text.size() > 4 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return {};
    int key = 0;
    std::from_chars(text.data(), text.data() + text.size(), key);
    std::vector<int> found;
    const auto first =
        std::lower_bound(byPrinted_.begin(), byPrinted_.end(),
                         std::pair<std::uint16_t, int>(static_cast<std::uint16_t>(key), 0));
    for (auto it = first; it != byPrinted_.end() && it->first == key; ++it)
        found.push_back(it->second);
    return found;
}

Verdict Game::verdict(int index) const {
    const cards::Card& c = card(index);
    Verdict v;
    v.index = index;
    v.serial = c.serial;
    v.page = index / cards::CardsPerSheet + 1;

    std::array<int, NumbersPerCard> at{}; // call position of each cell, 0: not called
    int latest = 0;
    bool all = true;
    for (int k = 0; k < NumbersPerCard; ++k) {
        at[static_cast<std::size_t>(k)] =
            callPosition_[static_cast<std::size_t>(c.numbers[static_cast<std::size_t>(k)])];
        all = all && at[static_cast<std::size_t>(k)] != 0;
        latest = std::max(latest, at[static_cast<std::size_t>(k)]);
    }
    std::array<int, LineCount> missingIn{};
    std::vector<int> completedWhen;
    for (int line = 0; line < LineCount; ++line) {
        int when = 0;
        for (const int cell : Lines[static_cast<std::size_t>(line)]) {
            if (at[static_cast<std::size_t>(cell)] == 0)
                ++missingIn[static_cast<std::size_t>(line)];
            when = std::max(when, at[static_cast<std::size_t>(cell)]);
        }
        if (missingIn[static_cast<std::size_t>(line)] == 0) {
            v.lines.push_back(line);
            completedWhen.push_back(when);
        }
    }
    std::sort(completedWhen.begin(), completedWhen.end());
    v.fullCard = all;
    const int needed = linesNeeded(pattern_);
    if (pattern_ == Pattern::FullCard) {
        if (all)
            v.atCall = latest;
    } else if (static_cast<int>(completedWhen.size()) >= needed) {
        v.atCall = completedWhen[static_cast<std::size_t>(needed - 1)];
    }
    v.winning = v.atCall.has_value();
    if (v.winning)
        return v;

    // The cells still needed, in card order, by the cheapest way to the pattern.
    std::bitset<NumbersPerCard> best;
    const auto uncalledOf = [&](int line) {
        std::bitset<NumbersPerCard> cells;
        for (const int cell : Lines[static_cast<std::size_t>(line)])
            if (at[static_cast<std::size_t>(cell)] == 0)
                cells.set(static_cast<std::size_t>(cell));
        return cells;
    };
    if (pattern_ == Pattern::FullCard) {
        for (int k = 0; k < NumbersPerCard; ++k)
            best.set(static_cast<std::size_t>(k), at[static_cast<std::size_t>(k)] == 0);
    } else if (pattern_ == Pattern::OneLine) {
        std::size_t fewest = NumbersPerCard + 1;
        for (int line = 0; line < LineCount; ++line) {
            const auto cells = uncalledOf(line);
            if (cells.count() < fewest) {
                fewest = cells.count();
                best = cells;
            }
        }
    } else {
        std::size_t fewest = NumbersPerCard + 1;
        for (int a = 0; a < LineCount; ++a)
            for (int b = a + 1; b < LineCount; ++b) {
                const auto cells = uncalledOf(a) | uncalledOf(b);
                if (cells.count() < fewest) {
                    fewest = cells.count();
                    best = cells;
                }
            }
    }
    for (int k = 0; k < NumbersPerCard; ++k)
        if (best.test(static_cast<std::size_t>(k)))
            v.missing.push_back(c.numbers[static_cast<std::size_t>(k)]);
    return v;
}

} // namespace bingo::caller
