#pragma once

#include "caller/Game.h"

#include <QString>
#include <vector>

namespace bingo::caller {

/// The pattern as the window names it: "一條線", "兩條線", "全滿".
[[nodiscard]] QString patternLabel(Pattern pattern);
/// A line as the operator says it: "第 1 列" (row), "第 1 行" (column), "左上到右下斜線", ...
[[nodiscard]] QString lineLabel(int line);
/// "序號 0007（第 2 頁）"
[[nodiscard]] QString cardLabel(const Verdict& verdict);
/// The verdict on one card in words: winning or not, its lines, the call that completed the
/// pattern, or what its nearest way to win still needs.
[[nodiscard]] QString verdictText(const Verdict& verdict, Pattern pattern);
/// The cards that completed the pattern with the last call, for the who-has-bingo list:
/// count, then serials with pages (at most limit of them).
[[nodiscard]] QString winnersText(const Game& game, int limit = 60);

} // namespace bingo::caller
