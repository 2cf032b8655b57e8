// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "wordsplit.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <functional>

class SpellEngine;

namespace spelling {

// Decides which words of a text are misspelt: a word is correct when the dictionary knows it, when
// the current book has it, when the user added it to the personal word list or chose to ignore it
// while the program runs. The dictionary's answers are remembered per word, since a document
// repeats its words many times.
class SpellChecker {
public:
    // Words left alone whatever the dictionary says, as identifiers of technical text are.
    struct Exemptions {
        // An upper-case letter after the first ("SolutionActionRejected", "iPhone"); a capital
        // that only starts a sentence ("Teh") is still checked.
        bool innerCapitals = true;
        // A digit anywhere ("x86", "utf8"); otherwise such a word is checked whole.
        bool digits = true;
        bool operator==(const Exemptions&) const = default;
    };
    void setExemptions(const Exemptions& exemptions);
    const Exemptions& exemptions() const { return m_exemptions; }

    // Without an engine nothing is misspelt.
    void setEngine(SpellEngine* engine);
    SpellEngine* engine() const { return m_engine; }
    // Whether the current book has a word (asked only of words the dictionary does not know).
    void setBookLookup(std::function<bool(const QString&)> lookup) { m_book = std::move(lookup); }
    // The book gained or lost words.
    void bookChanged() { changed(); }
    void setPersonalWords(const QSet<QString>& words);
    const QSet<QString>& personalWords() const { return m_personal; }
    void addPersonalWord(const QString& word);
    void ignore(const QString& word);

    bool isCorrect(const QString& word);
    // The misspelt words of a text (a paragraph).
    QList<WordSpan> misspelt(QStringView text);
    // Up to max suggestions for a misspelt word.
    QStringList suggestions(const QString& word, int max = 5);
    // Grows on every change of what counts as correct, so that marks made before can be renewed.
    quint64 generation() const { return m_generation; }

private:
    bool exempt(const QString& word) const;
    bool dictionaryKnows(const QString& word);
    bool inBook(const QString& word) const;
    void changed();

    SpellEngine* m_engine = nullptr;
    std::function<bool(const QString&)> m_book;
    QSet<QString> m_personal;
    QSet<QString> m_ignored;
    QHash<QString, bool> m_known;
    Exemptions m_exemptions;
    quint64 m_generation = 1;
};

} // namespace spelling
