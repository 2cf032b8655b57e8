// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Takes a backup of a book before an operation replaces or rewrites it as a whole. Returns false,
// after telling the user, when the backup could not be written: the operation must then not
// start. With backups turned off, or for a folder that holds no book yet, nothing is done.
bool backupBeforeChange(const QString& bookFolder, const QString& operation, int wordCount = -1);
