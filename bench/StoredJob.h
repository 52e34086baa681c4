#pragma once

#include "cards/CardGenerator.h"
#include "store/CardTable.h"

namespace bingo::bench {

/// What the program's job does to the table: empties it (creating it if missing), then draws
/// the cards of sheets sheets from random and stores them in one transaction.
inline void storeJob(store::CardTable& table, cards::RandomSource& random, int range, int sheets) {
    table.prepare();
    cards::NoProgress progress;
    store::CardTable::Batch batch(table);
    cards::CardGenerator(random, table, progress).generate(range, sheets);
    batch.commit();
}

} // namespace bingo::bench
