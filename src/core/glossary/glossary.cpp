// SPDX-License-Identifier: GPL-3.0-or-later
#include "glossary.h"

#include "foldedtext.h"
#include "irregularforms.h"
#include "morphanalyser.h"

#include <QHashFunctions>
#include <algorithm>
#include <limits>

using glossarychars::isSpace;
using glossarychars::isUnspaced;
using glossarychars::isWordChar;

namespace {

// An inflected word is tried under its shortened forms, longest first, the way quick search
// shortens a selection (down to two characters) but only where what is cut off is an inflection's
// ending, so that "thesis" does not turn into "the": walks, walked, walking, walker, running.
constexpr int MaxDropped = 4;
constexpr int MinStem = 2;
// The most words of Japanese text one book word is looked for across (日本|語|能力|試験).
constexpr size_t MaxWordsPerEntry = 8;

bool isInflectionEnding(QStringView stem, QStringView ending) {
    static const QStringView Endings[] = {u"s",  u"es",  u"d",   u"ed", u"ing",
                                          u"er", u"ers", u"est", u"ly"};
    const auto listed = [](QStringView e) {
        return std::find(std::begin(Endings), std::end(Endings), e) != std::end(Endings);
    };
    if (listed(ending))
        return true;
    // A doubled last consonant: running, stopped, bigger.
    return ending.size() > 2 && ending[0] == stem.back() && listed(ending.mid(1));
}

size_t keyHash(QStringView key) {
    return qHash(key, 0);
}

constexpr unsigned PhraseKeyBits = 1 << 16;

// A key's bit in the phrase filter, from its length and three of its letters.
unsigned phraseKeyBit(QStringView key) {
    const unsigned n = unsigned(key.size());
    const unsigned h = n * 0x9E37u ^ key[0].unicode() * 0x85EBu ^
                       key[n > 1 ? 1 : 0].unicode() * 0xC2B3u ^ key[n - 1].unicode() * 0x27D5u;
    return (h ^ (h >> 15)) % PhraseKeyBits;
}

int wordEnd(QStringView text, int from) {
    int i = from;
    while (i < text.size() && isWordChar(text[i]))
        ++i;
    return i;
}

int lastWordLength(QStringView text) {
    int i = int(text.size());
    while (i > 0 && isWordChar(text[i - 1]))
        --i;
    return int(text.size()) - i;
}

} // namespace

Glossary::Glossary(const std::vector<Word>& words) {
    m_entries.reserve(words.size());
    m_byFirstWord.reserve(words.size());
    for (const Word& w : words)
        add(w.word, w.recordNo);
}

void Glossary::add(const QString& word, qint32 recordNo) {
    Entry e{word, foldedWord(word), recordNo};
    if (e.folded.isEmpty())
        return;
    const int index = int(m_entries.size());
    if (isWordChar(e.folded[0])) {
        e.keyLength = wordEnd(e.folded, 0);
        const size_t key = keyHash(QStringView(e.folded).left(e.keyLength));
        m_byFirstWord[key].push_back(index);
        if (isPhrase(e)) {
            m_phraseKeyBits.resize(PhraseKeyBits / 64);
            const unsigned bit = phraseKeyBit(QStringView(e.folded).left(e.keyLength));
            m_phraseKeyBits[bit / 64] |= quint64(1) << (bit % 64);
        }
    } else {
        e.keyLength = int(e.folded.size());
        m_bySubstring[keyHash(e.folded)].push_back(index);
        int& longest = m_longestFrom[e.folded[0].unicode()];
        longest = std::max(longest, e.keyLength);
        m_longestSubstring = std::max(m_longestSubstring, e.keyLength);
    }
    m_entries.push_back(std::move(e));
    ++m_live;
}

