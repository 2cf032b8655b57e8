// SPDX-License-Identifier: GPL-3.0-or-later
#include "languageset.h"

#include "core/files/atomicfile.h"
#include "core/files/failure.h"
#include "core/files/systemerror.h"
#include "core/settings/textrecord.h"
#include "core/text/cp932.h"

#include <QFile>

namespace languageset {

QString filePath(const QString& appFolder, const QString& setName) {
    if (!names::refusal(setName, names::Kind::Set).isEmpty())
        throw RuntimeFailure(failure::BadFileName, setName);
    return appFolder + u'/' + setName + QStringLiteral(".vtd");
}

bool fileExists(const QString& appFolder, const QString& setName) {
    return names::refusal(setName, names::Kind::Set).isEmpty() &&
           QFile::exists(filePath(appFolder, setName));
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

ListRead<QString> readList(const QString& appFolder) {
    ListRead<QString> result;
    const QString path = appFolder + u'/' + ListFile;
    if (!QFile::exists(path))
        return result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.problems << ListFile + QStringLiteral("：") +
                               systemerror::fromSystemText(file.errorString());
        return result;
    }
    // One name per line: a damaged line costs only its own name.
    const QStringList lines = cp932::decode(file.readAll()).split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        QString name;
        try {
            TextRecordReader r(line, ListFile);
            name = r.readString();
            if (!r.atEnd())
                throw RuntimeFailure(failure::TypeMismatch);
        } catch (const RuntimeFailure&) {
            result.problems << QStringLiteral("%1行目：読み取れません").arg(i + 1);
            continue;
        }
        QString why = names::refusal(name, names::Kind::Set);
        if (why.isEmpty() && !fileExists(appFolder, name))
            why = QStringLiteral("言語ｾｯﾄのﾌｧｲﾙ（%1.vtd）がありません。").arg(name);
        if (why.isEmpty() && result.items.contains(name))
            why = QStringLiteral("同じ名前の言語ｾｯﾄが前にあります。");
        if (!why.isEmpty()) {
            result.problems << QStringLiteral("「%1」：%2").arg(name, why);
            continue;
        }
        result.items << name;
    }
    return result;
}

void writeList(const QString& appFolder, const QStringList& names) {
    TextRecordWriter w;
    for (const QString& name : names)
        if (fileExists(appFolder, name))
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
