// SPDX-License-Identifier: GPL-3.0-or-later
#include "bookgen.h"

#include "core/settings/textrecord.h"
#include "core/text/cp932.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>

namespace bookgen {
namespace {

const char16_t* const Kana =
    u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん";
const char16_t* const Kanji =
    u"日本語学習辞書意味例文単語翻訳原文訳文会話表現動詞名詞形容詞副詞文章言葉読書説明使用場合時間";

QString randomWord(QRandomGenerator& rng) {
    QString w;
    const int length = 3 + rng.bounded(10);
    for (int i = 0; i < length; ++i)
        w += QChar(u'a' + rng.bounded(26));
    if (rng.bounded(8) == 0)
        w[0] = w[0].toUpper();
    if (rng.bounded(20) == 0)
        w.prepend(QChar(u'0' + rng.bounded(10)));
    if (rng.bounded(15) == 0)
        w += QStringLiteral(" ") + QChar(u'a' + rng.bounded(26)) + QStringLiteral("ing");
    return w;
}

QString japanesePhrase(QRandomGenerator& rng, int chars) {
    QString s;
    const int kanaCount = int(std::char_traits<char16_t>::length(Kana));
    const int kanjiCount = int(std::char_traits<char16_t>::length(Kanji));
    for (int i = 0; i < chars; ++i)
        s += rng.bounded(3) == 0 ? QChar(Kanji[rng.bounded(kanjiCount)])
                                 : QChar(Kana[rng.bounded(kanaCount)]);
    return s;
}

QString cacheFolder() {
    return QStringLiteral(VERBANTA_BENCH_CACHE);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

} // namespace

QStringList words(int n) {
    QRandomGenerator rng(quint32(n) * 7919u + 17u);
    QStringList list;
    list.reserve(n);
    for (int i = 0; i < n; ++i)
        list << randomWord(rng);
    return list;
}

QString book(int n) {
    const QString folder = cacheFolder() + QStringLiteral("/book") + QString::number(n);
    if (QFile::exists(folder + QStringLiteral("/reis.vtd")))
        return folder;
    QDir().mkpath(folder);
    QRandomGenerator rng{quint32(n)};
    const QStringList list = words(n);
    // Record numbers in random order: the word file's line order carries no meaning.
    std::vector<int> recordOf(n);
    for (int i = 0; i < n; ++i)
        recordOf[i] = i + 1;
    std::shuffle(recordOf.begin(), recordOf.end(), rng);

    QByteArray means(qsizetype(n) * 200, ' ');
    QByteArray reis(qsizetype(n) * 400, ' ');
    TextRecordWriter w;
    for (int i = 0; i < n; ++i) {
        w.addString(list[i]).addInt(recordOf[i]).endRecord();
        const qsizetype r = recordOf[i] - 1;
        QString meaning = japanesePhrase(rng, 4 + rng.bounded(30));
        if (rng.bounded(10) == 0)
            meaning += QStringLiteral("\r\n") + japanesePhrase(rng, 10);
        QString example =
            list[i] + QStringLiteral(" is used here. ") + japanesePhrase(rng, 10 + rng.bounded(60));
        if (rng.bounded(8) == 0)
            example += QStringLiteral("\r\n") + japanesePhrase(rng, 20);
        means.replace(r * 200, 200, cp932::encodeField(meaning, 200));
        reis.replace(r * 400, 400, cp932::encodeField(example, 400));
    }
    writeFile(folder + QStringLiteral("/words.vtd"), w.bytes());
    writeFile(folder + QStringLiteral("/means.vtd"), means);
    writeFile(folder + QStringLiteral("/reis.vtd"), reis);
    return folder;
}

QStringList japaneseWords(int n) {
    QRandomGenerator rng(quint32(n) * 31u + 5u);
    QStringList list;
    list.reserve(n);
    for (int i = 0; i < n; ++i)
        list << japanesePhrase(rng, 2 + rng.bounded(5));
    return list;
}

QString englishText(int n, int chars) {
    const QStringList list = words(n);
    const QStringList filler = {QStringLiteral("the"), QStringLiteral("of"), QStringLiteral("and"),
                                QStringLiteral("a"),   QStringLiteral("to"), QStringLiteral("in")};
    QRandomGenerator rng(7);
    QString text;
    while (text.size() < chars) {
        QString w = rng.bounded(2) ? list[rng.bounded(int(list.size()))]
                                   : filler[rng.bounded(int(filler.size()))];
        if (rng.bounded(5) == 0)
            w += QStringLiteral("ed");
        text += w + (rng.bounded(12) == 0 ? QStringLiteral(". ") : QStringLiteral(" "));
    }
    text.truncate(chars);
    return text;
}

QString japaneseText(int bytes) {
    QRandomGenerator rng(42);
    QString text;
    int size = 0;
    while (size < bytes) {
        QString sentence = japanesePhrase(rng, 10 + rng.bounded(40)) + QStringLiteral("。");
        if (rng.bounded(6) == 0)
            sentence += QStringLiteral("\n");
        size += int(sentence.size()) * 2;
        text += sentence;
    }
    return text;
}

} // namespace bookgen
