// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The global settings files of the application folder: display settings (Initial.vtd), the
// palette font (opfini.vtd) and the book in use (curFData.vtd). Reads raise a RuntimeFailure on a
// missing or malformed file; writes are atomic.

namespace settingsfile {
inline const QString DisplaySettings = QStringLiteral("Initial.vtd");
inline const QString PaletteFont = QStringLiteral("opfini.vtd");
inline const QString CurrentBook = QStringLiteral("curFData.vtd");
} // namespace settingsfile

// One font group of the main window: font, colours and input-method mode of one area.
struct FontGroup {
    QString name;
    qint16 size = 11;
    bool bold = false;
    bool italic = false;
    qint32 textColor = 0;
    qint32 backColor = 16777215;
    qint16 imeMode = 3;

    bool operator==(const FontGroup&) const = default;
};

// The 34 values of Initial.vtd, in stored order. Colours are 0x00BBGGRR.
struct DisplaySettings {
    FontGroup word;
    FontGroup meaning; // meaning and example boxes
    FontGroup input;
    FontGroup list;
    qint32 mainTextColor = 0;
    qint32 mainBackColor = 12632256;
    qint32 wordToMeaningQuizTextColor = 0;
    qint32 wordToMeaningQuizBackColor = 12632256;
    qint32 meaningToWordQuizTextColor = 0;
    qint32 meaningToWordQuizBackColor = 12632256;

    bool operator==(const DisplaySettings&) const = default;
};

// The five values of opfini.vtd.
struct PaletteFont {
    QString name;
    qint16 size = 14;
    bool bold = false;
    bool italic = false;
    qint32 color = 0;

    bool operator==(const PaletteFont&) const = default;
};

// The book in use and its language set (curFData.vtd).
struct CurrentBook {
    QString bookName;
    QString setName;

    bool operator==(const CurrentBook&) const = default;
};

DisplaySettings SetDefaultDisplaySettings();
// The characters of a font name that the settings files cannot hold: characters outside the
// Japanese code page, the quote that ends a string value, line breaks. Empty when it can be stored.
QString unstorableInFontName(const QString& name);

// A font name that cannot be stored is written as the default font of its place (by
// WritePaletteFont too), so the file always reads back whole.
void WriteDisplaySettings(const QString& appFolder, const DisplaySettings& values);
DisplaySettings ReadDisplaySettings(const QString& appFolder);

PaletteFont SetDefaultPaletteFont();
void WritePaletteFont(const QString& appFolder, const PaletteFont& font);
PaletteFont ReadPaletteFont(const QString& appFolder);

void writeCurrentBook(const QString& appFolder, const CurrentBook& book);
CurrentBook readCurrentBook(const QString& appFolder);
