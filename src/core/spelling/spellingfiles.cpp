// SPDX-License-Identifier: GPL-3.0-or-later
#include "spellingfiles.h"

#include "core/files/atomicfile.h"

#include <QFile>
#include <QStringList>
#include <algorithm>

namespace spelling {
namespace {

QString pathIn(const QString& folder, const char* name) {
    return folder + u'/' + QLatin1String(name);
}

QStringList readLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (QString& line : lines)
        line = line.trimmed();
    return lines;
}

} // namespace

SpellSettings readSettings(const QString& appFolder) {
    SpellSettings settings;
    for (const QString& line : readLines(pathIn(appFolder, SettingsFileName))) {
        const QString key = line.section(u'=', 0, 0);
        const QString value = line.section(u'=', 1);
        if (key == u"enabled")
            settings.enabled = value != u"0";
        else if (key == u"language")
            settings.language = value;
        else if (key == u"ignoreCapitals")
            settings.ignoreInnerCapitals = value != u"0";
        else if (key == u"ignoreDigits")
            settings.ignoreDigits = value != u"0";
    }
    return settings;
}

void writeSettings(const QString& appFolder, const SpellSettings& settings) {
    QByteArray bytes = "enabled=" + QByteArray(settings.enabled ? "1" : "0") + '\n';
    if (settings.language)
        bytes += "language=" + settings.language->toUtf8() + '\n';
    // The switches are written only when off: a file without their lines gives the defaults.
    if (!settings.ignoreInnerCapitals)
        bytes += "ignoreCapitals=0\n";
    if (!settings.ignoreDigits)
        bytes += "ignoreDigits=0\n";
    writeFileAtomically(pathIn(appFolder, SettingsFileName), bytes);
}

QSet<QString> readWordList(const QString& appFolder) {
    QSet<QString> words;
    for (const QString& line : readLines(pathIn(appFolder, WordListFileName)))
        if (!line.isEmpty())
            words.insert(line);
    return words;
}

void writeWordList(const QString& appFolder, const QSet<QString>& words) {
    QStringList sorted(words.begin(), words.end());
    std::sort(sorted.begin(), sorted.end());
    QByteArray bytes;
    for (const QString& w : sorted)
        bytes += w.toUtf8() + '\n';
    writeFileAtomically(pathIn(appFolder, WordListFileName), bytes);
}

} // namespace spelling
