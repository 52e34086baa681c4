#include "caller/GameRecord.h"

#include "caller/CallerMessages.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bingo::caller {

namespace {

QString pathText(const std::filesystem::path& file) {
    return QString::fromStdString(file.string());
}

[[noreturn]] void failWrite(const std::filesystem::path& file, int error) {
    throw RecordError(
        messages::cannotWriteRecord(file, messages::recordSystemReason(error)).toStdString());
}

[[noreturn]] void damaged(const std::filesystem::path& file, qsizetype line,
                          messages::Damage damage) {
    throw RecordError(messages::recordDamaged(file, line, damage).toStdString());
}

/// {"event": name, "at": now, ...fields}: the event and its time first, for people reading it.
QByteArray eventLine(const char* name, const QJsonObject& fields) {
    QByteArray line = "{\"event\":\"" + QByteArray(name) + "\",\"at\":\"" +
                      GameRecord::timestamp().toUtf8() + "\"";
    const QByteArray rest = QJsonDocument(fields).toJson(QJsonDocument::Compact);
    if (rest.size() > 2)
        line += "," + rest.mid(1, rest.size() - 2);
    line += "}\n";
    return line;
}

bool isInteger(const QJsonValue& value) {
    return value.isDouble() && value.toDouble() == static_cast<double>(value.toInteger());
}

std::optional<QJsonObject> parseLine(const QByteArray& line) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonObject object = doc.object();
    if (!object.value("event").isString() || !object.value("at").isString())
        return std::nullopt;
    return object;
}

/// The start event's fields into game; false if they are not all there and sound.
bool readStart(const QJsonObject& o, RecordedGame& game) {
    const auto pattern = parsePattern(o.value("pattern").toString().toStdString());
    if (o.value("event").toString() != "start" || !o.value("source").isString() ||
        !isInteger(o.value("range")) || !isInteger(o.value("cards")) || !pattern)
        return false;
    game.source = o.value("source").toString();
    game.range = o.value("range").toInt();
    game.cards = o.value("cards").toInt();
    game.pattern = *pattern;
    game.job = o.value("job").toString();
    return game.range >= 25 && game.range <= 99 && game.cards > 0;
}

QByteArray firstLine(const std::filesystem::path& file) {
    QFile f(pathText(file));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readLine(64 * 1024);
}

} // namespace

GameRecord::GameRecord(std::filesystem::path directory) : directory_(std::move(directory)) {}

GameRecord::~GameRecord() {
    close();
}

QString GameRecord::timestamp() {
    const QDateTime now = QDateTime::currentDateTime();
    const int offset = now.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return now.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")) +
           QChar(offset < 0 ? u'-' : u'+') +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QChar(u'0'))
               .arg(minutes % 60, 2, 10, QChar(u'0'));
}

RecordedGame GameRecord::read(const std::filesystem::path& file) {
    QFile f(pathText(file));
    if (!f.open(QIODevice::ReadOnly))
        throw RecordError(messages::cannotReadRecord(file, f.errorString()).toStdString());
    const QByteArray bytes = f.readAll();
    RecordedGame game;
    game.file = file;
    qsizetype at = 0;
    qsizetype lineNumber = 0;
    while (at < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', at);
        ++lineNumber;
        if (end < 0) {
            // Cut short by a crash while it was written: that event never took effect.
            game.damagedTail = true;
            break;
        }
        const auto object = parseLine(bytes.mid(at, end - at));
        if (!object)
            damaged(file, lineNumber, messages::Damage::NotAnEvent);
        const QString event = object->value("event").toString();
        if (lineNumber == 1) {
            if (!readStart(*object, game))
                damaged(file, 1, messages::Damage::NotTheStart);
        } else if (game.ended) {
            damaged(file, lineNumber, messages::Damage::AfterTheEnd);
        } else if (event == "call") {
            const QJsonValue number = object->value("number");
            const int n = number.toInt();
            if (!isInteger(number) || n < 1 || n > game.range ||
                std::find(game.calls.begin(), game.calls.end(), n) != game.calls.end() ||
                object->value("count").toInt() != static_cast<int>(game.calls.size()) + 1)
                damaged(file, lineNumber, messages::Damage::UnsoundCall);
            game.calls.push_back(n);
        } else if (event == "undo") {
            if (game.calls.empty() || object->value("number").toInt() != game.calls.back())
                damaged(file, lineNumber, messages::Damage::UndoNotLast);
            game.calls.pop_back();
        } else if (event == "end") {
            game.ended = true;
        } else if (event != "check") {
            damaged(file, lineNumber, messages::Damage::UnknownEvent);
        }
        at = end + 1;
        game.soundBytes = at;
    }
    if (lineNumber == 0 || game.soundBytes == 0)
        damaged(file, 1, messages::Damage::NotTheStart);
    return game;
}

