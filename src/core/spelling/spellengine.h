// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// A spelling dictionary of one language: the checker asks it about single words. The program uses
// Hunspell; tests put a small engine of their own in its place.
class SpellEngine {
public:
    virtual ~SpellEngine() = default;
    virtual bool spell(const QString& word) = 0;
    // Suggested spellings for a word, best first.
    virtual QStringList suggest(const QString& word) = 0;
    // Accepts the word from now on, for as long as the engine lives.
    virtual void addWord(const QString& word) = 0;
};
