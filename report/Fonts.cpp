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
    // Liberation Sans first: its digits are as narrow as MS Sans Serif's, so a four-digit sheet
    // count still fits the main window's 65 px field; DejaVu Sans's do not.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
}

} // namespace bingo::report
