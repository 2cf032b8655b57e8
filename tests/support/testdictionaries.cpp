// SPDX-License-Identifier: GPL-3.0-or-later
#include "testdictionaries.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <unicode/ucnv.h>

namespace {
void write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}
} // namespace

TestDictionaries::TestDictionaries(const QString& root) : m_root(root) {}

QByteArray TestDictionaries::eucJp(const QString& text) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* c = ucnv_open("EUC-JP", &status);
    QByteArray out(text.size() * 3 + 4, '\0');
    const int32_t n = ucnv_fromUChars(c, out.data(), int32_t(out.size()),
                                      reinterpret_cast<const UChar*>(text.utf16()),
                                      int32_t(text.size()), &status);
    ucnv_close(c);
    out.truncate(n);
    return out;
}

void TestDictionaries::writeEdict(const QStringList& lines) const {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += eucJp(line) + '\n';
    write(path(QStringLiteral("edict/edict")), bytes);
}

void TestDictionaries::writeWordnet(const QString& pos, const QList<Sense>& senses) const {
    const char letter = pos == u"verb" ? 'v' : pos == u"adj" ? 'a' : pos == u"adv" ? 'r' : 'n';
    // A licence header, indented as in the real files, so readers skip it.
    QByteArray data = "  1 This is a test database.  \n";
    QMap<QString, QStringList> offsets;
    QStringList order;
    for (const Sense& s : senses) {
        const QString offset = QStringLiteral("%1").arg(data.size(), 8, 10, QLatin1Char('0'));
        QString lemma = s.lemma;
        lemma.replace(u' ', u'_');
        data += QStringLiteral("%1 03 %2 01 %3 0 000 | %4  \n")
                    .arg(offset, QChar::fromLatin1(letter), lemma, s.definition)
                    .toUtf8();
        if (!offsets.contains(lemma))
            order << lemma;
        offsets[lemma] << offset;
    }
    QByteArray index = "  1 This is a test database.  \n";
    order.sort();
    for (const QString& lemma : order) {
        const QStringList& list = offsets[lemma];
        index += QStringLiteral("%1 %2 %3 0 %3 0 %4  \n")
                     .arg(lemma, QChar::fromLatin1(letter))
                     .arg(list.size())
                     .arg(list.join(u' '))
                     .toUtf8();
    }
    write(path(QStringLiteral("wordnet/data.") + pos), data);
    write(path(QStringLiteral("wordnet/index.") + pos), index);
}

void TestDictionaries::writeExceptions(const QString& pos, const QStringList& lines) const {
    write(path(QStringLiteral("wordnet/%1.exc").arg(pos)), (lines.join(u'\n') + u'\n').toUtf8());
}

void TestDictionaries::writeSample() const {
    writeEdict({QStringLiteral("鼠 [ねずみ] /(n) (uk) mouse/(P)/"),
                QStringLiteral("行く [いく] /(v5k-s,vi) to go/(P)/"),
                QStringLiteral("参る [まいる] /(v5r,vi) (hum) to go/"),
                QStringLiteral("Āる [しかる] /(v5r,vt) to scold/")});
    writeWordnet(QStringLiteral("noun"),
                 {{QStringLiteral("mouse"), QStringLiteral("any of numerous small rodents")},
                  {QStringLiteral("scold"), QString(150, u'w')}});
    writeWordnet(QStringLiteral("verb"),
                 {{QStringLiteral("go"), QStringLiteral("change location; move")}});
    writeExceptions(QStringLiteral("noun"), {QStringLiteral("mice mouse")});
    writeExceptions(QStringLiteral("verb"), {QStringLiteral("went go")});
}
