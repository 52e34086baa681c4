#pragma once

#include <stdexcept>

namespace bingo::app {

/// Ends a command without a message: the application's error handler shows nothing for it.
class SilentAbort : public std::runtime_error {
  public:
    SilentAbort() : std::runtime_error("Operation aborted") {}
};

} // namespace bingo::app
