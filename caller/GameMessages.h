#pragma once

#include <string>

/// The calls the game refuses, in Traditional Chinese; Qt-free like the game itself.
namespace bingo::caller::messages {

/// "號碼 100 不在 1 到 75 之間。"
[[nodiscard]] std::string numberOutOfRange(int number, int range);
[[nodiscard]] std::string alreadyCalled(int number);
[[nodiscard]] std::string nothingToUndo();

} // namespace bingo::caller::messages