void Glossary::remove(const QString& word, qint32 recordNo) {
    const QString folded = foldedWord(word);
    if (folded.isEmpty())
        return;
    const bool spaced = isWordChar(folded[0]);
    Buckets& buckets = spaced ? m_byFirstWord : m_bySubstring;
    const QStringView key = spaced ? QStringView(folded).left(wordEnd(folded, 0)) : folded;
    const auto it = buckets.find(keyHash(key));
    if (it == buckets.end())
        return;
    std::vector<int>& list = it->second;
    auto chosen = list.end();
    for (auto i = list.begin(); i != list.end(); ++i) {
        const Entry& e = m_entries[*i];
        if (e.word == word && (chosen == list.end() || e.recordNo == recordNo))
            chosen = i;
    }
    if (chosen == list.end())
        return;
    // The entry's slot stays, empty, so the positions other buckets hold keep their meaning.
    Entry& e = m_entries[*chosen];
    e.word.clear();
    e.folded.clear();
    list.erase(chosen);
    --m_live;
}

const std::vector<int>* Glossary::bucket(const Buckets& b, QStringView key) {
    const auto it = b.find(keyHash(key));
    return it == b.end() ? nullptr : &it->second;
}

// Where the entry's text after its key ends in folded, matched from `from`; -1 when it does not
// match. A space of the entry stands for one space or line break of the text, and the last word of
// a phrase may carry an inflection's ending, as a single word may.
int Glossary::remainderEnd(const Entry& e, QStringView folded, int from) const {
    int t = from;
    const int size = int(e.folded.size());
    for (int i = e.keyLength; i < size; ++i) {
        if (t >= folded.size())
            return -1;
        const QChar c = e.folded[i];
        if (c == u' ') {
            if (!isSpace(folded[t]))
                return -1;
            t += (folded[t] == u'\r' && t + 1 < folded.size() && folded[t + 1] == u'\n') ? 2 : 1;
        } else if (folded[t] == c) {
            ++t;
        } else if (i == size - 1 && c == u'y' && folded[t] == u'i') {
            // A y that became i before the ending: "the studies" finds "the study".
            const int end = wordEnd(folded, t + 1);
            const QStringView ending = folded.mid(t + 1, end - t - 1);
            const bool inflected =
                ending == u"es" || ending == u"ed" || ending == u"er" || ending == u"est";
            return inflected && lastWordLength(e.folded) >= MinStem ? end : -1;
        } else {
            return -1;
        }
    }
    if (!isWordChar(e.folded.back()) || t >= folded.size() || !isWordChar(folded[t]))
        return t;
    // A single word is shortened through its key instead.
    if (e.keyLength == size)
        return -1;
    const int end = wordEnd(folded, t);
    const int lastWord = lastWordLength(e.folded);
    if (end - t > MaxDropped || lastWord < MinStem ||
        !isInflectionEnding(QStringView(e.folded).right(lastWord), folded.mid(t, end - t)))
        return -1;
    return end;
}

bool Glossary::mayHavePhrase(QStringView key) const {
    if (m_phraseKeyBits.empty())
        return false;
    const unsigned bit = phraseKeyBit(key);
    return (m_phraseKeyBits[bit / 64] >> (bit % 64)) & 1;
}

bool Glossary::isPhrase(const Entry& e) {
    return e.keyLength < e.folded.size() && isWordChar(e.folded[0]);
}

// The longest entry filed under key whose rest follows at afterKey.
void Glossary::candidatesAt(QStringView folded, QStringView key, int afterKey, int maxEnd,
                            Found& best) const {
    const std::vector<int>* list = bucket(m_byFirstWord, key);
    if (!list)
        return;
    for (int index : *list) {
        const Entry& e = m_entries[index];
        if (QStringView(e.folded).left(e.keyLength) != key)
            continue;
        const int end = remainderEnd(e, folded, afterKey);
        if (end > best.end && end <= maxEnd)
            best = {index, end};
    }
}

