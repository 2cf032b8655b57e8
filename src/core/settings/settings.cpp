// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings.h"

#include "core/files/atomicfile.h"
#include "core/settings/textrecord.h"
#include "core/text/cp932.h"

namespace {

const QString DefaultJapaneseFont = QStringLiteral("ＭＳ Ｐゴシック");

QString pathIn(const QString& folder, const QString& name) {
    return folder + u'/' + name;
}

QString storableFontName(const QString& name, const QString& fallback) {
    return unstorableInFontName(name).isEmpty() ? name : fallback;
}

// The font's name, size and styles, stored alike by the font groups and the palette font.
template <class Font> void writeFace(TextRecordWriter& w, const Font& f, const QString& fallback) {
    w.lineString(storableFontName(f.name, fallback))
        .lineInt(f.size)
        .lineBool(f.bold)
        .lineBool(f.italic);
}

template <class Font> void readFace(TextRecordReader& r, Font& f) {
    f.name = r.readString();
    f.size = r.readInt16();
    f.bold = r.readBool();
    f.italic = r.readBool();
}

void writeGroup(TextRecordWriter& w, const FontGroup& g, const QString& fallback) {
    writeFace(w, g, fallback);
    w.lineInt(g.textColor).lineInt(g.backColor).lineInt(g.imeMode);
}

FontGroup readGroup(TextRecordReader& r) {
    FontGroup g;
    readFace(r, g);
    g.textColor = r.readInt32();
    g.backColor = r.readInt32();
    g.imeMode = r.readInt16();
    return g;
}

} // namespace

QString unstorableInFontName(const QString& name) {
    QString bad = cp932::unencodable(name);
    for (QChar c : name)
        if ((c == u'"' || c == u'\r' || c == u'\n') && !bad.contains(c))
            bad += c;
    return bad;
}

DisplaySettings SetDefaultDisplaySettings() {
    DisplaySettings s;
    s.word = {DefaultJapaneseFont, 11, false, false, 0, 16777215, 3};
    s.meaning = {DefaultJapaneseFont, 11, false, false, 0, 16777215, 4};
    s.input = {DefaultJapaneseFont, 11, false, false, 0, 16777215, 3};
    s.list = {QStringLiteral("Arial"), 10, false, false, 0, 16777215, 3};
    return s;
}

void WriteDisplaySettings(const QString& appFolder, const DisplaySettings& s) {
    TextRecordWriter w;
    const DisplaySettings defaults = SetDefaultDisplaySettings();
    writeGroup(w, s.word, defaults.word.name);
    writeGroup(w, s.meaning, defaults.meaning.name);
    writeGroup(w, s.input, defaults.input.name);
    writeGroup(w, s.list, defaults.list.name);
    for (qint32 colour :
         {s.mainTextColor, s.mainBackColor, s.wordToMeaningQuizTextColor,
          s.wordToMeaningQuizBackColor, s.meaningToWordQuizTextColor, s.meaningToWordQuizBackColor})
        w.lineInt(colour);
    writeFileAtomically(pathIn(appFolder, settingsfile::DisplaySettings), w.bytes());
}

DisplaySettings ReadDisplaySettings(const QString& appFolder) {
    TextRecordReader r =
        TextRecordReader::fromFile(pathIn(appFolder, settingsfile::DisplaySettings));
    DisplaySettings s;
    for (FontGroup* g : {&s.word, &s.meaning, &s.input, &s.list})
        *g = readGroup(r);
    for (qint32* colour : {&s.mainTextColor, &s.mainBackColor, &s.wordToMeaningQuizTextColor,
                           &s.wordToMeaningQuizBackColor, &s.meaningToWordQuizTextColor,
                           &s.meaningToWordQuizBackColor})
        *colour = r.readInt32();
    return s;
}

PaletteFont SetDefaultPaletteFont() {
    return {DefaultJapaneseFont, 14, false, false, 0};
}

void WritePaletteFont(const QString& appFolder, const PaletteFont& f) {
    TextRecordWriter w;
    writeFace(w, f, SetDefaultPaletteFont().name);
    w.lineInt(f.color);
    writeFileAtomically(pathIn(appFolder, settingsfile::PaletteFont), w.bytes());
}

PaletteFont ReadPaletteFont(const QString& appFolder) {
    TextRecordReader r = TextRecordReader::fromFile(pathIn(appFolder, settingsfile::PaletteFont));
    PaletteFont f;
    readFace(r, f);
    f.color = r.readInt32();
    return f;
}

void writeCurrentBook(const QString& appFolder, const CurrentBook& book) {
    TextRecordWriter w;
    w.addString(book.bookName).addString(book.setName).endRecord();
    writeFileAtomically(pathIn(appFolder, settingsfile::CurrentBook), w.bytes());
}

CurrentBook readCurrentBook(const QString& appFolder) {
    TextRecordReader r = TextRecordReader::fromFile(pathIn(appFolder, settingsfile::CurrentBook));
    CurrentBook book;
    book.bookName = r.readString();
    book.setName = r.readString();
    return book;
}
