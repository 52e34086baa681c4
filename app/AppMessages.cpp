#include "app/AppMessages.h"

#include <QDir>

namespace bingo::app::messages {

QString unexpectedError() {
    return QStringLiteral("發生未預期的錯誤，指令已中止");
}

QString buttonPictureUnreadable(const QString& path) {
    return QStringLiteral("無法讀取按鈕圖片「%1」").arg(QDir::toNativeSeparators(path));
}

} // namespace bingo::app::messages
