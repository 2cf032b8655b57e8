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
    return {start, end};
}
