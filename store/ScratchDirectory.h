#pragma once

#include <filesystem>

namespace bingo::store {

/// The card table's directory: "TEMP" when it is set and not empty, taken as it is and never
/// created (a missing one makes the job fail); else $XDG_CACHE_HOME/bingo, or ~/.cache/bingo,
/// created if missing (a failure to create it shows when the job writes there).
[[nodiscard]] std::filesystem::path scratchDirectory();

/// The user's home directory: $HOME, else the password database's entry, else "/".
[[nodiscard]] std::filesystem::path homeDirectory();

} // namespace bingo::store
