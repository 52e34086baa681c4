#pragma once

#include <QDateTime>
#include <functional>

namespace bingo::report {

/// Where the report reads the time for its stamps; the program uses the system clock.
using Clock = std::function<QDateTime()>;

} // namespace bingo::report
