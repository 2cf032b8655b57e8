// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Offers, before a window opens a book, to merge into it each version of the book that a file-sync
// tool left beside it as conflict copies, word by word; asks about words both machines changed.
// The copies go to the book's backup folder, never away, once the book holds the merge; a "No"
// leaves them where they are, to be offered again at the next open. Both windows that open a
// book (the main window and the editor) offer it, since either may be the first to start.
void offerConflictMerges(const QString& bookFolder, const QString& bookName);
