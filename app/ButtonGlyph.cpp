#include "app/ButtonGlyph.h"

#include "app/AppMessages.h"

#include <QImage>
#include <QPixmap>
#include <stdexcept>

namespace bingo::app {

ButtonGlyph loadButtonGlyph(const QString& path) {
    QImage bitmap(path);
    if (bitmap.isNull() || bitmap.width() < 2)
        throw std::runtime_error(messages::buttonPictureUnreadable(path).toStdString());
    bitmap = bitmap.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = bitmap.pixel(0, bitmap.height() - 1);
    for (int y = 0; y < bitmap.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
        for (int x = 0; x < bitmap.width(); ++x) {
            if (line[x] == transparent)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    const QSize size(bitmap.width() / 2, bitmap.height());
    ButtonGlyph glyph{QIcon(), size};
    glyph.icon.addPixmap(QPixmap::fromImage(bitmap.copy(0, 0, size.width(), size.height())),
                         QIcon::Normal);
    glyph.icon.addPixmap(
        QPixmap::fromImage(bitmap.copy(size.width(), 0, size.width(), size.height())),
        QIcon::Disabled);
    return glyph;
}

} // namespace bingo::app
