// SPDX-License-Identifier: GPL-3.0-or-later
#include "additionsettings.h"

#include "core/files/atomicfile.h"
#include "core/files/failure.h"

#include <QFile>

namespace additionsettings {

QByteArray read(const QString& folder, const QString& fileName) {
    QFile file(folder + u'/' + fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(64 * 1024);
}

bool keyValue(const QString& line, QString& key, QString& value) {
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return false;
    key = line.left(eq).trimmed();
    value = line.mid(eq + 1).trimmed();
    return true;
}

void readFlag(QStringView value, bool& flag) {
    if (value == u"1")
        flag = true;
    else if (value == u"0")
        flag = false;
}

void readFlag(QByteArrayView value, bool& flag) {
    readFlag(QString::fromLatin1(value), flag);
}

QByteArray flagLine(const char* key, bool on) {
    return QByteArray(key) + (on ? "=1\n" : "=0\n");
}

bool enabled(const QString& folder, const QString& fileName) {
    // Only a plain "enabled=0" turns the addition off; anything else read leaves it on.
    bool on = true;
    QString key, value;
    for (const QString& line : QString::fromUtf8(read(folder, fileName)).split(u'\n'))
        if (keyValue(line, key, value) && key == u"enabled")
            on = value != u"0";
    return on;
}

void writeEnabled(const QString& folder, const QString& fileName, bool on) {
    const QString path = folder + u'/' + fileName;
    if (!on) {
        writeFileAtomically(path, flagLine("enabled", false));
        return;
    }
    if (QFile::exists(path) && !QFile::remove(path))
        throw RuntimeFailure(failure::PermissionDenied, fileName);
}

} // namespace additionsettings
