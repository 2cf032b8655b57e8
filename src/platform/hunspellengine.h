// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/spelling/spellengine.h"

#include <QList>
#include <QString>
#include <memory>

class Hunspell;

// An installed Hunspell dictionary: its code ("en_US") and the paths of its two files.
struct SpellDictionary {
    QString code;
    QString affPath;
    QString dicPath;
    // The language's name in Japanese where known, else the code.
    QString displayName() const;
};

namespace hunspelldictionaries {
// The folder searched: $VERBANTA_HUNSPELL_DIR when set, otherwise the system's.
QString folder();
// The dictionaries there (a .dic with its .aff), sorted by code.
QList<SpellDictionary> installed();
// The code of the dictionary used when the user never chose one: English (US) when installed.
QString defaultCode(const QList<SpellDictionary>& dictionaries);
} // namespace hunspelldictionaries

// The spelling engine on a Hunspell dictionary. Words go to the library in the dictionary's own
// encoding; a word that encoding cannot hold is left unchecked.
class HunspellEngine : public SpellEngine {
public:
    explicit HunspellEngine(const SpellDictionary& dictionary);
    ~HunspellEngine() override;

    bool spell(const QString& word) override;
    QStringList suggest(const QString& word) override;
    void addWord(const QString& word) override;

private:
    bool encode(const QString& word, std::string* out) const;
    QString decode(const std::string& bytes) const;

    std::unique_ptr<Hunspell> m_hunspell;
    QByteArray m_encoding;
};
