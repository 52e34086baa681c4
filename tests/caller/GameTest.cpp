#include "caller/Game.h"

#include "cards/CardGenerator.h"
#include "report/PrintTexts.h"

#include <gtest/gtest.h>
#include <numeric>
#include <random>

namespace bingo::caller {
namespace {

constexpr int Undo = -1;

/// One card holding 1 .. 25 in order: number k + 1 sits in cell k.
cards::Card countingCard(std::int32_t serial = 1) {
    cards::Card card;
    card.serial = serial;
    std::iota(card.numbers.begin(), card.numbers.end(), 1);
    return card;
}

std::vector<std::string> lineNames(const Verdict& v) {
    std::vector<std::string> names;
    for (const int line : v.lines)
        names.push_back(lineName(line));
    if (v.fullCard)
        names.emplace_back("full card");
    return names;
}

struct VerdictCase {
    const char* name;
    Pattern pattern;
    std::vector<int> calls; // Undo takes back the last call
    bool winning;
    std::vector<std::string> lines;
    std::optional<int> atCall;
    std::vector<int> missing;
};

class VerdictTest : public ::testing::TestWithParam<VerdictCase> {};

TEST_P(VerdictTest, OnTheCountingCard) {
    const VerdictCase& c = GetParam();
    Game game({countingCard()}, 75, c.pattern);
    for (const int n : c.calls) {
        if (n == Undo)
            game.undo();
        else
            game.call(n);
    }
    const Verdict v = game.verdict(0);
    EXPECT_EQ(v.winning, c.winning);
    EXPECT_EQ(lineNames(v), c.lines);
    EXPECT_EQ(v.atCall, c.atCall);
    EXPECT_EQ(v.missing, c.missing);
    EXPECT_EQ(game.winnerCount(), c.winning ? 1 : 0);
}

const VerdictCase VerdictCases[] = {
    {"row", Pattern::OneLine, {1, 2, 3, 4, 5}, true, {"row 1"}, 5, {}},
    {"last_row", Pattern::OneLine, {21, 22, 23, 24, 60, 25}, true, {"row 5"}, 6, {}},
    {"column", Pattern::OneLine, {2, 40, 7, 12, 17, 22}, true, {"column 2"}, 6, {}},
    {"diagonal_from_top_left", Pattern::OneLine, {1, 7, 13, 19, 25}, true, {"diagonal 1"}, 5, {}},
    {"diagonal_from_top_right", Pattern::OneLine, {5, 9, 13, 17, 21}, true, {"diagonal 2"}, 5, {}},
    {"first_line_counts",
     Pattern::OneLine,
     {6, 7, 8, 9, 10, 1, 2, 3, 4, 5},
     true,
     {"row 1", "row 2"},
     5,
     {}},
    {"nearest_line_missing", Pattern::OneLine, {1, 2, 3, 30, 7}, false, {}, std::nullopt, {4, 5}},
    {"nothing_called", Pattern::OneLine, {}, false, {}, std::nullopt, {1, 2, 3, 4, 5}},
    {"one_line_of_two",
     Pattern::TwoLines,
     {1, 2, 3, 4, 5},
     false,
     {"row 1"},
     std::nullopt,
     {6, 11, 16, 21}},
    {"two_lines",
     Pattern::TwoLines,
     {1, 2, 3, 4, 5, 6, 11, 16, 21},
     true,
     {"row 1", "column 1"},
     9,
     {}},
    {"two_lines_sharing_nothing",
     Pattern::TwoLines,
     {21, 22, 23, 24, 25, 1, 2, 3, 4, 5},
     true,
     {"row 1", "row 5"},
     10,
     {}},
    {"full_card",
     Pattern::FullCard,
     {25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15, 14, 13,
      12, 11, 10, 9,  8,  7,  6,  5,  4,  3,  2,  70, 1},
     true,
     {"row 1", "row 2", "row 3", "row 4", "row 5", "column 1", "column 2", "column 3", "column 4",
      "column 5", "diagonal 1", "diagonal 2", "full card"},
     26,
     {}},
    {"full_card_missing_one",
     Pattern::FullCard,
     {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24},
     false,
     {"row 1", "row 2", "row 3", "row 4", "column 1", "column 2", "column 3", "column 4",
      "diagonal 2"},
     std::nullopt,
     {25}},
    {"undo_breaks_the_line", Pattern::OneLine, {1, 2, 3, 4, 5, Undo}, false, {}, std::nullopt, {5}},
    {"undo_then_complete_later",
     Pattern::OneLine,
     {1, 2, 3, 4, 5, Undo, 50, 5},
     true,
     {"row 1"},
     6,
     {}},
    {"undo_of_a_stray_call", Pattern::OneLine, {1, 2, 3, 4, 60, Undo, 5}, true, {"row 1"}, 5, {}},
};

INSTANTIATE_TEST_SUITE_P(Game, VerdictTest, ::testing::ValuesIn(VerdictCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Game, RefusesOutOfRangeAndRepeatedCallsChangingNothing) {
    Game game({countingCard()}, 75);
    game.call(3);
    for (const int n : {0, 76, -4, 3}) {
        try {
            game.call(n);
            FAIL() << n << " was called";
        } catch (const CallRefused& refused) {
            EXPECT_EQ(refused.reason(), n == 3 ? CallRefused::Reason::AlreadyCalled
                                               : CallRefused::Reason::OutOfRange);
            EXPECT_STREQ(refused.what(),
                         n == 3 ? "號碼 3 已經叫過了。"
                                : ("號碼 " + std::to_string(n) + " 不在 1 到 75 之間。").c_str());
        }
    }
    EXPECT_EQ(game.calls(), std::vector<int>{3});
    game.undo();
    EXPECT_THROW(game.undo(), CallRefused);
}

TEST(Game, RefusesCardsThatDoNotFitTheRange) {
    cards::Card card = countingCard();
    EXPECT_THROW(Game({card}, 24), std::invalid_argument);
    card.numbers[3] = 2;
    EXPECT_THROW(Game({card}, 75), std::invalid_argument);
    card.numbers[3] = 80;
    EXPECT_THROW(Game({card}, 75), std::invalid_argument);
}

std::vector<cards::Card> job(std::uint32_t seed, int range, int sheets) {
    cards::CardList sink;
    cards::NoProgress progress;
    cards::RandomSource random(seed);
    cards::CardGenerator(random, sink, progress).generate(range, sheets);
    return sink.cards;
}

bool holdsFromScratch(const cards::Card& card, const std::vector<int>& calls, Pattern pattern) {
    std::array<bool, 100> called{};
    for (const int n : calls)
        called[static_cast<std::size_t>(n)] = true;
    int lines = 0;
    int cells = 0;
    for (int line = 0; line < LineCount; ++line) {
        bool all = true;
        for (const int cell : lineCells(line))
            all = all &&
                  called[static_cast<std::size_t>(card.numbers[static_cast<std::size_t>(cell)])];
        lines += all ? 1 : 0;
    }
    for (const int n : card.numbers)
        cells += called[static_cast<std::size_t>(n)] ? 1 : 0;
    switch (pattern) {
    case Pattern::OneLine:
        return lines >= 1;
    case Pattern::TwoLines:
        return lines >= 2;
    case Pattern::FullCard:
        return cells == 25;
    }
    return false;
}

// The counts kept per line must agree with a recount from the calls after every call and
// every undo, for every pattern.
TEST(Game, IncrementalCountsAgreeWithARecountOverRandomCallsAndUndos) {
    const std::vector<cards::Card> cards = job(20261211, 40, 60);
    std::mt19937 random(7);
    for (const Pattern pattern : {Pattern::OneLine, Pattern::TwoLines, Pattern::FullCard}) {
        Game game(cards, 40, pattern);
        std::vector<std::vector<int>> prefixes{{}};
        for (int step = 0; step < 140; ++step) {
            const std::vector<int> left = game.uncalled();
            if (!left.empty() && (game.callCount() == 0 || random() % 4 != 0)) {
                game.call(left[random() % left.size()]);
            } else {
                game.undo();
            }
            const std::vector<int>& calls = game.calls();
            std::vector<int> before(calls.begin(), calls.end() - (calls.empty() ? 0 : 1));
            int winners = 0;
            std::vector<int> completed;
            for (int c = 0; c < game.cardCount(); ++c) {
                const bool now =
                    holdsFromScratch(cards[static_cast<std::size_t>(c)], calls, pattern);
                winners += now ? 1 : 0;
                if (!calls.empty() && now &&
                    !holdsFromScratch(cards[static_cast<std::size_t>(c)], before, pattern))
                    completed.push_back(c);
                ASSERT_EQ(game.verdict(c).winning, now) << "card " << c << " at step " << step;
            }
            ASSERT_EQ(game.winnerCount(), winners) << "step " << step;
            ASSERT_EQ(game.justCompleted(), completed) << "step " << step;
        }
    }
}

TEST(Game, AtCallIsTheFirstPrefixOfTheCallsThatHoldsThePattern) {
    const std::vector<cards::Card> cards = job(99, 30, 10);
    std::vector<int> order(30);
    std::iota(order.begin(), order.end(), 1);
    std::shuffle(order.begin(), order.end(), std::mt19937(3));
    for (const Pattern pattern : {Pattern::OneLine, Pattern::TwoLines, Pattern::FullCard}) {
        Game game(cards, 30, pattern);
        for (const int n : order)
            game.call(n);
        for (int c = 0; c < game.cardCount(); ++c) {
            std::optional<int> first;
            for (int k = 1; k <= 30 && !first; ++k)
                if (holdsFromScratch(cards[static_cast<std::size_t>(c)],
                                     {order.begin(), order.begin() + k}, pattern))
                    first = k;
            EXPECT_EQ(game.verdict(c).atCall, first) << "card " << c;
        }
    }
}

TEST(Game, PrintedSerialIsTheSerialThePrintedCardShows) {
    for (const std::int32_t serial : {1, 7, 999, 9999, 10000, 10007, 59994, 0, -7, 123456})
        EXPECT_EQ(printedSerial(serial), report::serialText(QString::number(serial)).toStdString())
            << serial;
}

TEST(Game, AFourDigitSerialNamesEveryCardPrintingItWithItsPage) {
    const std::vector<cards::Card> cards = job(5, 99, 9999);
    const Game game(cards, 99);
    std::vector<int> pages;
    std::vector<std::int32_t> serials;
    for (const int index : game.cardsPrinting("7")) {
        pages.push_back(game.verdict(index).page);
        serials.push_back(game.verdict(index).serial);
    }
    EXPECT_EQ(serials, (std::vector<std::int32_t>{7, 10007, 20007, 30007, 40007, 50007}));
    EXPECT_EQ(pages, (std::vector<int>{2, 1668, 3335, 5002, 6668, 8335}));
    EXPECT_EQ(game.cardsPrinting("0007"), game.cardsPrinting("7"));
    EXPECT_EQ(game.cardsPrinting("9994").size(), 6u);
    EXPECT_EQ(game.cardsPrinting("9995").size(), 5u);
    for (const char* text : {"", "00007", "7a", "-7", " 7"})
        EXPECT_TRUE(game.cardsPrinting(text).empty()) << '"' << text << '"';
}

TEST(Game, ASmallJobNamesOneCardAndNoneForASerialItDoesNotPrint) {
    const Game game(job(5, 75, 3), 75);
    ASSERT_EQ(game.cardsPrinting("0018").size(), 1u);
    EXPECT_EQ(game.verdict(game.cardsPrinting("0018").front()).page, 3);
    EXPECT_TRUE(game.cardsPrinting("0019").empty());
    EXPECT_TRUE(game.cardsPrinting("0").empty());
}

} // namespace
} // namespace bingo::caller
