#pragma once

#include "caller/CardSource.h"
#include "caller/Game.h"
#include "caller/GameRecord.h"

#include <QString>
#include <filesystem>
#include <memory>
#include <vector>

namespace bingo::caller {

/// One check by serial: the serial as printed and the verdict on every card printing it.
struct CheckResult {
    QString printed;
    std::vector<Verdict> verdicts;
};

/// The game being played on one job's cards, with its record: every call, undo and check is
/// on disk before it takes effect, so what the window shows is always what the record holds.
/// The record's file is created by the first event; until then range and pattern may change.
/// No widgets: the window drives it and shows what it returns or throws.
class GameSession {
  public:
    GameSession(CardSet cards, std::filesystem::path recordDirectory);

    /// What resumeUnfinished() did, for the operator.
    struct Resumption {
        bool resumed = false;
        QString message; ///< empty for a plain new game; else what happened, or why not resumed
    };
    /// Resumes this job's unfinished game from its record, if there is one. A record that
    /// cannot be resumed (damaged, in use, not of these cards) is left as it is and a new game
    /// starts; the message then says why.
    Resumption resumeUnfinished();

    [[nodiscard]] const Game& game() const noexcept { return *game_; }
    /// Where the cards came from; the cards themselves are the game's (its cards()).
    [[nodiscard]] const CardSet& cardSet() const noexcept { return set_; }
    /// The record's file once the game has started, else empty.
    [[nodiscard]] std::filesystem::path recordFile() const { return record_.file(); }
    /// True once the game's first event is recorded: range and pattern are fixed then.
    [[nodiscard]] bool isStarted() const noexcept { return record_.isOpen(); }

    /// Before the game starts (std::logic_error after). A range below the cards' largest
    /// number throws std::invalid_argument.
    void setPattern(Pattern pattern);
    void setRange(int range);
    /// The smallest range that holds every number of the cards.
    [[nodiscard]] int smallestRange() const noexcept { return smallestRange_; }

    /// Calls number: CallRefused (nothing recorded) or RecordError (nothing changed).
    const std::vector<int>& call(int number);
    /// Calls a number drawn uniformly from those not yet called, from the operating system's
    /// random source; returns it. CallRefused when every number has been called.
    int draw();
    /// Takes back the last call; returns its number.
    int undo();
    /// The verdicts on the cards printing typed (1 to 4 digits), recorded as a "check" event.
    /// std::invalid_argument for any other text. A failure to record throws RecordError after
    /// the verdicts are known: see lastCheck().
    CheckResult check(const QString& typed);
    [[nodiscard]] const CheckResult& lastCheck() const noexcept { return lastCheck_; }
    /// Ends the game in the record and starts a new one, with the same range and pattern.
    void newGame();

  private:
    void ensureStarted();

    CardSet set_;
    GameRecord record_;
    std::unique_ptr<Game> game_;
    int smallestRange_ = 25;
    CheckResult lastCheck_;
};

} // namespace bingo::caller
