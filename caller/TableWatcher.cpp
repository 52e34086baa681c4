#include "caller/TableWatcher.h"

#include "caller/CardSource.h"

#include <sys/stat.h>

namespace bingo::caller {

namespace {

QString fileState(const std::filesystem::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0)
        return QStringLiteral("missing");
    return QStringLiteral("%1:%2:%3.%4")
        .arg(st.st_ino)
        .arg(st.st_size)
        .arg(st.st_mtim.tv_sec)
        .arg(st.st_mtim.tv_nsec);
}

} // namespace

TableWatcher::TableWatcher(std::filesystem::path scratchDirectory, QString job, QObject* parent)
    : QObject(parent), directory_(std::move(scratchDirectory)), job_(std::move(job)) {
    seen_ = fileState(directory_ / "tmpBingo.db");
    connect(&timer_, &QTimer::timeout, this, &TableWatcher::poll);
    timer_.start(1000);
}

void TableWatcher::poll() {
    if (told_)
        return;
    const QString state = fileState(directory_ / "tmpBingo.db");
    if (state == seen_)
        return;
    try {
        const CardSet now = loadTableCards(directory_);
        seen_ = state;
        if (now.job != job_) {
            told_ = true;
            timer_.stop();
            Q_EMIT anotherJob();
        }
    } catch (const SourceError&) {
        // Locked while a job is written, emptied, or gone: look again at the next tick, and
        // say nothing until it holds cards that can be compared.
    }
}

} // namespace bingo::caller
