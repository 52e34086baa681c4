#pragma once

#include "cards/RandomSource.h"
#include "store/CardTable.h"

#include <filesystem>
#include <functional>
#include <optional>

namespace bingo::app {

/// What one run of the program owns besides its windows: the card table tbTmp and the one
/// random source. Made in main and handed to the window (which drives both) and to the
/// report (which reads the table); it outlives both.
class Session {
  public:
    /// Gives the random source its starting state (the program: RandomSource::fromClock).
    using Seeder = std::function<cards::RandomSource()>;

    /// scratchDirectory is where the card table lives; nothing is read or made here.
    Session(std::filesystem::path scratchDirectory, Seeder seeder);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    [[nodiscard]] store::CardTable& table() noexcept { return table_; }
    [[nodiscard]] const std::filesystem::path& scratchDirectory() const noexcept {
        return scratchDirectory_;
    }

    /// Seeds the random source from the seeder, replacing any state it had.
    void seedRandom();
    /// The random source; seedRandom() must have run.
    [[nodiscard]] cards::RandomSource& random();

  private:
    std::filesystem::path scratchDirectory_;
    Seeder seeder_;
    store::CardTable table_;
    std::optional<cards::RandomSource> random_;
};

} // namespace bingo::app
