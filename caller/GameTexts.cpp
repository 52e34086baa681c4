#include "caller/GameTexts.h"

#include <QStringList>

namespace bingo::caller {

QString patternLabel(Pattern pattern) {
    switch (pattern) {
    case Pattern::OneLine:
        return QStringLiteral("一條線");
    case Pattern::TwoLines:
        return QStringLiteral("兩條線");
    case Pattern::FullCard:
        return QStringLiteral("全滿");
    }
    return {};
}

QString lineLabel(int line) {
    if (line < 5)
        return QStringLiteral("第 %1 列").arg(line + 1);
    if (line < 10)
        return QStringLiteral("第 %1 行").arg(line - 4);
    return line == 10 ? QStringLiteral("左上到右下斜線") : QStringLiteral("右上到左下斜線");
}

QString cardLabel(const Verdict& verdict) {
    return QStringLiteral("序號 %1（第 %2 頁）")
        .arg(QString::fromStdString(printedSerial(verdict.serial)))
        .arg(verdict.page);
}

QString verdictText(const Verdict& verdict, Pattern pattern) {
    QStringList lines;
    for (const int line : verdict.lines)
        lines << lineLabel(line);
    if (verdict.fullCard)
        lines << QStringLiteral("全滿");
    QString text = cardLabel(verdict) + u'\n';
    if (verdict.winning) {
        text += QStringLiteral("中獎（%1）：在第 %2 個號碼時完成。")
                    .arg(patternLabel(pattern))
                    .arg(*verdict.atCall);
        text += QStringLiteral("\n完成的線：%1").arg(lines.join(QStringLiteral("、")));
        return text;
    }
    text += QStringLiteral("沒有中獎（%1）。").arg(patternLabel(pattern));
    if (!lines.isEmpty())
        text += QStringLiteral("\n完成的線：%1").arg(lines.join(QStringLiteral("、")));
    QStringList missing;
    for (const int n : verdict.missing)
        missing << QString::number(n);
    text += QStringLiteral("\n最接近的還差 %1 個號碼：%2")
                .arg(verdict.missing.size())
                .arg(missing.join(QStringLiteral("、")));
    return text;
}

QString winnersText(const Game& game, int limit) {
    if (game.callCount() == 0)
        return QStringLiteral("還沒有叫號。");
    const std::vector<int>& cards = game.justCompleted();
    QString text = QStringLiteral("叫出 %1 後，%2 張彩卷剛達成%3")
                       .arg(game.calls().back())
                       .arg(cards.size())
                       .arg(patternLabel(game.pattern()));
    if (cards.empty())
        return text + QStringLiteral("。（目前共 %1 張達成）").arg(game.winnerCount());
    QStringList names;
    for (std::size_t i = 0; i < cards.size() && static_cast<int>(i) < limit; ++i) {
        const int index = cards[i];
        names << QStringLiteral("%1（第 %2 頁）")
                     .arg(QString::fromStdString(printedSerial(game.card(index).serial)))
                     .arg(index / cards::CardsPerSheet + 1);
    }
    if (static_cast<int>(cards.size()) > limit)
        names << QStringLiteral("……");
    return text + QStringLiteral("：") + names.join(QStringLiteral("、")) +
           QStringLiteral("\n（目前共 %1 張達成）").arg(game.winnerCount());
}

} // namespace bingo::caller
