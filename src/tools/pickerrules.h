// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What the book folder picker is asked for; the caller sets it before showing the picker.
enum class PickPurpose : qint16 {
    None = -1,
    BookA = 0,
    BookB = 1,
    MergeTarget = 2,
    ImportSource = 3,
    ExportTarget = 4,
};

// The folders already picked for a merge, as the merge window's path labels show them.
struct MergePicks {
    QString bookA;
    QString bookB;
    QString target;
};

namespace pickerrules {
// A folder is a book when it holds a meanings file; the picker writes nothing to find out.
bool isBookFolder(const QString& folder);
// The part of the path after its last separator; empty for a root.
QString folderName(const QString& path);
// The box text refusing folder for purpose because it is one of the other merge folders, or an
// empty string when it may be taken. Import and export make their own checks.
QString sameBookRefusal(PickPurpose purpose, const QString& folder, const MergePicks& picks);
// The box text refusing a folder that is read from (a merge's books, an import's source) because
// its files belong to two versions (a sync in progress, a copy cut short), or an empty string.
// A folder that is only written into may be taken: its files are replaced as a set.
QString mixedRefusal(PickPurpose purpose, const QString& folder);
} // namespace pickerrules
