#pragma once

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <stdexcept>
#include <vector>

namespace bingo::preview::test {

/// Writes a PDF with one page per size, each page showing its number in large digits.
inline void writeTestPdf(const QString& path, const std::vector<QPageSize>& sizes) {
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setPageSize(sizes.front());
    QPainter painter(&writer);
    for (std::size_t page = 0; page < sizes.size(); ++page) {
        if (page > 0) {
            writer.setPageSize(sizes[page]);
            writer.newPage();
        }
        const QRect area(0, 0, painter.device()->width(), painter.device()->height());
        painter.setPen(QPen(Qt::black, 20));
        painter.drawRect(area.adjusted(100, 100, -100, -100));
        QFont font;
        font.setPixelSize(area.height() / 3);
        painter.setFont(font);
        painter.drawText(area, Qt::AlignCenter, QString::number(page + 1));
    }
}

inline QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

inline void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

/// Calls handle with the next modal dialog of type Dialog once it is up (a command's
/// QFileDialog or QMessageBox), from inside that dialog's event loop.
template <typename Dialog> void onNextModal(std::function<void(Dialog&)> handle) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, handle] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        handle(*dialog);
    });
    poll->start(10);
}

} // namespace bingo::preview::test
