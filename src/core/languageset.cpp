#include "languageset.h"

#include "atomicfile.h"
#include "textrecord.h"

namespace languageset {

QString filePath(const QString& appFolder, const QString& setName) {
    return appFolder + u'/' + setName + QStringLiteral(".vtd");
}

PaletteRows read(const QString& appFolder, const QString& setName) {
    TextRecordReader r = TextRecordReader::fromFile(filePath(appFolder, setName));
    PaletteRows rows;
    for (PaletteRow& row : rows) {
        row.rangeStart = r.readString();
        row.rangeEnd = r.readString();
        row.enabled = r.readInt16();
    }
    return rows;
}

void write(const QString& appFolder, const QString& setName, const PaletteRows& rows) {
    TextRecordWriter w;
    for (const PaletteRow& row : rows)
        w.addString(row.rangeStart).addString(row.rangeEnd).addInt(row.enabled).endRecord();
    writeFileAtomically(filePath(appFolder, setName), w.bytes());
}

QStringList readList(const QString& appFolder) {
    TextRecordReader r = TextRecordReader::fromFile(appFolder + u'/' + ListFile);
    QStringList names;
    while (!r.atEnd())
        names << r.readString();
    return names;
}

void writeList(const QString& appFolder, const QStringList& names) {
    TextRecordWriter w;
    for (const QString& name : names)
        w.lineString(name);
    writeFileAtomically(appFolder + u'/' + ListFile, w.bytes());
}

} // namespace languageset

PaletteRows SetDefaultLanguageSet() {
    PaletteRows rows;
    for (int i = 0; i < 26; ++i) {
        const QString letter(QChar(u'A' + i));
        rows[i] = {letter, letter, 1};
    }
    return rows;
}
