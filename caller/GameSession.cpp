#include "caller/GameSession.h"

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
        return {false, QString::fromUtf8(error.what()) +
                           QStringLiteral("無法接續那一局；舊紀錄保留不動，這次開始新的一局。")};
    }
    if (!recorded)
        return {};
    if (recorded->cards != game_->cardCount() || recorded->range < smallestRange_)
        return {false, QStringLiteral("遊戲紀錄 %1 與這批彩卷不符，無法接續；舊紀錄保留不動，"
                                      "這次開始新的一局。")
                           .arg(QString::fromStdString(recorded->file.string()))};
    try {
        auto game = std::make_unique<Game>(game_->cards(), recorded->range, recorded->pattern);
        for (const int number : recorded->calls)
            game->call(number);
        record_.resume(*recorded);
        game_ = std::move(game);
    } catch (const std::exception& error) {
        return {false, QString::fromUtf8(error.what()) +
                           QStringLiteral(
                               "無法接續遊戲紀錄 %1 的那一局；舊紀錄保留不動，這次開始新的一局。")
                               .arg(QString::fromStdString(recorded->file.string()))};
    }
    return {true,
            QStringLiteral("接續上次未結束的一局：已叫 %1 個號碼。按 Ctrl+N 結束它並開始新的一局。")
                .arg(game_->callCount())};
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
        throw CallRefused(
            CallRefused::Reason::NothingLeft, 0,
            QStringLiteral("1 到 %1 的號碼都已經叫過了。").arg(game_->range()).toStdString());
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
        throw std::invalid_argument(
            QStringLiteral("序號「%1」不是 1 到 4 位數字。").arg(text).toStdString());
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
