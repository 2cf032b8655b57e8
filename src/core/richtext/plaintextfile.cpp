// SPDX-License-Identifier: GPL-3.0-or-later
#include "plaintextfile.h"

#include "core/text/cp932.h"

namespace richtext {

QString decodePlainText(QByteArrayView bytes, bool* ok) {
    bool fine = true;
    QString text;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        text = QString::fromUtf8(bytes.sliced(3));
        fine = !text.contains(QChar::ReplacementCharacter);
    } else {
        text = cp932::decode(bytes, &fine);
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar(u'\r'), QChar(u'\n'));
    if (text.endsWith(QChar(u'\n')))
        text.chop(1);
    if (ok)
        *ok = fine;
    return text;
}

} // namespace richtext
