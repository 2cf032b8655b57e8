#pragma once

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

// The file of a set: the set name followed by ".vtd", in the application folder.
QString filePath(const QString& appFolder, const QString& setName);

PaletteRows read(const QString& appFolder, const QString& setName);
void write(const QString& appFolder, const QString& setName, const PaletteRows& rows);

QStringList readList(const QString& appFolder);
void writeList(const QString& appFolder, const QStringList& names);
} // namespace languageset

// The rows of the default set: A to Z, each its own range, all enabled.
PaletteRows SetDefaultLanguageSet();
