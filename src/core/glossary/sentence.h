// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

// The sentence of a paragraph that holds a position: from behind the previous sentence end (or
// the paragraph's start) up to and including the next one (or the paragraph's end). Sentences end
// at the terminators the sentence-jump key stops at: . ! ? and their full-width forms. Behind the
// paragraph's last sentence it is that sentence; a paragraph without a terminator is one sentence.
struct SentenceSpan {
    int start = 0;
    int end = 0;
};

SentenceSpan sentenceAround(QStringView paragraph, int position);
