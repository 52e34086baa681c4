#include "caller/GameSession.h"

#include "caller/CallerMessages.h"

#include <QRandomGenerator>
#include <algorithm>

namespace bingo::caller {

GameSession::GameSession(CardSet cards, std::filesystem::path recordDirectory)
    : set_(std::move(cards)), record_(std::move(recordDirectory)) {
    for (const cards::Card& card : set_.cards)
        smallestRange_ =
            std::max(smallestRange_, *std::max_element(card.numbers.begin(), card.numbers.end()));
    // The game keeps the only copy of the cards: 59,994 of them are worth not holding twice.
    game_ = std::make_unique<Game>(std::move(set_.cards), set_.range);
    set_.cards.clear();
}

GameSession::Resumption GameSession::resumeUnfinished() {
    std::optional<RecordedGame> recorded;
    try {
        recorded = record_.findUnfinished(set_.source, set_.job);
    } catch (const RecordError& error) {
        return {false, messages::unreadableRecordNotResumed(QString::fromUtf8(error.what()))};
    }
    if (!recorded)
        return {};
    if (recorded->cards != game_->cardCount() || recorded->range < smallestRange_)
        return {false, messages::recordDoesNotMatch(recorded->file)};
    try {
        auto game = std::make_unique<Game>(game_->cards(), recorded->range, recorded->pattern);
        for (const int number : recorded->calls)
            game->call(number);
        record_.resume(*recorded);
        game_ = std::move(game);
    } catch (const std::exception& error) {
        return {false, messages::recordNotResumed(QString::fromUtf8(error.what()), recorded->file)};
    }
    return {true, messages::resumed(game_->callCount())};
}

void GameSession::setPattern(Pattern pattern) {
    if (isStarted())
        throw std::logic_error("the pattern is fixed once the game has started");
    game_->setPattern(pattern);
}

void GameSession::setRange(int range) {
    if (isStarted())
        throw std::logic_error("the range is fixed once the game has started");
    if (range < smallestRange_ || range > 99)
        throw std::invalid_argument("the range must hold every number of the cards");
    game_ = std::make_unique<Game>(game_->cards(), range, game_->pattern());
}

void GameSession::ensureStarted() {
    if (!record_.isOpen())
        record_.start(
            {set_.source, game_->range(), game_->cardCount(), game_->pattern(), set_.job});
}

const std::vector<int>& GameSession::call(int number) {
    game_->checkCall(number);
    ensureStarted();
    record_.appendCall(number, game_->callCount() + 1);
    return game_->call(number);
}

int GameSession::draw() {
    const std::vector<int> left = game_->uncalled();
    if (left.empty())
        throw CallRefused(CallRefused::Reason::NothingLeft, 0,
                          messages::allNumbersCalled(game_->range()).toStdString());
    const int number = left[QRandomGenerator::system()->bounded(static_cast<quint32>(left.size()))];
    call(number);
    return number;
}

int GameSession::undo() {
    if (game_->callCount() == 0)
        return game_->undo(); // throws CallRefused
    record_.appendUndo(game_->calls().back());
    return game_->undo();
}

CheckResult GameSession::check(const QString& typed) {
    const QString text = typed.trimmed();
    bool digits = !text.isEmpty() && text.size() <= 4;
    for (const QChar c : text)
        digits = digits && c >= u'0' && c <= u'9';
    if (!digits)
        throw std::invalid_argument(messages::serialNotDigits(text).toStdString());
    lastCheck_ = {};
    lastCheck_.printed = text.rightJustified(4, u'0');
    for (const int index : game_->cardsPrinting(lastCheck_.printed.toStdString()))
        lastCheck_.verdicts.push_back(game_->verdict(index));
    ensureStarted();
    record_.appendCheck(lastCheck_.printed, lastCheck_.verdicts, *game_);
    return lastCheck_;
}

void GameSession::newGame() {
    if (record_.isOpen())
        record_.appendEnd();
    game_ = std::make_unique<Game>(game_->cards(), game_->range(), game_->pattern());
}

} // namespace bingo::caller
