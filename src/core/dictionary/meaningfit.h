// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What a chosen suggestion puts into a meaning box: only characters the book's code page holds
// (others become 〓, as printed Japanese marks a missing character), and no more than the box
// takes, cut at a character boundary and ended with "…" so the cut shows.
struct FittedMeaning {
    QString text;
    bool cut = false;
    bool replaced = false;
};

FittedMeaning fitMeaning(const QString& suggestion, int maxChars);
