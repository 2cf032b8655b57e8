// SPDX-License-Identifier: GPL-3.0-or-later
#include "sentence.h"

#include <QString>
#include <algorithm>

namespace {

bool isTerminator(QChar c) {
    return QStringView(u".!?。！？").contains(c);
}

} // namespace

SentenceSpan sentenceAround(QStringView paragraph, int position) {
    const int size = int(paragraph.size());
    position = std::clamp(position, 0, size);
    int start = position;
    while (start > 0 && !isTerminator(paragraph[start - 1]))
        --start;
    int end = position;
    while (end < size && !isTerminator(paragraph[end]))
        ++end;
    // Run past a row of terminators ("?!", "...") so they stay with their sentence.
    while (end < size && isTerminator(paragraph[end]))
        ++end;
    // Behind the last sentence (where the sentence jump leaves the caret at a paragraph's end)
    // only blanks follow: that last sentence is the one meant.
    const auto blank = [&](int from, int to) {
        return std::all_of(paragraph.begin() + from, paragraph.begin() + to,
                           [](QChar c) { return c.isSpace(); });
    };
    if (start > 0 && blank(start, size)) {
        end = start;
        while (start > 0 && isTerminator(paragraph[start - 1]))
            --start;
        while (start > 0 && !isTerminator(paragraph[start - 1]))
            --start;
    }
    return {start, end};
}
