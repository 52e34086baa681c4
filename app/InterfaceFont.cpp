#include "app/InterfaceFont.h"

#include <QApplication>
#include <QFont>
#include <QStringList>

namespace bingo::app {

void useInterfaceFont(QApplication& application) {
    Q_UNUSED(application);
    QFont font = QApplication::font();
    // A Ming (serif) face reads poorly at dialog sizes; Latin text falls back to a plain sans.
    font.setFamilies({QStringLiteral("Noto Sans CJK TC"), QStringLiteral("Noto Sans CJK JP"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
}

} // namespace bingo::app
