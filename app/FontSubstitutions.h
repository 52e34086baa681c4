#pragma once

namespace bingo::app {

/// Maps the font names the forms ask for onto fonts a Debian system has: "新細明體" onto the
/// Ming typefaces, "MS Sans Serif" and "Arial" onto metric-alike sans fonts. Call once, after
/// the application object exists and before any window is created.
void registerFontSubstitutions();

} // namespace bingo::app
