// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Small dictionaries in the installed layout (root/edict/edict in EUC-JP, root/wordnet/...),
// written by a test so that it does not depend on the real ones.
class TestDictionaries {
public:
    explicit TestDictionaries(const QString& root);

    struct Sense {
        QString lemma;
        QString definition;
    };
    // EDICT lines such as "林檎 [りんご] /(n) apple/(P)/", each ended by a line feed.
    void writeEdict(const QStringList& lines) const;
    // One synset per sense; the index lists each lemma's senses in the order given. pos is
    // "noun", "verb", "adj" or "adv".
    void writeWordnet(const QString& pos, const QList<Sense>& senses) const;
    // Lines such as "mice mouse".
    void writeExceptions(const QString& pos, const QStringList& lines) const;

    // A handful of words both windows' tests look up: mouse (and "mice"), go (and "went"), and
    // scold, whose Japanese the code page lacks and whose definition is longer than a meaning.
    void writeSample() const;

    QString root() const { return m_root; }
    QString path(const QString& relative) const { return m_root + u'/' + relative; }
    // The EUC-JP bytes of text.
    static QByteArray eucJp(const QString& text);

private:
    QString m_root;
};

// Points the program at a test's own dictionaries and index cache for the life of the object.
class DictionaryEnvironment {
public:
    DictionaryEnvironment(const QString& dictionaries, const QString& cache)
        : m_root(qgetenv("VERBANTA_DICTIONARIES")), m_cache(qgetenv("XDG_CACHE_HOME")) {
        qputenv("VERBANTA_DICTIONARIES", dictionaries.toUtf8());
        qputenv("XDG_CACHE_HOME", cache.toUtf8());
    }
    ~DictionaryEnvironment() {
        qputenv("VERBANTA_DICTIONARIES", m_root);
        qputenv("XDG_CACHE_HOME", m_cache);
    }
    DictionaryEnvironment(const DictionaryEnvironment&) = delete;
    DictionaryEnvironment& operator=(const DictionaryEnvironment&) = delete;

private:
    QByteArray m_root;
    QByteArray m_cache;
};
