#pragma once

#include <string>

/// The card generator's texts for the operator, in Traditional Chinese; whole sentences
/// without a full stop (the error box adds it).
namespace bingo::cards::messages {

/// "號數範圍至少要是 minimum，不能是 range"
[[nodiscard]] std::string rangeTooSmall(int minimum, int range);
[[nodiscard]] std::string negativeSheets(int sheets);

} // namespace bingo::cards::messages
