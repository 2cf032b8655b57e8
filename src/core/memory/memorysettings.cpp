// SPDX-License-Identifier: GPL-3.0-or-later
#include "memorysettings.h"

#include "core/files/atomicfile.h"
#include "core/settings/additionsettings.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

namespace {

// A language tag as TMX writes it ("en", "ja-JP", "zh-Hant-TW").
bool isLanguageTag(const QString& value) {
    static const QRegularExpression tag(QStringLiteral("^[A-Za-z]{2,8}(-[A-Za-z0-9]{1,8})*$"));
    return tag.match(value).hasMatch();
}

} // namespace

MemorySettings MemorySettings::read(const QString& appFolder) {
    MemorySettings s;
    // "key=value" lines; unknown keys and values out of range are ignored so a newer or damaged
    // file still reads.
    const QString text = QString::fromUtf8(additionsettings::read(appFolder, FileName));
    QString key, value;
    for (const QString& line : text.split(u'\n')) {
        if (!additionsettings::keyValue(line, key, value))
            continue;
        if (key == u"enabled")
            additionsettings::readFlag(value, s.enabled);
        else if (key == u"visible")
            additionsettings::readFlag(value, s.visible);
        else if (key == u"threshold") {
            bool ok = false;
            const int t = value.toInt(&ok);
            if (ok && t >= LowestThreshold && t <= 100)
                s.threshold = t;
        } else if (key == u"source" && isLanguageTag(value))
            s.sourceLanguage = value;
        else if (key == u"target" && isLanguageTag(value))
            s.targetLanguage = value;
    }
    return s;
}

void MemorySettings::write(const QString& appFolder) const {
    const QString text =
        QStringLiteral("enabled=%1\nvisible=%2\nthreshold=%3\nsource=%4\ntarget=%5\n")
            .arg(enabled ? 1 : 0)
            .arg(visible ? 1 : 0)
            .arg(threshold)
            .arg(sourceLanguage, targetLanguage);
    writeFileAtomically(appFolder + u'/' + FileName, text.toUtf8());
}
