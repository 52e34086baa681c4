#include "cards/CardGenerator.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

namespace bingo::cards {
namespace {

std::ifstream openData(const char* name) {
    std::ifstream in(std::string(BINGO_TEST_DATA_DIR) + "/" + name);
    EXPECT_TRUE(in.is_open()) << name;
    return in;
}

std::vector<std::string> dataLines(const char* name) {
    std::ifstream in = openData(name);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#')
            lines.push_back(line);
    return lines;
}

class RecordingSink : public CardSink {
  public:
    void store(const Card& card) override { cards.push_back(card); }
    std::vector<Card> cards;
};

class RecordingProgress : public ProgressSink {
  public:
    void setMaximum(int maximum) override { this->maximum = maximum; }
    void setPosition(int position) override { positions.push_back(position); }
    void setVisible(bool visible) override { visibility.push_back(visible); }
    int maximum = -1;
    std::vector<int> positions;
    std::vector<bool> visibility;
};

/// The cards and the progress steps of one job drawn from a known state.
struct Job {
    std::vector<Card> cards;
    RecordingProgress progress;
};

Job generate(std::uint32_t seed, int range, int sheets) {
    RandomSource random(seed);
    RecordingSink sink;
    Job job;
    CardGenerator(random, sink, job.progress).generate(range, sheets);
    job.cards = std::move(sink.cards);
    return job;
}

TEST(RandomSource, ReproducesReferenceDraws) {
    const auto lines = dataLines("draws.txt");
    ASSERT_FALSE(lines.empty());
    for (const auto& line : lines) {
        std::istringstream fields(line);
        std::uint64_t seed = 0;
        std::uint64_t n = 0;
        fields >> seed >> n;
        RandomSource random(static_cast<std::uint32_t>(seed));
        for (std::uint64_t expected; fields >> expected;)
            EXPECT_EQ(random.draw(static_cast<std::uint32_t>(n)), expected) << line;
    }
}

TEST(CardGenerator, ReproducesReferenceCards) {
    std::ifstream in = openData("cards.txt");
    int blocks = 0;
    std::string line;
    std::getline(in, line);
    while (line.rfind("seed", 0) != 0 && std::getline(in, line)) {
    }
    while (!in.eof() && line.rfind("seed", 0) == 0) {
        std::istringstream header(line);
        std::string word;
        std::uint64_t seed = 0;
        int range = 0;
        int sheets = 0;
        header >> word >> seed >> word >> range >> word >> sheets;

        std::vector<Card> expected;
        while (std::getline(in, line) && line.rfind("seed", 0) != 0) {
            std::istringstream fields(line);
            Card card;
            fields >> card.serial;
            for (auto& number : card.numbers)
                fields >> number;
            expected.push_back(card);
        }

        RandomSource random(static_cast<std::uint32_t>(seed));
        RecordingSink sink;
        RecordingProgress progress;
        CardGenerator(random, sink, progress).generate(range, sheets);

        ASSERT_EQ(sink.cards.size(), expected.size()) << "seed " << seed;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(sink.cards[i].serial, expected[i].serial) << "seed " << seed;
            EXPECT_EQ(sink.cards[i].numbers, expected[i].numbers)
                << "seed " << seed << " card " << i + 1;
        }
        ++blocks;
    }
    EXPECT_EQ(blocks, 5);
}

TEST(CardGenerator, FullRangeOfTwentyFiveGivesPermutations) {
    const Job job = generate(2024, 25, 20);
    ASSERT_EQ(job.cards.size(), 120u);
    std::array<std::int32_t, 25> identity{};
    std::iota(identity.begin(), identity.end(), 1);
    for (auto card : job.cards) {
        std::sort(card.numbers.begin(), card.numbers.end());
        EXPECT_EQ(card.numbers, identity);
    }
}

TEST(CardGenerator, NumbersStayDistinctAndWithinRange) {
    const Job job = generate(99, 99, 50);
    ASSERT_EQ(job.cards.size(), 300u);
    for (auto card : job.cards) {
        std::sort(card.numbers.begin(), card.numbers.end());
        EXPECT_GE(card.numbers.front(), 1);
        EXPECT_LE(card.numbers.back(), 99);
        EXPECT_EQ(std::adjacent_find(card.numbers.begin(), card.numbers.end()), card.numbers.end());
    }
}

TEST(CardGenerator, SerialsRunOnAcrossSheetsAndProgressStepsPerSheet) {
    const Job job = generate(1, 50, 3);
    ASSERT_EQ(job.cards.size(), 18u);
    for (std::size_t i = 0; i < job.cards.size(); ++i)
        EXPECT_EQ(job.cards[i].serial, static_cast<std::int32_t>(i + 1));
    EXPECT_EQ(job.progress.maximum, 3);
    EXPECT_EQ(job.progress.positions, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(job.progress.visibility, (std::vector<bool>{true, false}));
}

TEST(CardGenerator, ZeroSheetsShowsAndHidesTheBarAndStoresNothing) {
    RandomSource random(1);
    RecordingSink sink;
    RecordingProgress progress;
    CardGenerator(random, sink, progress).generate(50, 0);
    EXPECT_TRUE(sink.cards.empty());
    EXPECT_EQ(progress.visibility, (std::vector<bool>{true, false}));
    EXPECT_EQ(random.seed(), 1u) << "nothing may be drawn";
}

TEST(CardGenerator, SecondJobContinuesTheSequence) {
    RandomSource random(7);
    RecordingSink first;
    RecordingSink second;
    RecordingProgress progress;
    CardGenerator(random, first, progress).generate(50, 1);
    CardGenerator(random, second, progress).generate(50, 1);
    EXPECT_EQ(second.cards.front().serial, 1);
    EXPECT_NE(first.cards.front().numbers, second.cards.front().numbers);
}

TEST(CardGenerator, RefusesArgumentsThatCannotGiveCards) {
    RandomSource random(1);
    RecordingSink sink;
    RecordingProgress progress;
    CardGenerator generator(random, sink, progress);
    for (int range : {24, 0, -5})
        EXPECT_THROW(generator.generate(range, 1), std::invalid_argument) << range;
    EXPECT_THROW(generator.generate(50, -1), std::invalid_argument);
    EXPECT_TRUE(sink.cards.empty());
    EXPECT_EQ(random.seed(), 1u);
    EXPECT_EQ(progress.maximum, -1) << "the progress display is left untouched";
    EXPECT_TRUE(progress.positions.empty());
    EXPECT_TRUE(progress.visibility.empty());
}

class FailingSink : public CardSink {
  public:
    explicit FailingSink(int failAt) : failAt_(failAt) {}
    void store(const Card& card) override {
        if (card.serial == failAt_)
            throw std::runtime_error("disk full");
        ++stored;
    }
    int stored = 0;

  private:
    int failAt_;
};

TEST(CardGenerator, FailureStopsAtTheCardAndLeavesTheBarShowing) {
    RandomSource random(1);
    FailingSink sink(9);
    RecordingProgress progress;
    EXPECT_THROW(CardGenerator(random, sink, progress).generate(50, 5), std::runtime_error);
    EXPECT_EQ(sink.stored, 8);
    EXPECT_EQ(progress.positions.back(), 2);
    EXPECT_EQ(progress.visibility, (std::vector<bool>{true}));
}

} // namespace
} // namespace bingo::cards
