#include "report/Fonts.h"

#include <QFont>
#include <QStringList>

namespace bingo::report {

void registerFontSubstitutions() {
    // insertSubstitutions skips names already in the list, so repeated calls are harmless.
    QFont::insertSubstitutions(QStringLiteral("新細明體"),
                               {QStringLiteral("PMingLiU"), QStringLiteral("AR PL UMing TW"),
                                QStringLiteral("Noto Serif CJK TC")});
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
}

} // namespace bingo::report
