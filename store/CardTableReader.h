#pragma once

#include "cards/Card.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace bingo::store {

/// Reads every card of a card table for someone who only looks: the file is opened read-only,
/// never through a symbolic link, never created, and no lock is held once load() returns.
/// Every failure throws StoreError with a message in Traditional Chinese for the operator.
class CardTableReader {
  public:
    /// file: the table's ".db" file; table: the table's name in it.
    explicit CardTableReader(std::filesystem::path file, std::string table = "tmpBingo");

    /// How long a read waits for a writer's lock before it fails as locked.
    void setBusyTimeout(std::chrono::milliseconds timeout) noexcept { busyTimeout_ = timeout; }

    /// The cards in record (rowid) order. Fields are found by name, case-insensitively; every
    /// number must be an integer in 1 .. 99, distinct within its card, and the serial a 32-bit
    /// integer. An empty table, a missing field or any other value is refused.
    [[nodiscard]] std::vector<cards::Card> load() const;

    [[nodiscard]] const std::filesystem::path& file() const noexcept { return file_; }

  private:
    std::filesystem::path file_;
    std::string table_;
    std::chrono::milliseconds busyTimeout_{250};
};

} // namespace bingo::store
