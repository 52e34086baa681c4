#pragma once

#include <stdexcept>
#include <string>

namespace bingo::store {

/// Every failure of the card table: the message says what failed and where.
class StoreError : public std::runtime_error {
  public:
    explicit StoreError(const std::string& message, int sqliteCode = 0)
        : std::runtime_error(message), code_(sqliteCode) {}
    /// The SQLite result code behind the failure, 0 where there is none.
    [[nodiscard]] int sqliteCode() const noexcept { return code_; }

  private:
    int code_;
};

} // namespace bingo::store
