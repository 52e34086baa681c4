#include "caller/GameMessages.h"

namespace bingo::caller::messages {

std::string numberOutOfRange(int number, int range) {
    return "號碼 " + std::to_string(number) + " 不在 1 到 " + std::to_string(range) + " 之間。";
}

std::string alreadyCalled(int number) {
    return "號碼 " + std::to_string(number) + " 已經叫過了。";
}

std::string nothingToUndo() {
    return "還沒有叫過號碼，沒有可以收回的。";
}

} // namespace bingo::caller::messages
