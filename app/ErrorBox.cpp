#include "app/ErrorBox.h"

#include <QMessageBox>

namespace bingo::app {

QString errorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back() > QChar(u'.'))
        return message + u'.';
    return message;
}

std::unique_ptr<QMessageBox> createErrorBox(const QString& title, const QString& message) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::Critical, title, errorBoxText(message),
                                             QMessageBox::Ok);
    box->setWindowModality(Qt::ApplicationModal);
    box->setTextFormat(Qt::PlainText);
    return box;
}

} // namespace bingo::app
