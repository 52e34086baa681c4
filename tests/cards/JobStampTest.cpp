#include "cards/JobStamp.h"

#include "cards/CardGenerator.h"

#include <gtest/gtest.h>
#include <string>

namespace bingo::cards {
namespace {

std::uint64_t digestOf(std::uint32_t seed, int range, int sheets) {
    RandomSource random(seed);
    CardList discard;
    DigestingSink sink(discard);
    NoProgress progress;
    CardGenerator(random, sink, progress).generate(range, sheets);
    return sink.digest();
}

TEST(JobStamp, RoundTripsThroughItsText) {
    const JobStamp stamp{4294967295u, 99, 9999, 0x0123456789abcdefull};
    EXPECT_EQ(stamp.toText(),
              "bingo-job/1 seed=4294967295 range=99 sheets=9999 digest=0123456789abcdef");
    EXPECT_EQ(JobStamp::parse(stamp.toText()), stamp);
}

TEST(JobStamp, RefusesTextItDidNotWrite) {
    for (const std::string text : {
             "",
             "bingo-job/2 seed=1 range=50 sheets=30 digest=00000000000000ff",
             "bingo-job/1 range=50 sheets=30 digest=00000000000000ff",
             "bingo-job/1 seed=1 range=24 sheets=30 digest=00000000000000ff",
             "bingo-job/1 seed=1 range=50 sheets=10000 digest=00000000000000ff",
             "bingo-job/1 seed=x range=50 sheets=30 digest=00000000000000ff",
             "bingo-job/1 seed=4294967296 range=50 sheets=30 digest=00000000000000ff",
             "bingo-job/1 seed=1 range=50x sheets=30 digest=00000000000000ff",
         })
        EXPECT_FALSE(JobStamp::parse(text).has_value()) << text;
}

TEST(CardDigest, SameJobSameDigestAnyChangeAnother) {
    const std::uint64_t job = digestOf(12345, 50, 3);
    EXPECT_EQ(digestOf(12345, 50, 3), job);
    EXPECT_NE(digestOf(12346, 50, 3), job);
    EXPECT_NE(digestOf(12345, 55, 3), job);
    EXPECT_NE(digestOf(12345, 50, 2), job);

    Card card;
    card.serial = 1;
    CardDigest a;
    a.add(card);
    card.numbers[24] = 1;
    CardDigest b;
    b.add(card);
    EXPECT_NE(a.value(), b.value());
}

} // namespace
} // namespace bingo::cards
