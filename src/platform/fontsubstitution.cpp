// SPDX-License-Identifier: GPL-3.0-or-later
#include "fontsubstitution.h"

#include <QFont>
#include <QString>
#include <QStringList>
#include <vector>

namespace {

struct Substitution {
    const char16_t* windowsName;
    QStringList substitutes;
};

std::vector<Substitution> substitutionTable() {
    const QStringList proportionalGothic = {QStringLiteral("IPAPGothic"),
                                            QStringLiteral("IPA P Gothic"),
                                            QStringLiteral("Noto Sans CJK JP")};
    const QStringList fixedGothic = {QStringLiteral("IPAGothic"), QStringLiteral("IPA Gothic"),
                                     QStringLiteral("Noto Sans Mono CJK JP")};
    const QStringList mincho = {QStringLiteral("IPAPMincho"), QStringLiteral("IPAMincho"),
                                QStringLiteral("Noto Serif CJK JP")};
    return {
        {u"ＭＳ Ｐゴシック", proportionalGothic},
        {u"MS PGothic", proportionalGothic},
        {u"MS UI Gothic", proportionalGothic},
        {u"ＭＳ ゴシック", fixedGothic},
        // The editor's font list names the fixed gothic in half-width katakana.
        {u"ＭＳ ｺﾞｼｯｸ", fixedGothic},
        {u"MS Gothic", fixedGothic},
        {u"ＭＳ 明朝", mincho},
        {u"ＭＳ Ｐ明朝", mincho},
        {u"Arial", {QStringLiteral("Liberation Sans")}},
        {u"Arial Narrow",
         {QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Liberation Sans")}},
        {u"Times New Roman", {QStringLiteral("Liberation Serif")}},
        {u"Courier New", {QStringLiteral("Liberation Mono")}},
    };
}

} // namespace

QStringList windowsFontNames() {
    QStringList names;
    for (const Substitution& row : substitutionTable())
        names << QString::fromUtf16(row.windowsName);
    return names;
}

void registerFontSubstitutions() {
    const QString japaneseFallback = QStringLiteral("IPAPGothic");
    for (const Substitution& row : substitutionTable()) {
        // Latin fonts fall back to the Japanese gothic so kana and kanji still show.
        QStringList list = row.substitutes;
        if (!list.contains(japaneseFallback))
            list << japaneseFallback;
        QFont::insertSubstitutions(QString::fromUtf16(row.windowsName), list);
    }
}
