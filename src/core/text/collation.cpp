// SPDX-License-Identifier: GPL-3.0-or-later
#include "collation.h"

#include "core/files/failure.h"

#include <QChar>
#include <memory>
#include <unicode/ucol.h>

namespace collation {
namespace {

struct CollatorCloser {
    void operator()(UCollator* c) const { ucol_close(c); }
};

UCollator* textCollator() {
    thread_local std::unique_ptr<UCollator, CollatorCloser> collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<UCollator, CollatorCloser> c(ucol_open("ja_JP", &status));
        if (U_FAILURE(status))
            throw RuntimeFailure(failure::InvalidCall,
                                 QStringLiteral("日本語の照合順序を使えません"));
        ucol_setStrength(c.get(), UCOL_SECONDARY);
        return c;
    }();
    return collator.get();
}

// Half-width katakana U+FF66..U+FF9D to their full-width forms.
constexpr char16_t HalfwidthKatakana[] =
    u"ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモ"
    u"ヤユヨラリルレロワン";

} // namespace

int compare(QStringView a, QStringView b, Mode mode) {
    if (mode == Mode::Binary)
        return a.compare(b, Qt::CaseSensitive);
    return ucol_strcoll(textCollator(), a.utf16(), int32_t(a.size()), b.utf16(), int32_t(b.size()));
}

void appendSortKey(QStringView text, std::string& out) {
    const size_t start = out.size();
    size_t room = size_t(text.size()) * 4 + 16;
    for (;;) {
        out.resize(start + room);
        const int32_t needed =
            ucol_getSortKey(textCollator(), text.utf16(), int32_t(text.size()),
                            reinterpret_cast<uint8_t*>(out.data() + start), int32_t(room));
        if (size_t(needed) <= room) {
            out.resize(start + size_t(needed));
            return;
        }
        room = size_t(needed);
    }
}

char32_t fold(char32_t c) {
    if (c < 0x80)
        return (c >= U'A' && c <= U'Z') ? c + 0x20 : c;
    if (c >= 0xFF01 && c <= 0xFF5E) // full-width ASCII
        return fold(c - 0xFF01 + 0x21);
    if (c >= 0xFF66 && c <= 0xFF9D)
        c = HalfwidthKatakana[c - 0xFF66];
    if (c >= 0x30A1 && c <= 0x30F6) // katakana to hiragana
        c = c - 0x60;
    return QChar::toCaseFolded(c);
}

} // namespace collation
