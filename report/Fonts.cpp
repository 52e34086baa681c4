#include "report/Fonts.h"

#include <QFont>
#include <QStringList>

namespace bingo::report {

void registerFontSubstitutions() {
    // insertSubstitutions skips names already in the list, so repeated calls are harmless.
    // Noto Serif CJK TC before AR PL UMing: UMing sets Latin spaces and colons half an em wide,
    // which pushes the caption's colon onto the serial beside it.
    QFont::insertSubstitutions(QStringLiteral("新細明體"),
                               {QStringLiteral("PMingLiU"), QStringLiteral("Noto Serif CJK TC"),
                                QStringLiteral("AR PL UMing TW")});
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans")});
    // Liberation Sans first: its digits are as narrow as MS Sans Serif's, so a four-digit sheet
    // count still fits the main window's 65 px field; DejaVu Sans's do not.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
}

} // namespace bingo::report
