// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dictionaryfiles.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

// One meaning offered for a word: a Japanese gloss from EDICT read in reverse, the English glosses
// of a Japanese headword from EDICT, or an English definition from WordNet (with its part of
// speech: "n", "v", "adj", "adv").
struct Suggestion {
    enum class Source { Edict, Wordnet };
    Source source;
    QString text;
    QString partOfSpeech;
    bool operator==(const Suggestion&) const = default;
};

// The index of meanings built from the installed dictionaries: English words and phrases mapped
// to EDICT entries whose gloss is exactly that word (or "to" + the word), common entries first,
// to WordNet definitions in order of use, and, for inflected forms, to their base forms; Japanese
// headwords and their readings mapped to the English glosses of their EDICT entries.
// It lives as one compact image that is also the cache file, so opening it is a read and a check.
class DictionaryIndex {
public:
    using Progress = std::function<void(int percent)>;

    // Reads the dictionaries. What cannot be read is skipped and described in notes().
    static DictionaryIndex build(const DictionaryFiles& files, const Progress& progress = {},
                                 const std::atomic<bool>* cancel = nullptr);

    enum class OpenResult { Opened, Missing, Stale, Damaged };
    // Takes a cache file built from exactly these files (same sizes and times).
    static OpenResult open(const QString& cacheFile, const DictionaryFiles& files,
                           DictionaryIndex* out);

    struct Loaded;
    // The cache when it is current, else a fresh build written to the cache for next time.
    static Loaded openOrBuild(const DictionaryFiles& files, const QString& cacheFile,
                              const Progress& progress = {},
                              const std::atomic<bool>* cancel = nullptr);

    bool isEmpty() const { return keyCount() == 0; }
    int keyCount() const;
    // What could not be read, one Japanese sentence per damaged file.
    const QStringList& notes() const { return m_notes; }
    // The image written to the cache file.
    const QByteArray& image() const { return m_image; }

    // Up to limit suggestions for word: EDICT glosses first, then WordNet definitions, each
    // gathered for the word itself and then for its base forms ("mice" -> "mouse"). A verb's
    // irregular form ("went" -> "go") and a headword written "to nod off" get the verbs' meanings
    // of their base, not its nouns. A Japanese word gets its entries' English glosses, common
    // entries first, a verb made with する those of its noun.
    QList<Suggestion> lookup(const QString& word, int limit = 10) const;
    // The base forms of word that the dictionaries know, the word itself first when known.
    QStringList baseForms(const QString& word) const;

    // The image's tables: a key's place in the text pool and its run of references; a reference's
    // text and what it is.
    struct Key;
    struct Ref;

private:
    // A form to look up; one reached only as a verb (through the verbs' exception list, or
    // written "to ...") offers only the verbs' meanings.
    struct Form {
        QByteArray key;
        bool verbsOnly;
    };
    QList<Form> forms(const QString& word) const;
    bool knows(const QByteArray& form, bool verbsOnly) const;
    bool attach(QByteArray image);
    const Key* find(const QByteArray& key) const;
    QByteArray text(const Ref& ref) const;

    QByteArray m_image;
    QStringList m_notes;
    const Key* m_keys = nullptr;
    const Ref* m_refs = nullptr;
    const char* m_pool = nullptr;
    quint32 m_keyCount = 0;
    quint32 m_refCount = 0;
    quint32 m_poolSize = 0;
};

struct DictionaryIndex::Loaded {
    DictionaryIndex index;
    OpenResult cache = OpenResult::Missing; // what the cache file was found to be
    bool cancelled = false;
};
