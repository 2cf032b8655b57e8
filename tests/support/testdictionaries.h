// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

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

    QString root() const { return m_root; }
    QString path(const QString& relative) const { return m_root + u'/' + relative; }
    // The EUC-JP bytes of text.
    static QByteArray eucJp(const QString& text);

private:
    QString m_root;
};