std::optional<RecordedGame> GameRecord::findUnfinished(const QString& source,
                                                       const QString& job) const {
    std::error_code error;
    std::vector<std::filesystem::path> files;
    for (std::filesystem::directory_iterator it(directory_, error), end; !error && it != end;
         it.increment(error))
        if (it->path().extension() == ".jsonl" && it->is_regular_file(error))
            files.push_back(it->path());
    // The names begin with the start time, so the latest game sorts last.
    std::sort(files.begin(), files.end());
    for (auto it = files.rbegin(); it != files.rend(); ++it) {
        const auto start = parseLine(firstLine(*it).trimmed());
        RecordedGame head;
        if (!start || !readStart(*start, head) || head.source != source || head.job != job)
            continue;
        RecordedGame game = read(*it);
        if (game.ended)
            return std::nullopt;
        return game;
    }
    return std::nullopt;
}

void GameRecord::start(const GameStart& start) {
    close();
    std::error_code error;
    std::filesystem::create_directories(directory_, error);
    if (error)
        throw RecordError(messages::cannotCreateRecordDirectory(
                              directory_, messages::recordSystemReason(error.value()))
                              .toStdString());
    const QString stem =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    std::filesystem::path file;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        // Two digits of attempt, so that names sort in the order the games started.
        file = directory_ / QStringLiteral("game-%1-%2.jsonl")
                                .arg(stem)
                                .arg(attempt, 2, 10, QChar(u'0'))
                                .toStdString();
        fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    S_IRUSR | S_IWUSR);
        if (fd < 0 && (errno != EEXIST || attempt >= 99))
            failWrite(file, errno);
    }
    ::flock(fd, LOCK_EX | LOCK_NB);
    fd_ = fd;
    file_ = file;
    QJsonObject fields{{"source", start.source},
                       {"range", start.range},
                       {"cards", start.cards},
                       {"pattern", QString::fromUtf8(patternName(start.pattern).data())},
                       {"job", start.job}};
    try {
        append(eventLine("start", fields));
    } catch (...) {
        close();
        ::unlink(file.c_str());
        throw;
    }
    // The new name itself must survive a crash too.
    if (const int dir = ::open(directory_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void GameRecord::resume(const RecordedGame& game) {
    close();
    const int fd = ::open(game.file.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        failWrite(game.file, errno);
    // Two windows appending to one game would tangle its record.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        throw RecordError(messages::recordInUse(game.file).toStdString());
    }
    if (game.damagedTail && (::ftruncate(fd, game.soundBytes) != 0 || ::fdatasync(fd) != 0)) {
        const int error = errno;
        ::close(fd);
        failWrite(game.file, error);
    }
    fd_ = fd;
    file_ = game.file;
}

void GameRecord::append(const QByteArray& line) {
    if (fd_ < 0)
        throw std::logic_error("no game record is open");
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        failWrite(file_, errno);
    const char* data = line.constData();
    qsizetype left = line.size();
    int error = 0;
    while (left > 0) {
        const ssize_t written = ::write(fd_, data, static_cast<std::size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            break;
        }
        data += written;
        left -= written;
    }
    if (error == 0 && ::fdatasync(fd_) != 0)
        error = errno;
    if (error != 0) {
        // Whatever part of the line got there goes again, so the file stays a list of events.
        if (::ftruncate(fd_, st.st_size) == 0)
            ::fdatasync(fd_);
        failWrite(file_, error);
    }
}

void GameRecord::appendCall(int number, int count) {
    append(eventLine("call", {{"number", number}, {"count", count}}));
}

void GameRecord::appendUndo(int number) {
    append(eventLine("undo", {{"number", number}}));
}

void GameRecord::appendCheck(const QString& serial, const std::vector<Verdict>& verdicts,
                             const Game& game) {
    QJsonArray list;
    for (const Verdict& v : verdicts) {
        QJsonArray lines;
        for (const int line : v.lines)
            lines.append(QString::fromStdString(lineName(line)));
        if (v.fullCard)
            lines.append(QStringLiteral("full card"));
        QJsonArray missing;
        for (const int n : v.missing)
            missing.append(n);
        list.append(QJsonObject{{"serial", v.serial},
                                {"page", v.page},
                                {"winning", v.winning},
                                {"lines", lines},
                                {"at_call", v.atCall ? QJsonValue(*v.atCall) : QJsonValue()},
                                {"missing", missing}});
    }
    append(eventLine("check", {{"serial", serial}, {"calls", game.callCount()}, {"cards", list}}));
}

void GameRecord::appendEnd() {
    append(eventLine("end", {}));
    close();
}

void GameRecord::close() noexcept {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

} // namespace bingo::caller
