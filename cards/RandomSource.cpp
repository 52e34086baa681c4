#include "cards/RandomSource.h"

#include <chrono>
#include <ctime>

namespace bingo::cards {

RandomSource RandomSource::fromClock() noexcept {
    timespec now{};
    if (clock_gettime(CLOCK_MONOTONIC, &now) == 0) {
        const auto nanoseconds = static_cast<std::uint64_t>(now.tv_sec) * 1'000'000'000u +
                                 static_cast<std::uint64_t>(now.tv_nsec);
        return RandomSource(static_cast<std::uint32_t>(nanoseconds));
    }
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    return RandomSource(static_cast<std::uint32_t>(milliseconds.count()));
}

} // namespace bingo::cards
