#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <filesystem>

namespace bingo::caller {

/// Watches the card table a game was opened on, only ever reading it: when the file changes
/// and then holds a job other than the game's, says so once.
class TableWatcher : public QObject {
    Q_OBJECT

  public:
    /// job: the identity (jobIdentity()) of the cards the game plays.
    TableWatcher(std::filesystem::path scratchDirectory, QString job, QObject* parent = nullptr);
    /// Looks at the file now; the timer calls this every second.
    void poll();

  Q_SIGNALS:
    /// The table now holds another job's cards.
    void anotherJob();

  private:
    std::filesystem::path directory_;
    QString job_;
    QTimer timer_;
    QString seen_; // the file's state when last read completely
    bool told_ = false;
};

} // namespace bingo::caller
