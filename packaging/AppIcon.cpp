#include "AppIcon.h"

#include <QSize>
#include <QString>

namespace bingo::packaging {

QIcon applicationIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/bingo-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

} // namespace bingo::packaging
