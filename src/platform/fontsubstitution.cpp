#include "fontsubstitution.h"

#include <QFont>
#include <QString>
#include <QStringList>

void registerFontSubstitutions() {
    const QStringList proportionalGothic = {QStringLiteral("IPAPGothic"),
                                            QStringLiteral("IPA P Gothic"),
                                            QStringLiteral("Noto Sans CJK JP")};
    const QStringList fixedGothic = {QStringLiteral("IPAGothic"), QStringLiteral("IPA Gothic"),
                                     QStringLiteral("Noto Sans Mono CJK JP")};
    const QStringList mincho = {QStringLiteral("IPAPMincho"), QStringLiteral("IPAMincho"),
                                QStringLiteral("Noto Serif CJK JP")};
    const struct {
        const char16_t* windowsName;
        QStringList substitutes;
    } table[] = {
        {u"ＭＳ Ｐゴシック", proportionalGothic},
        {u"MS PGothic", proportionalGothic},
        {u"MS UI Gothic", proportionalGothic},
        {u"ＭＳ ゴシック", fixedGothic},
        {u"MS Gothic", fixedGothic},
        {u"ＭＳ 明朝", mincho},
        {u"ＭＳ Ｐ明朝", mincho},
        {u"Arial", {QStringLiteral("Liberation Sans")}},
        {u"Arial Narrow",
         {QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Liberation Sans")}},
        {u"Times New Roman", {QStringLiteral("Liberation Serif")}},
        {u"Courier New", {QStringLiteral("Liberation Mono")}},
    };
    for (const auto& row : table) {
        // Latin fonts fall back to the Japanese gothic so kana and kanji still show.
        QStringList list = row.substitutes;
        if (!list.contains(proportionalGothic.first()))
            list << proportionalGothic.first();
        QFont::insertSubstitutions(QString::fromUtf16(row.windowsName), list);
    }
}
