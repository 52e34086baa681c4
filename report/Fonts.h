#pragma once

namespace bingo::report {

/// Maps the fonts the printed cards name onto fonts a Debian system has: "新細明體" onto
/// "PMingLiU", "Noto Serif CJK TC" or "AR PL UMing TW", in that order, "Arial" onto "Liberation
/// Sans" (metric-compatible), "MS Sans Serif" onto a plain sans. Process-wide; calling it again
/// changes nothing. Call once at start-up, before anything is laid out.
void registerFontSubstitutions();

} // namespace bingo::report
