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
    bool dictionaryKnows(const QString& word);
    bool inBook(const QString& word) const;
    void changed();

    SpellEngine* m_engine = nullptr;
    std::function<bool(const QString&)> m_book;
    QSet<QString> m_personal;
    QSet<QString> m_ignored;
    QHash<QString, bool> m_known;
    quint64 m_generation = 1;
};

} // namespace spelling
