#pragma once

#include "cards/Card.h"

#include <cstdint>
#include <optional>
#include <string>

namespace bingo::cards {

/// Running digest of a job's cards (64-bit FNV-1a over each card's serial and numbers, in
/// store order). It detects a rebuilt job that differs from the one printed; it is not a
/// cryptographic seal.
class CardDigest {
  public:
    void add(const Card& card) noexcept;
    [[nodiscard]] std::uint64_t value() const noexcept { return hash_; }

  private:
    void addWord(std::uint32_t word) noexcept;
    std::uint64_t hash_ = 14695981039346656037ull;
};

/// What rebuilds a job's cards exactly: the random state before its first draw, its number
/// range and sheet count, and the digest of the cards it stored.
struct JobStamp {
    std::uint32_t seed = 0;
    int range = 0;
    int sheets = 0;
    std::uint64_t digest = 0;

    /// "bingo-job/1 seed=<u32> range=<n> sheets=<s> digest=<16 hex digits>"
    [[nodiscard]] std::string toText() const;
    /// The stamp toText() wrote; nullopt for any other text (wrong prefix, a field missing,
    /// out of range or not a number).
    [[nodiscard]] static std::optional<JobStamp> parse(const std::string& text);

    friend bool operator==(const JobStamp&, const JobStamp&) = default;
};

/// Sink that digests every card on its way to another sink.
class DigestingSink final : public CardSink {
  public:
    explicit DigestingSink(CardSink& next) noexcept : next_(next) {}
    void store(const Card& card) override {
        next_.store(card);
        digest_.add(card);
    }
    [[nodiscard]] std::uint64_t digest() const noexcept { return digest_.value(); }

  private:
    CardSink& next_;
    CardDigest digest_;
};

} // namespace bingo::cards
