// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Takes a backup of a book before an operation replaces or rewrites it as a whole. Returns false,
// after telling the user, when the backup could not be written: the operation must then not
// start. With backups turned off, or for a folder that holds no book yet, nothing is done.
bool backupBeforeChange(const QString& bookFolder, const QString& operation, int wordCount = -1);

class Book;
// Writes the book back as closing does, first taking a backup when the compaction is about to
// drop more than a tenth of the records. A backup that cannot be written does not keep the user
// from leaving: the word file is written and the compaction waits for a later close.
void writeBackWithBackup(Book& book);
