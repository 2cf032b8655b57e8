// SPDX-License-Identifier: GPL-3.0-or-later
#include "glossarysettings.h"

#include "core/files/atomicfile.h"

#include <QFile>

namespace {

// "key=value" lines; unknown keys and lines are ignored so a newer file still reads.
void readFlag(const QString& line, const QString& key, bool& flag) {
    if (!line.startsWith(key + u'='))
        return;
    const QString value = line.mid(key.size() + 1).trimmed();
    if (value == u"1")
        flag = true;
    else if (value == u"0")
        flag = false;
}

QByteArray flagLine(const char* key, bool on) {
    return QByteArray(key) + (on ? "=1\n" : "=0\n");
}

} // namespace

GlossarySettings GlossarySettings::read(const QString& appFolder) {
    GlossarySettings s;
    QFile file(appFolder + u'/' + FileName);
    if (!file.open(QIODevice::ReadOnly))
        return s;
    const QString text = QString::fromUtf8(file.read(64 * 1024));
    for (const QString& line : text.split(u'\n')) {
        const QString l = line.trimmed();
        readFlag(l, QStringLiteral("enabled"), s.enabled);
        readFlag(l, QStringLiteral("visible"), s.visible);
        readFlag(l, QStringLiteral("highlight"), s.highlight);
        readFlag(l, QStringLiteral("japanesewords"), s.japaneseWords);
    }
    return s;
}

void GlossarySettings::write(const QString& appFolder) const {
    QByteArray text = flagLine("enabled", enabled) + flagLine("visible", visible) +
                      flagLine("highlight", highlight);
    if (!japaneseWords)
        text += flagLine("japanesewords", false);
    writeFileAtomically(appFolder + u'/' + FileName, text);
}
