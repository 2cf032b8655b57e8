// SPDX-License-Identifier: GPL-3.0-or-later
#include "meaningterms.h"

#include <QString>
#include <algorithm>

namespace {

bool isSeparator(QChar c) {
    return QStringView(u"、，,;；/／").contains(c);
}

// Brackets that hold a label; a label also ends the term before it ("[名] 進歩 [動] 進む").
bool opensLabel(QChar c) {
    return QStringView(u"[［【〔《〈＜").contains(c);
}

bool opens(QChar c) {
    return opensLabel(c) || c == u'(' || c == u'（';
}

bool closes(QChar c) {
    return QStringView(u"]］】〕》〉＞)）").contains(c);
}

} // namespace

QStringList meaningTerms(QStringView line) {
    QStringList terms;
    QString term;
    const auto finish = [&] {
        const QString t = term.trimmed();
        const bool hasContent =
            std::any_of(t.begin(), t.end(), [](QChar c) { return c.isLetterOrNumber(); });
        if (hasContent && !terms.contains(t))
            terms << t;
        term.clear();
    };
    int depth = 0;
    for (const QChar c : line) {
        if (opens(c)) {
            if (depth == 0 && opensLabel(c))
                finish();
            ++depth;
        } else if (closes(c) && depth > 0) {
            --depth;
        } else if (depth > 0) {
            continue;
        } else if (isSeparator(c)) {
            finish();
        } else {
            term += c;
        }
    }
    finish();
    return terms;
}
