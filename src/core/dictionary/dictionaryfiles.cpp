// SPDX-License-Identifier: GPL-3.0-or-later
#include "dictionaryfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
const char* const partsOfSpeech[] = {"noun", "verb", "adj", "adv"};

bool isFile(const QString& path) {
    return QFileInfo(path).isFile();
}
} // namespace

QString DictionaryFiles::defaultRoot() {
    const QString fromEnvironment = qEnvironmentVariable("VERBANTA_DICTIONARIES");
    return fromEnvironment.isEmpty() ? QStringLiteral("/usr/share") : fromEnvironment;
}

DictionaryFiles DictionaryFiles::locate(const QString& root) {
    DictionaryFiles files;
    files.root = root;
    const QString edict = root + QStringLiteral("/edict/edict");
    if (isFile(edict))
        files.edict = edict;
    const QString wordnet = root + QStringLiteral("/wordnet/");
    for (const char* pos : partsOfSpeech) {
        const QString index = wordnet + QStringLiteral("index.") + QLatin1String(pos);
        const QString data = wordnet + QStringLiteral("data.") + QLatin1String(pos);
        // An index without its data gives no definitions; a data file alone gives no words.
        if (isFile(index) && isFile(data)) {
            files.wordnetIndex << index;
            files.wordnetData << data;
        }
        const QString exceptions = wordnet + QLatin1String(pos) + QStringLiteral(".exc");
        if (isFile(exceptions))
            files.wordnetExceptions << exceptions;
    }
    return files;
}

QStringList DictionaryFiles::all() const {
    QStringList list;
    if (hasEdict())
        list << edict;
    list << wordnetIndex << wordnetData << wordnetExceptions;
    return list;
}

QString defaultDictionaryCacheFile() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/dictionary-index.bin");
}
