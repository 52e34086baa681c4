#include "cards/CardMessages.h"

namespace bingo::cards::messages {

std::string rangeTooSmall(int minimum, int range) {
    return "號數範圍至少要是 " + std::to_string(minimum) + "，不能是 " + std::to_string(range);
}

std::string negativeSheets(int sheets) {
    return "列印張數不能是負數（" + std::to_string(sheets) + "）";
}

} // namespace bingo::cards::messages
