#include "app/Session.h"

#include <stdexcept>

namespace bingo::app {

Session::Session(std::filesystem::path scratchDirectory, Seeder seeder)
    : scratchDirectory_(std::move(scratchDirectory)), seeder_(std::move(seeder)), table_("tbTmp") {}

void Session::seedRandom() {
    random_.emplace(seeder_());
}

cards::RandomSource& Session::random() {
    if (!random_)
        throw std::logic_error("the random source is used before it was seeded");
    return *random_;
}

} // namespace bingo::app
