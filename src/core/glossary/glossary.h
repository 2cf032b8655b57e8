// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>
#include <memory>
#include <unordered_map>
#include <vector>

class IrregularForms;
class MorphAnalyser;
struct FoldedText;
struct Morpheme;

// A book word found in a text: where it stands (UTF-16 positions of the text searched) and which
// word of the book it is.
struct GlossaryMatch {
    int start = 0;
    int end = 0;
    QString word;
    qint32 recordNo = 0;
    bool part = false; // a word inside a longer match, listed after it
};

// The book's words arranged for finding them in running text. Words of spaced scripts match whole
// words regardless of case, or through a shortened form of an inflected word (installed finds
// install, cities finds city; the word as written wins); a multi-word entry matches across single
// spaces and line breaks, its first and its last word inflected as single words are; irregular
// forms match through the base forms they are given (ran finds run). Words that begin in an
// unspaced script (Japanese) match as substrings, or, given a morphological analyser, as whole
// words of the text and through their dictionary forms (用いて finds 用いる). At each place the
// longest match wins and the search goes on behind it. Full-width Latin and half-width kana match
// their ordinary forms. Building copies what it needs, so it may run on any thread.
class Glossary {
public:
    struct Word {
        QString word;
        qint32 recordNo = 0;
    };

    Glossary() = default;
    explicit Glossary(const std::vector<Word>& words);

    void add(const QString& word, qint32 recordNo);
    // Removes the word with exactly this spelling, the one with recordNo when there are several;
    // nothing when there is none.
    void remove(const QString& word, qint32 recordNo = -1);
    int size() const { return m_live; }
    // Forms no ending rule reaches, tried when a word matches nothing as written or shortened.
    void setIrregularForms(std::shared_ptr<const IrregularForms> forms) {
        m_irregular = std::move(forms);
    }
    // Japanese text is split into words by this analyser; without one it is matched by substring.
    void setAnalyser(std::shared_ptr<const MorphAnalyser> analyser) {
        m_analyser = std::move(analyser);
    }
    const std::shared_ptr<const MorphAnalyser>& analyser() const { return m_analyser; }

    // Every match in text, left to right, none overlapping.
    std::vector<GlossaryMatch> matches(QStringView text) const;
    // The same, each word once, at its first place.
    std::vector<GlossaryMatch> distinctMatches(QStringView text) const;
    // The same, and behind each match of several words the book words inside it ("for" and
    // "instance" behind "for instance", 日本 behind 日本語), marked as parts; still each word once.
    std::vector<GlossaryMatch> distinctMatchesWithParts(QStringView text) const;

private:
    struct Entry {
        QString word;
        QString folded;
        qint32 recordNo = 0;
        int keyLength = 0; // folded units of the key it is filed under
    };
    using Buckets = std::unordered_map<size_t, std::vector<int>>;
    struct Found {
        int entry = -1;
        int end = 0; // in folded units
    };

    // Matches found no further than maxEnd (in folded units).
    Found matchWordAt(QStringView folded, int start, int maxEnd) const;
    Found matchSubstringAt(QStringView folded, int start, int maxEnd) const;
    // The longest match of whole words from word k on: as written, or ending in a word's
    // dictionary form (with the inflection behind it).
    // words[k] up to words[runEnd] lie in one run of unspaced text.
    Found matchWordsAt(QStringView folded, const std::vector<Morpheme>& words, size_t k,
                       size_t runEnd) const;
    int substringEntry(QStringView piece) const;
    // Matches in a run of unspaced text, the words from first to runEnd.
    template <typename Sink>
    void scanWords(QStringView folded, const std::vector<Morpheme>& words, size_t first,
                   size_t runEnd, Sink& found) const;
    void candidatesAt(QStringView folded, QStringView key, int afterKey, int maxEnd,
                      Found& best) const;
    int remainderEnd(const Entry& e, QStringView folded, int from) const;
    static bool isPhrase(const Entry& e);
    bool mayHavePhrase(QStringView key) const;
    // Calls found(start, match) for every match in folded, left to right, none overlapping; the
    // one at position 0 ends no further than firstMaxEnd. byWords: through the analyser, if any.
    template <typename Sink>
    void scan(QStringView folded, int firstMaxEnd, bool byWords, Sink&& found) const;
    void addParts(const FoldedText& text, int start, const Found& whole,
                  std::vector<GlossaryMatch>& out) const;
    // Calls found(folded, start, match) for every match in text, folded first, as matches()
    // lists them; nothing for an empty glossary.
    template <typename Sink> void scanText(QStringView text, Sink&& found) const;
    // The match found at start of folded, placed in the original text.
    GlossaryMatch placed(const FoldedText& folded, int start, const Found& found) const;
    static const std::vector<int>* bucket(const Buckets& b, QStringView key);

    std::vector<Entry> m_entries;
    Buckets m_byFirstWord; // spaced entries by their folded first word
    // A bit for each kind of key some phrase is filed under (see phraseKeyBit): most keys no
    // phrase has are passed over without hashing them. Bits stay when phrases go.
    std::vector<quint64> m_phraseKeyBits;
    Buckets m_bySubstring;                           // the others by their whole folded text
    std::unordered_map<char16_t, int> m_longestFrom; // longest substring entry by first unit
    int m_longestSubstring = 0;
    int m_live = 0;
    std::shared_ptr<const IrregularForms> m_irregular;
    std::shared_ptr<const MorphAnalyser> m_analyser;
};
