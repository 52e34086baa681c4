#include "cards/CardGenerator.h"

#include "cards/CardMessages.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace bingo::cards {

void CardGenerator::drawCard(RandomSource& random, int range, Card& card) noexcept {
    const auto n = static_cast<std::uint32_t>(range);
    for (int k = 0; k < NumbersPerCard; ++k) {
        // Only the numbers before this slot are this card's; those after it are left from before.
        const auto slot = card.numbers.begin() + k;
        std::int32_t candidate;
        do
            candidate = static_cast<std::int32_t>(random.draw(n)) + 1;
        while (std::find(card.numbers.begin(), slot, candidate) != slot);
        *slot = candidate;
    }
}

void CardGenerator::generate(int range, int sheets) {
    if (range < NumbersPerCard)
        throw std::invalid_argument(messages::rangeTooSmall(NumbersPerCard, range));
    if (sheets < 0)
        throw std::invalid_argument(messages::negativeSheets(sheets));

    progress_.setMaximum(sheets);
    progress_.setPosition(0);
    progress_.setVisible(true);

    Card card;
    std::int32_t serial = 0;
    for (int sheet = 1; sheet <= sheets; ++sheet) {
        progress_.setPosition(sheet);
        for (int i = 0; i < CardsPerSheet; ++i) {
            drawCard(random_, range, card);
            card.serial = ++serial;
            sink_.store(card);
        }
    }
    progress_.setVisible(false);
}

} // namespace bingo::cards
