// SPDX-License-Identifier: GPL-3.0-or-later
#include "spellchecker.h"

#include "spellengine.h"

#include <algorithm>

namespace spelling {

void SpellChecker::setEngine(SpellEngine* engine) {
    m_engine = engine;
    m_known.clear();
    changed();
}

void SpellChecker::setPersonalWords(const QSet<QString>& words) {
    m_personal = words;
    changed();
}

void SpellChecker::addPersonalWord(const QString& word) {
    m_personal.insert(word);
    changed();
}

void SpellChecker::ignore(const QString& word) {
    m_ignored.insert(word);
    changed();
}

void SpellChecker::setExemptions(const Exemptions& exemptions) {
    if (exemptions == m_exemptions)
        return;
    m_exemptions = exemptions;
    changed();
}

bool SpellChecker::exempt(const QString& word) const {
    const auto innerCapital = [](QChar c) { return c.isUpper(); };
    if (m_exemptions.innerCapitals && std::any_of(word.begin() + 1, word.end(), innerCapital))
        return true;
    const auto digit = [](QChar c) { return c.isDigit(); };
    return m_exemptions.digits && std::any_of(word.begin(), word.end(), digit);
}

void SpellChecker::changed() {
    ++m_generation;
}

bool SpellChecker::dictionaryKnows(const QString& word) {
    const auto it = m_known.constFind(word);
    if (it != m_known.constEnd())
        return *it;
    const bool known = m_engine->spell(word);
    m_known.insert(word, known);
    return known;
}

// A word capitalised at the start of a sentence is the same word as the book's or the user's.
bool SpellChecker::inBook(const QString& word) const {
    if (!m_book)
        return false;
    if (m_book(word))
        return true;
    const QString lower = word.toLower();
    return lower != word && m_book(lower);
}

bool SpellChecker::isCorrect(const QString& word) {
    if (!m_engine || word.isEmpty() || exempt(word) || dictionaryKnows(word))
        return true;
    const QString lower = word.toLower();
    for (const QString& w : {word, lower})
        if (m_personal.contains(w) || m_ignored.contains(w))
            return true;
    return inBook(word);
}

QList<WordSpan> SpellChecker::misspelt(QStringView text) {
    QList<WordSpan> wrong;
    if (!m_engine)
        return wrong;
    for (const WordSpan& w : latinWords(text, !m_exemptions.digits))
        if (!isCorrect(text.mid(w.start, w.length).toString()))
            wrong.append(w);
    return wrong;
}

QStringList SpellChecker::suggestions(const QString& word, int max) {
    if (!m_engine)
        return {};
    QStringList all = m_engine->suggest(word);
    if (all.size() > max)
        all.resize(max);
    return all;
}

} // namespace spelling
