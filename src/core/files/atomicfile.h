// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/files/diskio.h"

#include <QByteArray>
#include <QString>

// Whole-file rewrites go through here: the bytes are written to a temporary file in the same
// folder, every write is checked, the file is flushed to disk and its size checked, and only then
// is it renamed over the old file. A crash leaves the old file or the new one, never half of each;
// a failure (a full disk above all) leaves the old file and raises a RuntimeFailure naming the
// file: "ディスクの空き容量が不足しています" or the real reason.
//
// A symbolic link is written through: its target gets the new bytes and the link stays. A file
// that is read-only (no write permission bit, or not writable by this user) is refused with
// failure 70 and left alone. Temporary files carry a name of their own (see
// removeTemporaryLeftovers); those an interrupted write of the same file left are removed first.
void writeFileAtomically(const QString& path, const QByteArray& bytes);

// Whether a rewrite of the file at path would be refused because the file is read-only.
bool isReadOnlyFile(const QString& path);

// Removes the temporary files that interrupted whole-file rewrites left in folder.
void removeTemporaryLeftovers(const QString& folder);
// Whether a file name is that of a temporary file a whole-file rewrite makes.
bool isTemporaryLeftover(const QString& fileName);
// Removes the temporary files that interrupted rewrites of the file at path left beside it (or
// beside the file its symbolic link leads to, where they are written), and no other file.
void removeLeftoversBeside(const QString& path);
