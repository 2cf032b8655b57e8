// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

// Tells the user which entries of a list file (DirInfo.vtd, Langset.vtd) were left out and why;
// nothing when every entry could be used.
void reportSkippedEntries(const QString& fileName, const QStringList& problems);
