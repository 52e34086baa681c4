#pragma once

#include "caller/Game.h"

#include <QString>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <vector>

namespace bingo::caller {

/// A failure of the game record; the message, in Traditional Chinese, names the file.
class RecordError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// What a game's record says about the game so far.
struct RecordedGame {
    std::filesystem::path file;
    QString source;
    int range = 0;
    int cards = 0;
    Pattern pattern = Pattern::OneLine;
    QString job;            ///< the job's identity (its digest) the game was started on
    std::vector<int> calls; ///< in order, undone calls taken out
    bool ended = false;
    bool damagedTail = false; ///< the last line was cut short (a crash while writing it)
    qint64 soundBytes = 0;    ///< the length of the file up to its last complete line
};

/// How the game started: the "start" event's fields.
struct GameStart {
    QString source;
    int range = 0;
    int cards = 0;
    Pattern pattern = Pattern::OneLine;
    QString job;
};

/// The game's audit trail: one JSON Lines file per game in a directory, every event appended
/// and on disk (fdatasync) before the call returns, so a killed program loses nothing it showed.
/// A failed append leaves the file as it was before it.
class GameRecord {
  public:
    /// directory: where the games' files are; created when the first game starts.
    explicit GameRecord(std::filesystem::path directory);
    ~GameRecord();
    GameRecord(const GameRecord&) = delete;
    GameRecord& operator=(const GameRecord&) = delete;

    /// Reads a game's file. A last line cut short is dropped (damagedTail); any other line
    /// that is not a sound event throws RecordError.
    [[nodiscard]] static RecordedGame read(const std::filesystem::path& file);

    /// The most recent game of this source and job that has not ended, if any. A damaged file
    /// of that game throws RecordError; other files that cannot be read are passed over.
    [[nodiscard]] std::optional<RecordedGame> findUnfinished(const QString& source,
                                                             const QString& job) const;

    /// Starts a new game file and writes its "start" event.
    void start(const GameStart& start);
    /// Appends to the game read from file: a line cut short at its end is cut off first.
    /// The file is locked while open here; one open in another window throws RecordError.
    void resume(const RecordedGame& game);
    [[nodiscard]] bool isOpen() const noexcept { return fd_ >= 0; }
    [[nodiscard]] const std::filesystem::path& file() const noexcept { return file_; }

    void appendCall(int number, int count);
    void appendUndo(int number);
    /// serial as typed and printed (four digits); the verdicts of the cards it names.
    void appendCheck(const QString& serial, const std::vector<Verdict>& verdicts, const Game& game);
    /// Ends the game; the file is closed.
    void appendEnd();
    void close() noexcept;

    /// The local time with its offset, ISO 8601: "2026-12-11T17:40:03.120+08:00".
    [[nodiscard]] static QString timestamp();

  private:
    void append(const QByteArray& json);

    std::filesystem::path directory_;
    std::filesystem::path file_;
    int fd_ = -1;
};

} // namespace bingo::caller
