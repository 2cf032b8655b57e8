// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>
#include <Qt>

class RichTextPane;

// Finding and replacing text in a rich-text pane, for every window that has a pane to search
// (the editor's find dialog, the comment window). Positions are 0-based characters of the pane's
// plain text. Without case sensitivity, letters compare by their Unicode case folding, which
// keeps a match exactly as long as the search text.
namespace textsearch {

// The first occurrence of needle in text that starts at or after from, or -1. An empty needle
// finds nothing.
qsizetype indexIn(QStringView text, QStringView needle, qsizetype from, Qt::CaseSensitivity cs);

// Selects the first occurrence that starts at or after from and shows it; false, with the
// selection left as it was, when there is none.
bool selectNext(RichTextPane& pane, const QString& needle, int from, Qt::CaseSensitivity cs);

// Replaces every occurrence that starts at or after from, left to right, each search going on
// behind the text it replaced (so a replacement that holds the search text is not searched
// again), as one edit of the pane: one undo step and one repaint however many there are. The
// caret stays where it was in the text. Returns how many were replaced.
int replaceAll(RichTextPane& pane, const QString& needle, const QString& replacement, int from,
               Qt::CaseSensitivity cs);

} // namespace textsearch
