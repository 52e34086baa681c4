#include "app/ErrorBox.h"

#include <QMessageBox>
#include <algorithm>

namespace bingo::app {

namespace {

bool isCjk(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x2E80 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF) ||
           (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFFEF);
}

bool isBreak(QChar c) {
    return c.isSpace() || c == u'「' || c == u'」';
}

QString shortened(QStringView run) {
    // The tail is the longer part: the end of a path names the file.
    qsizetype head = (MaxUnbrokenRun - 1) * 2 / 5;
    qsizetype tail = MaxUnbrokenRun - 1 - head;
    // Never split a surrogate pair.
    if (run[head - 1].isHighSurrogate())
        --head;
    if (run[run.size() - tail].isLowSurrogate())
        --tail;
    return run.first(head) + QStringLiteral("…") + run.last(tail);
}

} // namespace

QString errorBoxText(const QString& message) {
    if (message.isEmpty())
        return message;
    const QChar last = message.back();
    if (std::any_of(message.begin(), message.end(), isCjk)) {
        if (last == u'。' || last == u'！' || last == u'？')
            return message;
        return message + u'。';
    }
    if (last > QChar(u'.'))
        return message + u'.';
    return message;
}

QString shortenedRuns(const QString& message) {
    QString result;
    result.reserve(std::min(message.size(), qsizetype(4096)));
    qsizetype start = 0;
    const auto flush = [&](qsizetype end) {
        const QStringView run = QStringView(message).mid(start, end - start);
        result += run.size() > MaxUnbrokenRun ? shortened(run) : run.toString();
    };
    for (qsizetype i = 0; i < message.size(); ++i) {
        if (isBreak(message[i])) {
            flush(i);
            result += message[i];
            start = i + 1;
        }
    }
    flush(message.size());
    return result;
}

std::unique_ptr<QMessageBox> createErrorBox(const QString& title, const QString& message) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::Critical, title,
                                             errorBoxText(shortenedRuns(message)), QMessageBox::Ok);
    box->setWindowModality(Qt::ApplicationModal);
    box->setTextFormat(Qt::PlainText);
    return box;
}

} // namespace bingo::app
