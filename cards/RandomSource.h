#pragma once

#include <cstdint>

namespace bingo::cards {

/// The program's one random state: a 32-bit linear congruential generator.
/// Start-up creates it once with fromClock(); every draw of the run advances it.
class RandomSource {
  public:
    /// Starts from a known state. Tests use this to reproduce reference draws.
    explicit RandomSource(std::uint32_t seed) noexcept : seed_(seed) {}

    /// Seeds from the low 32 bits of a monotonic nanosecond clock, falling back to the
    /// wall clock in milliseconds, so that no two runs repeat each other.
    [[nodiscard]] static RandomSource fromClock() noexcept;

    /// Advances the state, then returns floor(state * n / 2^32), a value in 0 .. n-1 (0 for n = 0).
    [[nodiscard]] std::uint32_t draw(std::uint32_t n) noexcept {
        seed_ = seed_ * 134775813u + 1u;
        return static_cast<std::uint32_t>((std::uint64_t{seed_} * n) >> 32);
    }

    [[nodiscard]] std::uint32_t seed() const noexcept { return seed_; }

  private:
    std::uint32_t seed_;
};

} // namespace bingo::cards
