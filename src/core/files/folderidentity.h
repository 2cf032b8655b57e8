// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A folder's one true path: symbolic links, "." and ".." and trailing separators resolved, so a
// book reached by two paths is recognised as one book. A folder that does not exist gets its
// cleaned absolute path.
QString canonicalFolder(const QString& path);
// True when both paths name the same folder; an empty path names no folder.
bool sameFolder(const QString& a, const QString& b);
