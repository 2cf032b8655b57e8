// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "memorystore.h"

#include <QString>
#include <vector>

// Taking the pairs of original and translation out of a project's two texts when it is saved:
// by the numbered blocks that the sentence split writes, when both texts are numbered, or
// paragraph by paragraph when neither is and both have as many non-empty paragraphs.
namespace harvest {

struct Numbering {
    QString before; // the text before the number of a block's heading
    QString after = QStringLiteral(" : ");
};

struct Result {
    std::vector<MemoryPair> pairs;
    // Empty when the texts paired; otherwise why nothing was taken, for the user.
    QString refusal;
};

// original and translation as the panes give them ('\n' between paragraphs; a line break
// inside a paragraph may be U+2028).
Result pairs(const QString& original, const QString& translation, const Numbering& numbering);

// A line without the block heading it starts with, if any ("1 : Text." gives "Text.", a heading
// alone gives an empty text); isHeading tells whether there was one.
QString withoutHeading(const QString& line, const Numbering& numbering, bool* isHeading = nullptr);

} // namespace harvest