Glossary::Found Glossary::matchWordAt(QStringView folded, int start, int maxEnd) const {
    const int end = wordEnd(folded, start);
    Found best;
    candidatesAt(folded, folded.mid(start, end - start), end, maxEnd, best);
    // Every shortened form is tried, as a phrase under one of them ("backwards compatibility")
    // may be longer than the word as written; at the same length the longer form wins. Once a
    // word is found only a phrase can be longer.
    const auto worthTrying = [&](QStringView form) {
        return best.entry < 0 || mayHavePhrase(form);
    };
    const int length = end - start;
    for (int stem = length - 1; stem >= MinStem && stem >= length - MaxDropped; --stem) {
        const QStringView form = folded.mid(start, stem);
        if (worthTrying(form) && isInflectionEnding(form, folded.mid(start + stem, length - stem)))
            candidatesAt(folded, form, end, maxEnd, best);
    }
    // A y that became i before the ending: cities, studied, happier.
    for (QStringView ending : {u"ies", u"ied", u"ier", u"iest"}) {
        if (length - ending.size() < MinStem - 1 || !folded.mid(start, length).endsWith(ending))
            continue;
        const QString withY = folded.mid(start, length - ending.size()).toString() + u'y';
        if (worthTrying(withY))
            candidatesAt(folded, withY, end, maxEnd, best);
    }
    if (best.entry < 0 && m_irregular)
        for (const QString& base : m_irregular->basesOf(folded.mid(start, length)))
            candidatesAt(folded, base, end, maxEnd, best);
    return best;
}

Glossary::Found Glossary::matchSubstringAt(QStringView folded, int start, int maxEnd) const {
    const auto longest = m_longestFrom.find(folded[start].unicode());
    if (longest == m_longestFrom.end())
        return {};
    const int room = std::min<int>(int(folded.size()), maxEnd) - start;
    for (int n = std::min<int>(longest->second, room); n >= 1; --n) {
        const QStringView piece = folded.mid(start, n);
        const std::vector<int>* list = bucket(m_bySubstring, piece);
        if (!list)
            continue;
        for (int index : *list) {
            const Entry& e = m_entries[index];
            if (e.folded != piece)
                continue;
            const int end = start + n;
            if (isWordChar(piece.back()) && end < folded.size() && isWordChar(folded[end]))
                continue;
            return {index, end};
        }
    }
    return {};
}

int Glossary::substringEntry(QStringView piece) const {
    if (const std::vector<int>* list = bucket(m_bySubstring, piece))
        for (int index : *list)
            if (m_entries[index].folded == piece)
                return index;
    return -1;
}

Glossary::Found Glossary::matchWordsAt(QStringView folded, const std::vector<Morpheme>& words,
                                       size_t k, size_t runEnd) const {
    const int start = words[k].start;
    Found best;
    const auto consider = [&](int entry, int end) {
        if (entry >= 0 && end > best.end)
            best = {entry, end};
    };
    for (size_t j = k; j < runEnd && j < k + MaxWordsPerEntry; ++j) {
        const Morpheme& last = words[j];
        if (last.end - start > m_longestSubstring)
            break;
        consider(substringEntry(folded.mid(start, last.end - start)), last.end);
        // Particles and auxiliaries count only as written: their dictionary forms are not words
        // of the sentence the user would look for.
        if (last.kind != Morpheme::Kind::Content || last.baseForm.isEmpty())
            continue;
        const int entry =
            substringEntry(folded.mid(start, last.start - start).toString() + last.baseForm);
        if (entry < 0)
            continue;
        size_t tail = j + 1;
        while (tail < runEnd && words[tail].start == words[tail - 1].end &&
               words[tail].continuesInflection())
            ++tail;
        consider(entry, words[tail - 1].end);
    }
    return best;
}

template <typename Sink>
void Glossary::scanWords(QStringView f, const std::vector<Morpheme>& words, size_t first,
                         size_t runEnd, Sink& found) const {
    for (size_t k = first; k < runEnd;) {
        const Found match = matchWordsAt(f, words, k, runEnd);
        if (match.entry < 0) {
            ++k;
            continue;
        }
        found(words[k].start, match);
        while (k < runEnd && words[k].start < match.end)
            ++k;
    }
}

