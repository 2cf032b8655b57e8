// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/settings/booklist.h"

#include <QString>
#include <QStringList>
#include <array>

// Language sets: named definitions of the initial palette (26 rows of caption, range end and
// enabled flag), each in its own file, listed in Langset.vtd.

struct PaletteRow {
    QString rangeStart; // also the button's caption
    QString rangeEnd;
    qint16 enabled = 1;

    bool operator==(const PaletteRow&) const = default;
};

using PaletteRows = std::array<PaletteRow, 26>;

namespace languageset {
inline const QString ListFile = QStringLiteral("Langset.vtd");
inline const QString DefaultSetName = QStringLiteral("英語ｾｯﾄ");

// The file of a set: the set name followed by ".vtd", in the application folder. A name that could
// not have been typed (one that would lead outside the folder or onto a file of the program's
// own) raises a RuntimeFailure and is never used.
QString filePath(const QString& appFolder, const QString& setName);
// False also for a name that could not have been typed.
bool fileExists(const QString& appFolder, const QString& setName);

PaletteRows read(const QString& appFolder, const QString& setName);
void write(const QString& appFolder, const QString& setName, const PaletteRows& rows);

// The set names of Langset.vtd, in order; an empty list when the file does not exist. Names that
// could not have been typed, names whose set file is missing and repeated names are left out and
// reported.
ListRead<QString> readList(const QString& appFolder);
// Lists the sets in order; a set whose file does not exist is not listed.
void writeList(const QString& appFolder, const QStringList& names);
} // namespace languageset

// The rows of the default set: A to Z, each its own range, all enabled.
PaletteRows SetDefaultLanguageSet();
