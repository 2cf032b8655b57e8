#include "collation.h"

#include <QCollator>
#include <QLocale>

namespace collation {
namespace {

QCollator& textCollator() {
    thread_local QCollator collator = [] {
        QCollator c(QLocale(QLocale::Japanese, QLocale::Japan));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(false);
        c.setIgnorePunctuation(false);
        return c;
    }();
    return collator;
}

// Half-width katakana U+FF66..U+FF9D to their full-width forms.
constexpr char16_t HalfwidthKatakana[] =
    u"ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン";

} // namespace

int compare(QStringView a, QStringView b, Mode mode) {
    if (mode == Mode::Binary)
        return a.compare(b, Qt::CaseSensitive);
    return textCollator().compare(a, b);
}

QCollatorSortKey sortKey(const QString& text) { return textCollator().sortKey(text); }

char32_t fold(char32_t c) {
    if (c >= 0xFF01 && c <= 0xFF5E) // full-width ASCII
        c = c - 0xFF01 + 0x21;
    else if (c >= 0xFF66 && c <= 0xFF9D)
        c = HalfwidthKatakana[c - 0xFF66];
    if (c >= 0x30A1 && c <= 0x30F6) // katakana to hiragana
        c = c - 0x60;
    return QChar::toCaseFolded(c);
}

} // namespace collation
