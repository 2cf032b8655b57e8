// SPDX-License-Identifier: GPL-3.0-or-later
#include "textsearch.h"

#include "ui/largeedit.h"
#include "ui/richtextpane.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QVarLengthArray>
#include <algorithm>
#include <array>
#include <vector>

namespace textsearch {

namespace {

char16_t folded(QChar c) {
    // Most text a search runs through is ASCII, whose folding needs no table.
    const char16_t u = c.unicode();
    if (u < 0x80)
        return u >= u'A' && u <= u'Z' ? char16_t(u + 0x20) : u;
    return c.toCaseFolded().unicode();
}

// Case-insensitive search for a needle of single UTF-16 units: Horspool's skips over case-folded
// characters, so that a search through a long document looks at a fraction of its characters.
// The skip table is indexed by the low byte of a folded character; characters that share it
// keep the smallest skip, which stays correct.
qsizetype foldedIndexOf(QStringView text, QStringView needle, qsizetype from) {
    const qsizetype m = needle.size();
    const qsizetype n = text.size();
    QVarLengthArray<char16_t, 64> pattern(m);
    for (qsizetype j = 0; j < m; ++j)
        pattern[j] = folded(needle[j]);
    std::array<qsizetype, 256> skip;
    skip.fill(m);
    for (qsizetype j = 0; j + 1 < m; ++j)
        skip[pattern[j] & 0xff] = m - 1 - j;
    for (qsizetype at = from; at + m <= n;) {
        const char16_t last = folded(text[at + m - 1]);
        if (last == pattern[m - 1]) {
            qsizetype j = m - 2;
            while (j >= 0 && folded(text[at + j]) == pattern[j])
                --j;
            if (j < 0)
                return at;
        }
        at += skip[last & 0xff];
    }
    return -1;
}

bool hasSurrogates(QStringView s) {
    return std::any_of(s.begin(), s.end(), [](QChar c) { return c.isSurrogate(); });
}

} // namespace

qsizetype indexIn(QStringView text, QStringView needle, qsizetype from, Qt::CaseSensitivity cs) {
    if (needle.isEmpty() || from < 0 || from > text.size())
        return -1;
    // Qt compares case-insensitively by simple Unicode case folding, one code point to one, which
    // the faster search does too for text without surrogate pairs in the needle.
    if (cs == Qt::CaseInsensitive && !hasSurrogates(needle))
        return foldedIndexOf(text, needle, from);
    return text.indexOf(needle, from, cs);
}

bool selectNext(RichTextPane& pane, const QString& needle, int from, Qt::CaseSensitivity cs) {
    const QString text = pane.toPlainText();
    const qsizetype found = indexIn(text, needle, from, cs);
    if (found < 0)
        return false;
    QTextCursor c = pane.textCursor();
    c.setPosition(int(found));
    c.setPosition(int(found + needle.size()), QTextCursor::KeepAnchor);
    pane.setTextCursor(c);
    return true;
}

int replaceAll(RichTextPane& pane, const QString& needle, const QString& replacement, int from,
               Qt::CaseSensitivity cs) {
    const QString text = pane.toPlainText();
    std::vector<int> hits;
    for (qsizetype at = indexIn(text, needle, from, cs); at >= 0;
         at = indexIn(text, needle, at + needle.size(), cs))
        hits.push_back(int(at));
    if (hits.empty())
        return 0;
    // Working from the last hit back leaves the earlier positions where they were found. The
    // caret moves along with the text; putting it behind the last hit would lay out the whole
    // document at once to show it.
    largeedit::run(pane.document(), [&](QTextCursor& c) {
        for (auto it = hits.rbegin(); it != hits.rend(); ++it) {
            c.setPosition(*it);
            c.setPosition(*it + int(needle.size()), QTextCursor::KeepAnchor);
            c.insertText(replacement);
        }
    });
    return int(hits.size());
}

} // namespace textsearch
