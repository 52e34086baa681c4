#include "app/FontSubstitutions.h"

#include <QFont>
#include <QStringList>

namespace bingo::app {

void registerFontSubstitutions() {
    QFont::insertSubstitutions(QStringLiteral("新細明體"),
                               {QStringLiteral("PMingLiU"), QStringLiteral("AR PL UMing TW"),
                                QStringLiteral("Noto Serif CJK TC")});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans")});
}

} // namespace bingo::app
