// SPDX-License-Identifier: GPL-3.0-or-later
#include "glossarysettings.h"

#include "core/files/atomicfile.h"
#include "core/settings/additionsettings.h"

#include <QStringList>

using additionsettings::flagLine;

namespace {

// "key=value" lines; unknown keys and lines are ignored so a newer file still reads.
void readFlag(const QString& line, const QString& key, bool& flag) {
    if (line.startsWith(key + u'='))
        additionsettings::readFlag(QStringView(line).mid(key.size() + 1).trimmed(), flag);
}

} // namespace

GlossarySettings GlossarySettings::read(const QString& appFolder) {
    GlossarySettings s;
    const QString text = QString::fromUtf8(additionsettings::read(appFolder, FileName));
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
