#include "QStringPrinter.h"
#include "caller/GameSession.h"
#include "faults/SmallDisk.h"
#include "support/TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <numeric>

namespace bingo::caller {
namespace {

using test::fileBytes;
using test::writeFile;

/// Twelve cards: card i holds 1 .. 25 shifted by i, serials 1 .. 12.
CardSet twoSheets(const QString& source = QStringLiteral("/tmp/x/tmpBingo.db")) {
    CardSet set;
    for (int i = 0; i < 12; ++i) {
        cards::Card card;
        card.serial = i + 1;
        std::iota(card.numbers.begin(), card.numbers.end(), 1 + i);
        set.cards.push_back(card);
    }
    set.range = 40;
    set.source = source;
    set.job = jobIdentity(set.cards);
    return set;
}

std::vector<QJsonObject> events(const std::filesystem::path& file) {
    std::vector<QJsonObject> list;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);)
        list.push_back(QJsonDocument::fromJson(QByteArray::fromStdString(line)).object());
    return list;
}

std::vector<std::string> eventNames(const std::filesystem::path& file) {
    std::vector<std::string> names;
    for (const QJsonObject& o : events(file))
        names.push_back(o.value("event").toString().toStdString());
    return names;
}

class GameRecordTest : public ::testing::Test {
  protected:
    std::filesystem::path games() const {
        return std::filesystem::path(dir_.path().toStdString()) / "games";
    }
    std::unique_ptr<GameSession> session(CardSet set = twoSheets()) {
        return std::make_unique<GameSession>(std::move(set), games());
    }

    QTemporaryDir dir_;
};

