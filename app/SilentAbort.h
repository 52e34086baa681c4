#pragma once

#include "preview/Command.h"

namespace bingo::app {

/// Ends a command without a message: the application's error handler shows nothing for it.
using SilentAbort = preview::SilentAbort;

} // namespace bingo::app
