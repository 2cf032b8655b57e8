// SPDX-License-Identifier: GPL-3.0-or-later
#include "irregularforms.h"

#include "foldedtext.h"

#include <QFile>

namespace {

// Entries of several words are written with underscores; they are not single forms.
bool isSingleWord(QStringView token) {
    return !token.isEmpty() && !token.contains(u'_');
}

} // namespace

IrregularForms IrregularForms::read(const QStringList& exceptionFiles) {
    IrregularForms forms;
    for (const QString& path : exceptionFiles) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        // The lists are ASCII; anything else on a line makes it a damaged one.
        const QString text = QString::fromLatin1(file.readAll());
        for (QStringView line : QStringView(text).split(u'\n')) {
            const auto tokens = line.trimmed().split(u' ', Qt::SkipEmptyParts);
            if (tokens.size() < 2 || !isSingleWord(tokens[0]))
                continue;
            for (qsizetype i = 1; i < tokens.size(); ++i)
                if (isSingleWord(tokens[i]))
                    forms.add(tokens[0].toString(), tokens[i].toString());
        }
    }
    return forms;
}

void IrregularForms::add(const QString& form, const QString& base) {
    const QString folded = foldedWord(form);
    const QString foldedBase = foldedWord(base);
    if (folded.isEmpty() || foldedBase.isEmpty() || folded == foldedBase)
        return;
    QStringList& bases = m_bases[folded];
    if (!bases.contains(foldedBase))
        bases << foldedBase;
}

QStringList IrregularForms::basesOf(QStringView folded) const {
    if (m_bases.isEmpty())
        return {};
    return m_bases.value(folded.toString());
}