TEST_F(GameRecordTest, EveryEventIsOnDiskAsItHappensAndTheGameResumes) {
    auto first = session();
    EXPECT_EQ(first->resumeUnfinished().message, QString());
    EXPECT_FALSE(std::filesystem::exists(games())) << "a game with no event made a file";
    first->call(5);
    const std::filesystem::path file = first->recordFile();
    EXPECT_EQ(eventNames(file), (std::vector<std::string>{"start", "call"}));
    first->call(17);
    first->undo();
    first->call(9);
    const CheckResult checked = first->check(QStringLiteral("1"));
    ASSERT_EQ(checked.verdicts.size(), 1u);
    EXPECT_EQ(checked.printed, QStringLiteral("0001"));

    const std::vector<QJsonObject> e = events(file);
    ASSERT_EQ(eventNames(file),
              (std::vector<std::string>{"start", "call", "call", "undo", "call", "check"}));
    EXPECT_EQ(e[0].value("source").toString(), QStringLiteral("/tmp/x/tmpBingo.db"));
    EXPECT_EQ(e[0].value("range").toInt(), 40);
    EXPECT_EQ(e[0].value("cards").toInt(), 12);
    EXPECT_EQ(e[0].value("pattern").toString(), QStringLiteral("line"));
    EXPECT_EQ(e[2].value("number").toInt(), 17);
    EXPECT_EQ(e[2].value("count").toInt(), 2);
    EXPECT_EQ(e[3].value("number").toInt(), 17);
    EXPECT_EQ(e[4].value("count").toInt(), 2);
    const QRegularExpression iso(
        QStringLiteral(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d$)"));
    for (const QJsonObject& o : e)
        EXPECT_TRUE(iso.match(o.value("at").toString()).hasMatch())
            << o.value("at").toString().toStdString();
    EXPECT_EQ(e[5].value("serial").toString(), QStringLiteral("0001"));
    const QJsonObject card = e[5].value("cards").toArray().at(0).toObject();
    EXPECT_EQ(card.value("serial").toInt(), 1);
    EXPECT_EQ(card.value("page").toInt(), 1);
    EXPECT_EQ(card.value("winning").toBool(true), false);
    EXPECT_TRUE(card.value("at_call").isNull());
    EXPECT_EQ(card.value("missing").toArray(),
              (QJsonArray{13, 17, 21})); // diagonal 2 holds 5 and 9
    EXPECT_EQ(card.value("lines").toArray(), QJsonArray());

    // The line of the first event comes first in the file, as people read it.
    EXPECT_TRUE(fileBytes(file).starts_with("{\"event\":\"start\",\"at\":\""));

    first.reset();
    auto again = session();
    const GameSession::Resumption resumed = again->resumeUnfinished();
    EXPECT_TRUE(resumed.resumed);
    EXPECT_TRUE(
        resumed.message.startsWith(QStringLiteral("接續上次未結束的一局：已叫 2 個號碼。")));
    EXPECT_EQ(again->game().calls(), (std::vector<int>{5, 9}));
    EXPECT_TRUE(again->isStarted());
    again->call(11);
    EXPECT_EQ(again->recordFile(), file);
    EXPECT_EQ(eventNames(file).back(), "call");
    EXPECT_EQ(events(file).back().value("count").toInt(), 3);
}

TEST_F(GameRecordTest, AGameOpenInAnotherWindowIsNotResumedTwice) {
    auto first = session();
    first->call(5);
    auto second = session();
    EXPECT_EQ(
        second->resumeUnfinished().message,
        QStringLiteral("遊戲紀錄 %1 正由另一個賓果對獎視窗使用中。無法接續遊戲紀錄 %1 的那一局；"
                       "舊紀錄保留不動，這次開始新的一局。")
            .arg(QString::fromStdString(first->recordFile().string())));
    EXPECT_EQ(second->game().callCount(), 0);
    first.reset();
    auto third = session();
    third->resumeUnfinished();
    EXPECT_EQ(third->game().calls(), std::vector<int>{5});
}

TEST_F(GameRecordTest, RefusedCallsAreNotRecorded) {
    auto game = session();
    game->call(1);
    const std::string before = fileBytes(game->recordFile());
    for (const int n : {0, 41, 1})
        EXPECT_THROW(game->call(n), CallRefused) << n;
    EXPECT_EQ(fileBytes(game->recordFile()), before);
    EXPECT_EQ(game->game().calls(), std::vector<int>{1});
    EXPECT_THROW(game->check(QStringLiteral("12345")), std::invalid_argument);
    EXPECT_THROW(game->check(QStringLiteral("7a")), std::invalid_argument);
    EXPECT_EQ(fileBytes(game->recordFile()), before);
}

TEST_F(GameRecordTest, RangeAndPatternAreFixedOnceTheGameHasStarted) {
    auto game = session();
    game->setPattern(Pattern::FullCard);
    EXPECT_THROW(game->setRange(35), std::invalid_argument); // card 12 holds 36
    game->setRange(36);
    game->call(36);
    EXPECT_THROW(game->setPattern(Pattern::OneLine), std::logic_error);
    EXPECT_THROW(game->setRange(40), std::logic_error);
    const QJsonObject start = events(game->recordFile()).front();
    EXPECT_EQ(start.value("pattern").toString(), QStringLiteral("full card"));
    EXPECT_EQ(start.value("range").toInt(), 36);
}

TEST_F(GameRecordTest, ALastLineCutShortIsDroppedOnResume) {
    std::filesystem::path file;
    {
        auto game = session();
        game->call(3);
        game->call(4);
        file = game->recordFile();
    }
    const std::string sound = fileBytes(file);
    writeFile(file, sound + R"({"event":"call","at":"2026-12-11T18:00:00.000+00:00","num)");
    auto game = session();
    EXPECT_TRUE(game->resumeUnfinished().message.startsWith(QStringLiteral("接續")));
    EXPECT_EQ(game->game().calls(), (std::vector<int>{3, 4}));
    EXPECT_EQ(fileBytes(file), sound);
    game->call(5);
    EXPECT_EQ(eventNames(file), (std::vector<std::string>{"start", "call", "call", "call"}));
}

struct Damage {
    const char* name;
    const char* line; // put in as the third line
    const char* says;
};

class DamagedRecordTest : public GameRecordTest, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedRecordTest, IsLeftAsItIsAndANewGameStarts) {
    std::filesystem::path file;
    {
        auto game = session();
        game->call(3);
        game->call(4);
        file = game->recordFile();
    }
    std::string bytes = fileBytes(file);
    const auto second = bytes.find('\n') + 1;
    const auto third = bytes.find('\n', second) + 1;
    bytes.insert(third, std::string(GetParam().line) + "\n");
    writeFile(file, bytes);

