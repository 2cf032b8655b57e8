// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Where the installed dictionaries are: EDICT (Japanese-English, EUC-JP) and WordNet 3.0, laid
// out as Debian installs them below one root (/usr/share, or $VERBANTA_DICTIONARIES).
struct DictionaryFiles {
    QString root;
    QString edict;                 // root/edict/edict, empty when absent
    QStringList wordnetIndex;      // root/wordnet/index.{noun,verb,adj,adv} that exist
    QStringList wordnetData;       // the matching data.* files, same order
    QStringList wordnetExceptions; // root/wordnet/*.exc that exist

    static DictionaryFiles locate(const QString& root);
    // The root from $VERBANTA_DICTIONARIES, else /usr/share.
    static QString defaultRoot();

    bool hasEdict() const { return !edict.isEmpty(); }
    bool hasWordnet() const { return !wordnetIndex.isEmpty(); }
    bool isEmpty() const { return !hasEdict() && !hasWordnet(); }
    // Every file the index is built from, in a fixed order.
    QStringList all() const;
};

// The per-user cache file that holds the built index.
QString defaultDictionaryCacheFile();
