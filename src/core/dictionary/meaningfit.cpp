// SPDX-License-Identifier: GPL-3.0-or-later
#include "meaningfit.h"

#include "core/text/cp932.h"

FittedMeaning fitMeaning(const QString& suggestion, int maxChars) {
    FittedMeaning fitted;
    QString text;
    text.reserve(suggestion.size());
    const QString unencodable = cp932::unencodable(suggestion);
    for (qsizetype i = 0; i < suggestion.size(); ++i) {
        const QChar c = suggestion[i];
        if (c.category() == QChar::Other_Control) {
            text += u' ';
        } else if (c.isHighSurrogate() && i + 1 < suggestion.size()) {
            // No character outside the basic plane is in the code page.
            text += u'〓';
            ++i;
            fitted.replaced = true;
        } else if (unencodable.contains(c)) {
            text += u'〓';
            fitted.replaced = true;
        } else {
            text += c;
        }
    }
    text = cp932::roundTrip(text);
    if (text.size() > maxChars && maxChars > 0) {
        qsizetype keep = maxChars - 1;
        if (keep > 0 && text[keep - 1].isHighSurrogate())
            --keep;
        text = text.left(keep) + u'…';
        fitted.cut = true;
    }
    fitted.text = text;
    return fitted;
}