    auto game = session();
    const QString said = game->resumeUnfinished().message;
    EXPECT_EQ(
        said,
        QStringLiteral(
            "遊戲紀錄 %1 已損壞：第 3 行%2。無法接續那一局；舊紀錄保留不動，這次開始新的一局。")
            .arg(QString::fromStdString(file.string()), QString::fromUtf8(GetParam().says)));
    EXPECT_EQ(game->game().callCount(), 0);
    game->call(7);
    EXPECT_NE(game->recordFile(), file);
    EXPECT_EQ(fileBytes(file), bytes);
}

const Damage Damages[] = {
    {"garbage", "\x01\x02 not json", "不是完整的事件"},
    {"no_time", R"({"event":"call","number":9,"count":3})", "不是完整的事件"},
    {"repeated_call", R"({"event":"call","at":"x","number":3,"count":3})", "的叫號不合理"},
    {"out_of_range", R"({"event":"call","at":"x","number":41,"count":3})", "的叫號不合理"},
    {"wrong_undo", R"({"event":"undo","at":"x","number":9})", "收回的不是最後叫的號碼"},
    {"unknown", R"({"event":"jackpot","at":"x"})", "是不認得的事件"},
};

INSTANTIATE_TEST_SUITE_P(GameRecord, DamagedRecordTest, ::testing::ValuesIn(Damages),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GameRecordTest, AnEndedGameOrAnotherJobIsNotResumed) {
    std::filesystem::path file;
    {
        auto game = session();
        game->call(3);
        file = game->recordFile();
        game->newGame();
        EXPECT_EQ(eventNames(file).back(), "end");
        EXPECT_EQ(game->game().callCount(), 0);
        EXPECT_FALSE(game->isStarted());
    }
    EXPECT_EQ(session()->resumeUnfinished().message, QString());
    {
        auto game = session();
        game->call(8);
    }
    CardSet other = twoSheets();
    other.job = QStringLiteral("0000000000000001");
    EXPECT_EQ(session(other)->resumeUnfinished().message, QString());
    auto same = session();
    same->resumeUnfinished();
    EXPECT_EQ(same->game().calls(), std::vector<int>{8});
}

TEST_F(GameRecordTest, AFullDiskRefusesTheCallAndLeavesTheRecordAsItWas) {
    std::filesystem::create_directories(games());
    faults::SmallDisk disk(games(), "64k");
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason();
    auto game = session();
    game->call(1);
    const std::filesystem::path file = game->recordFile();
    {
        std::ofstream filler(games() / "filler", std::ios::binary);
        const std::string block(1024, 'x');
        while (filler.write(block.data(), block.size()) && filler.flush()) {
        }
    }
    // The file's last block still has room for a few events; they go in until it is full.
    bool refused = false;
    for (int n = 2; n <= 40 && !refused; ++n) {
        const std::string before = fileBytes(file);
        const std::vector<int> calls = game->game().calls();
        try {
            game->call(n);
        } catch (const RecordError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "無法寫入遊戲紀錄 " + file.string() + "：磁碟已滿。");
            EXPECT_EQ(game->game().calls(), calls);
            EXPECT_EQ(fileBytes(file), before);
            refused = true;
            break;
        }
        const std::string afterCall = fileBytes(file);
        try {
            game->check(QStringLiteral("1"));
        } catch (const RecordError&) {
            EXPECT_EQ(fileBytes(file), afterCall);
        }
    }
    EXPECT_TRUE(refused);
    const int made = game->game().callCount();
    std::filesystem::remove(games() / "filler");
    game->call(40);
    for (const QJsonObject& event : events(file))
        EXPECT_FALSE(event.isEmpty());
    EXPECT_EQ(events(file).back().value("count").toInt(), made + 1);
}

} // namespace
} // namespace bingo::caller