template <typename Sink>
void Glossary::scan(QStringView f, int firstMaxEnd, bool byWords, Sink&& found) const {
    constexpr int Unlimited = std::numeric_limits<int>::max();
    const bool splitWords = byWords && m_analyser && !m_bySubstring.empty();
    std::vector<Morpheme> words;
    bool analysed = false;
    size_t next = 0;
    for (int i = 0; i < f.size();) {
        const bool wordStart = isWordChar(f[i]);
        if (wordStart && i > 0 && isWordChar(f[i - 1])) {
            i = wordEnd(f, i);
            continue;
        }
        if (splitWords && isUnspaced(f[i])) {
            int end = i + 1;
            while (end < f.size() && isUnspaced(f[end]))
                ++end;
            // The whole text is analysed at once, where the analyser sees each run in its
            // context; a word that reaches out of the run is not one of the run's.
            if (!analysed) {
                words = m_analyser->analyse(f, false);
                analysed = true;
            }
            while (next < words.size() && words[next].start < i)
                ++next;
            size_t runEnd = next;
            while (runEnd < words.size() && words[runEnd].end <= end)
                ++runEnd;
            scanWords(f, words, next, runEnd, found);
            next = runEnd;
            i = end;
            continue;
        }
        const int maxEnd = i == 0 ? firstMaxEnd : Unlimited;
        const Found match = wordStart ? matchWordAt(f, i, maxEnd) : matchSubstringAt(f, i, maxEnd);
        if (match.entry < 0) {
            i = wordStart ? wordEnd(f, i) : i + 1;
            continue;
        }
        found(i, match);
        i = match.end;
    }
}

template <typename Sink> void Glossary::scanText(QStringView text, Sink&& found) const {
    if (m_live == 0)
        return;
    const FoldedText folded = FoldedText::fold(text);
    scan(folded.text, std::numeric_limits<int>::max(), true,
         [&](int start, const Found& match) { found(folded, start, match); });
}

GlossaryMatch Glossary::placed(const FoldedText& folded, int start, const Found& found) const {
    const Entry& e = m_entries[found.entry];
    return {folded.sourceStart[start], folded.sourceEnd[found.end - 1], e.word, e.recordNo};
}

std::vector<GlossaryMatch> Glossary::matches(QStringView text) const {
    std::vector<GlossaryMatch> out;
    scanText(text, [&](const FoldedText& folded, int start, const Found& found) {
        out.push_back(placed(folded, start, found));
    });
    return out;
}

namespace {

bool listed(const std::vector<GlossaryMatch>& out, const QString& word, qint32 recordNo) {
    return std::any_of(out.begin(), out.end(), [&](const GlossaryMatch& o) {
        return o.word == word && o.recordNo == recordNo;
    });
}

} // namespace

std::vector<GlossaryMatch> Glossary::distinctMatches(QStringView text) const {
    std::vector<GlossaryMatch> all = matches(text);
    std::vector<GlossaryMatch> out;
    for (GlossaryMatch& m : all)
        if (!listed(out, m.word, m.recordNo))
            out.push_back(std::move(m));
    return out;
}

std::vector<GlossaryMatch> Glossary::distinctMatchesWithParts(QStringView text) const {
    std::vector<GlossaryMatch> out;
    scanText(text, [&](const FoldedText& folded, int start, const Found& found) {
        const Entry& e = m_entries[found.entry];
        if (!listed(out, e.word, e.recordNo))
            out.push_back(placed(folded, start, found));
        addParts(folded, start, found, out);
    });
    return out;
}

// The words inside a phrase's match, or inside a Japanese compound's (by substring, as the
// compound's own words are not the sentence's), found as everywhere else but never the whole
// match again; the parts of a part follow it. A word found through its dictionary form has none.
void Glossary::addParts(const FoldedText& text, int start, const Found& whole,
                        std::vector<GlossaryMatch>& out) const {
    const Entry& entry = m_entries[whole.entry];
    const QStringView inside = QStringView(text.text).mid(start, whole.end - start);
    const bool compound =
        !isWordChar(entry.folded[0]) && inside.size() > 1 && inside == entry.folded;
    if (!isPhrase(entry) && !compound)
        return;
    scan(inside, int(inside.size()) - 1, false, [&](int at, const Found& found) {
        const Entry& e = m_entries[found.entry];
        if (!listed(out, e.word, e.recordNo))
            out.push_back({text.sourceStart[start + at], text.sourceEnd[start + found.end - 1],
                           e.word, e.recordNo, true});
        addParts(text, start + at, {found.entry, start + found.end}, out);
    });
}
