// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dictionary/dictionaryindex.h"
#include "core/dictionary/meaningfit.h"
#include "core/text/cp932.h"
#include "support/testdictionaries.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList texts(const QList<Suggestion>& list, Suggestion::Source source) {
    QStringList out;
    for (const Suggestion& s : list)
        if (s.source == source)
            out << s.text;
    return out;
}

QStringList japanese(const QList<Suggestion>& list) {
    return texts(list, Suggestion::Source::Edict);
}

QStringList english(const QList<Suggestion>& list) {
    return texts(list, Suggestion::Source::Wordnet);
}

class DictionaryTest : public ::testing::Test {
protected:
    void SetUp() override {
        dict.writeEdict({
            QStringLiteral("苹果 [へいか] /(n) apple/"),
            QStringLiteral("林檎 [りんご] /(n) (1) apple/(2) apple tree/(P)/"),
            QStringLiteral("参る [まいる] /(v5r,vi) (1) (hum) to go/to come/"),
            QStringLiteral("動く [うごく] /(v5k,vi) (1) to move/to go/(P)/"),
            QStringLiteral("犬 [いぬ] /(n) (1) dog (Canis (lupus) familiaris)/(P)/"),
            QStringLiteral("４° [しど] /"),
            QStringLiteral("行く [いく] /(v5k-s,vi) to go/to move/(P)/"),
            QStringLiteral("鼠 [ねずみ] /(n) (uk) mouse/rat/(P)/"),
            QStringLiteral("ゴー /(n) Go (game)/"),
            QStringLiteral("居る [いる] /(v1,vi) to be/(P)/"),
            QStringLiteral("左 [ひだり] /(n) left/(P)/"),
            QStringLiteral("休暇 [きゅうか] /(n) leave (of absence)/(P)/"),
            QStringLiteral("去る [さる] /(v5r,vi) to leave/(P)/"),
            QStringLiteral("居眠る [いねむる] /(v5r,vi) to doze off/to nod off/"),
            QStringLiteral("小テスト [しょうテスト] /(n) quiz/"),
        });
        dict.writeWordnet(
            QStringLiteral("noun"),
            {{QStringLiteral("mouse"), QStringLiteral("any of numerous small rodents")},
             {QStringLiteral("mouse"), QStringLiteral("a hand-operated pointing device")},
             {QStringLiteral("apple"), QStringLiteral("fruit with red or yellow skin")},
             {QStringLiteral("go"), QStringLiteral("a board game for two players")}});
        dict.writeWordnet(QStringLiteral("verb"),
                          {{QStringLiteral("go"), QStringLiteral("change location; move")},
                           {QStringLiteral("tie"), QStringLiteral("fasten or secure with a rope")},
                           {QStringLiteral("nod off"), QStringLiteral("fall asleep")}});
        dict.writeExceptions(QStringLiteral("noun"),
                             {QStringLiteral("mice mouse"), QStringLiteral("quizzes quiz")});
        dict.writeExceptions(QStringLiteral("verb"),
                             {QStringLiteral("went go"), QStringLiteral("left leave"),
                              QStringLiteral("quizzes quiz")});
    }
    DictionaryFiles files() const { return DictionaryFiles::locate(dir.path()); }
    QString cache() const { return dir.path() + QStringLiteral("/cache/index.bin"); }

    QTemporaryDir dir;
    TestDictionaries dict{dir.path()};
};

TEST_F(DictionaryTest, ReverseIndexFindsExactGlossesAndVerbsCommonFirst) {
    const DictionaryIndex index = DictionaryIndex::build(files());
    EXPECT_TRUE(index.notes().isEmpty()) << index.notes().join(u'\n').toStdString();
    // Common (P) entries before the others, whatever the file order.
    EXPECT_EQ(japanese(index.lookup(QStringLiteral("apple"))),
              QStringList({QStringLiteral("林檎（りんご）"), QStringLiteral("苹果（へいか）")}));
    EXPECT_EQ(japanese(index.lookup(QStringLiteral("  Apple "))),
              japanese(index.lookup(QStringLiteral("apple"))));
    EXPECT_EQ(japanese(index.lookup(QStringLiteral("apple tree"))),
              QStringList({QStringLiteral("林檎（りんご）")}));
    // "to go" is found under "go": common entries first, among them those whose first sense it
    // is. Usually-kana words show the kana first.
    EXPECT_EQ(japanese(index.lookup(QStringLiteral("go"))),
              QStringList({QStringLiteral("行く（いく）"), QStringLiteral("動く（うごく）"),
                           QStringLiteral("参る（まいる）"), QStringLiteral("ゴー")}));
    // The remark after a gloss is not part of the word.
    EXPECT_EQ(japanese(index.lookup(QStringLiteral("dog"))),
              QStringList({QStringLiteral("犬（いぬ）")}));
    EXPECT_EQ(japanese(index.lookup(QStringLiteral("mouse"))),
              QStringList({QStringLiteral("ねずみ（鼠）")}));
    // A gloss with a remark after it is not the word itself; nothing matches a part of a gloss.
    EXPECT_TRUE(index.lookup(QStringLiteral("app")).isEmpty());
    EXPECT_TRUE(index.lookup(QStringLiteral("xyzzy")).isEmpty());
    EXPECT_TRUE(index.lookup(QString()).isEmpty());
}

TEST_F(DictionaryTest, DefinitionsFollowTheGlossesMarkedWithTheirSource) {
    const QList<Suggestion> list = DictionaryIndex::build(files()).lookup(QStringLiteral("mouse"));
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list[0].source, Suggestion::Source::Edict);
    EXPECT_EQ(list[1].text, QStringLiteral("any of numerous small rodents"));
    EXPECT_EQ(list[1].source, Suggestion::Source::Wordnet);
    EXPECT_EQ(list[1].partOfSpeech, QStringLiteral("n"));
    EXPECT_EQ(list[2].text, QStringLiteral("a hand-operated pointing device"));
}

TEST_F(DictionaryTest, InflectedFormsAreLookedUpThroughTheirBaseForms) {
    const DictionaryIndex index = DictionaryIndex::build(files());
    EXPECT_EQ(index.baseForms(QStringLiteral("mice")), QStringList({QStringLiteral("mouse")}));
    EXPECT_EQ(english(index.lookup(QStringLiteral("mice"))).value(0),
              QStringLiteral("any of numerous small rodents"));
    EXPECT_EQ(japanese(index.lookup(QStringLiteral("went"))).value(0),
              QStringLiteral("行く（いく）"));
    EXPECT_EQ(english(index.lookup(QStringLiteral("went"))),
              QStringList({QStringLiteral("change location; move")}));
    // The regular endings, only where the base is a known word.
    EXPECT_EQ(index.baseForms(QStringLiteral("apples")), QStringList({QStringLiteral("apple")}));
    EXPECT_EQ(index.baseForms(QStringLiteral("going")), QStringList({QStringLiteral("go")}));
    EXPECT_TRUE(index.baseForms(QStringLiteral("xyzzies")).isEmpty());
    // An ending is cut only where a stem of two letters or more is left: "bed" is not "be", while
    // "ties" is "tie".
    EXPECT_TRUE(index.baseForms(QStringLiteral("bed")).isEmpty());
    EXPECT_TRUE(index.lookup(QStringLiteral("bed")).isEmpty());
    EXPECT_EQ(index.baseForms(QStringLiteral("ties")), QStringList({QStringLiteral("tie")}));
}

TEST_F(DictionaryTest, VerbFormsAndInfinitivesAreOfferedTheVerbsMeaningsOnly) {
    const DictionaryIndex index = DictionaryIndex::build(files());
    const QStringList goVerbs = {QStringLiteral("行く（いく）"), QStringLiteral("動く（うごく）"),
                                 QStringLiteral("参る（まいる）")};
    // "went" is the verb "go": not the game, in either language.
    EXPECT_EQ(japanese(index.lookup(QStringLiteral("went"))), goVerbs);
    EXPECT_EQ(english(index.lookup(QStringLiteral("went"))),
              QStringList({QStringLiteral("change location; move")}));
    // "left" is a word of its own first, then the verb "leave", never the noun.
    EXPECT_EQ(japanese(index.lookup(QStringLiteral("left"))),
              QStringList({QStringLiteral("左（ひだり）"), QStringLiteral("去る（さる）")}));
    // Where the nouns' list gives the same base, its nouns stay.
    EXPECT_EQ(japanese(index.lookup(QStringLiteral("quizzes"))),
              QStringList({QStringLiteral("小テスト（しょうテスト）")}));

    // A headword written as the infinitive finds the verbs' glosses.
    EXPECT_EQ(japanese(index.lookup(QStringLiteral("to nod off"))),
              QStringList({QStringLiteral("居眠る（いねむる）")}));
    EXPECT_EQ(index.lookup(QStringLiteral("To  Nod off")), index.lookup(QStringLiteral("nod off")));
    EXPECT_EQ(japanese(index.lookup(QStringLiteral("to go"))), goVerbs);
    EXPECT_EQ(english(index.lookup(QStringLiteral("to go"))),
              QStringList({QStringLiteral("change location; move")}));
    EXPECT_TRUE(index.lookup(QStringLiteral("to apple")).isEmpty());
    EXPECT_TRUE(index.lookup(QStringLiteral("to ")).isEmpty());
}

TEST_F(DictionaryTest, AtMostTenSuggestionsKeepSomeDefinitions) {
    QStringList lines;
    QList<TestDictionaries::Sense> senses;
    for (int i = 0; i < 15; ++i)
        lines << QStringLiteral("猫%1 [ねこ] /(n) cat/").arg(i);
    for (int i = 0; i < 5; ++i)
        senses.append({QStringLiteral("cat"), QStringLiteral("feline %1").arg(i)});
    dict.writeEdict(lines);
    dict.writeWordnet(QStringLiteral("noun"), senses);
    const QList<Suggestion> list = DictionaryIndex::build(files()).lookup(QStringLiteral("cat"));
    ASSERT_EQ(list.size(), 10);
    EXPECT_EQ(japanese(list).size(), 7);
    EXPECT_EQ(english(list), QStringList({QStringLiteral("feline 0"), QStringLiteral("feline 1"),
                                          QStringLiteral("feline 2")}));
    EXPECT_EQ(japanese(list).first(), QStringLiteral("猫0（ねこ）"));
}

TEST_F(DictionaryTest, CacheIsReusedRebuiltWhenADictionaryChangesAndWhenDamaged) {
    auto first = DictionaryIndex::openOrBuild(files(), cache());
    EXPECT_EQ(first.cache, DictionaryIndex::OpenResult::Missing);
    ASSERT_TRUE(QFile::exists(cache()));
    const QList<Suggestion> expected = first.index.lookup(QStringLiteral("apple"));

    auto second = DictionaryIndex::openOrBuild(files(), cache());
    EXPECT_EQ(second.cache, DictionaryIndex::OpenResult::Opened);
    EXPECT_EQ(second.index.lookup(QStringLiteral("apple")), expected);

    // A dictionary that changes size makes the cache stale.
    dict.writeExceptions(QStringLiteral("noun"),
                         {QStringLiteral("mice mouse"), QStringLiteral("geese goose")});
    auto third = DictionaryIndex::openOrBuild(files(), cache());
    EXPECT_EQ(third.cache, DictionaryIndex::OpenResult::Stale);
    EXPECT_EQ(DictionaryIndex::openOrBuild(files(), cache()).cache,
              DictionaryIndex::OpenResult::Opened);

    // So does one changed without changing its size, as an older copy put back would be: its time
    // differs, even when it goes back.
    const QString exceptions = dict.path(QStringLiteral("wordnet/noun.exc"));
    const QFileInfo beforeChange(exceptions);
    dict.writeExceptions(QStringLiteral("noun"),
                         {QStringLiteral("mice mouse"), QStringLiteral("geese mouse")});
    {
        QFile changed(exceptions);
        ASSERT_TRUE(changed.open(QIODevice::ReadWrite));
        ASSERT_TRUE(changed.setFileTime(beforeChange.lastModified().addSecs(-3600),
                                        QFileDevice::FileModificationTime));
    }
    ASSERT_EQ(QFileInfo(exceptions).size(), beforeChange.size());
    auto sameSize = DictionaryIndex::openOrBuild(files(), cache());
    EXPECT_EQ(sameSize.cache, DictionaryIndex::OpenResult::Stale);
    EXPECT_EQ(sameSize.index.baseForms(QStringLiteral("geese")),
              QStringList({QStringLiteral("mouse")}));

    // One flipped byte anywhere, or a cut, and the cache is built again.
    QFile file(cache());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    bytes[bytes.size() - 3] = char(bytes[bytes.size() - 3] ^ 0x55);
    file.seek(0);
    file.write(bytes);
    file.close();
    auto damaged = DictionaryIndex::openOrBuild(files(), cache());
    EXPECT_EQ(damaged.cache, DictionaryIndex::OpenResult::Damaged);
    EXPECT_EQ(damaged.index.lookup(QStringLiteral("apple")), expected);
    ASSERT_TRUE(file.resize(bytes.size() / 2));
    EXPECT_EQ(DictionaryIndex::openOrBuild(files(), cache()).cache,
              DictionaryIndex::OpenResult::Damaged);
    ASSERT_TRUE(file.resize(5));
    EXPECT_EQ(DictionaryIndex::openOrBuild(files(), cache()).cache,
              DictionaryIndex::OpenResult::Damaged);
    EXPECT_EQ(DictionaryIndex::openOrBuild(files(), cache()).index.lookup(QStringLiteral("apple")),
              expected);
}

TEST_F(DictionaryTest, DamagedOrTruncatedDictionariesAreReadAsFarAsTheyGoAndSaySo) {
    // A line that is not EUC-JP and a last line cut short.
    QByteArray edict = TestDictionaries::eucJp(QStringLiteral("林檎 [りんご] /(n) apple/(P)/\n"));
    edict += QByteArray("\x8e\xff\xff [\xa4] /(n) broken/\n");
    edict += TestDictionaries::eucJp(QStringLiteral("行く [いく] /(v5k-s,vi) to go/(P)/\n"));
    edict += TestDictionaries::eucJp(QStringLiteral("犬 [いぬ] /(n) do"));
    QFile e(dict.path(QStringLiteral("edict/edict")));
    ASSERT_TRUE(e.open(QIODevice::WriteOnly | QIODevice::Truncate));
    e.write(edict);
    e.close();
    // The data file cut in the middle: the index points past its end.
    QFile data(dict.path(QStringLiteral("wordnet/data.noun")));
    ASSERT_TRUE(data.open(QIODevice::ReadWrite));
    ASSERT_TRUE(data.resize(data.size() - 40));
    data.close();

    const DictionaryIndex index = DictionaryIndex::build(files());
    const QString notes = index.notes().join(u'\n');
    EXPECT_TRUE(notes.contains(
        QStringLiteral("edict の一部が壊れているか途中で切れています（2 行を読み飛ばしました）")))
        << notes.toStdString();
    EXPECT_TRUE(notes.contains(QStringLiteral("data.noun の一部が壊れているか")))
        << notes.toStdString();
    EXPECT_EQ(japanese(index.lookup(QStringLiteral("apple"))).value(0),
              QStringLiteral("林檎（りんご）"));
    EXPECT_EQ(japanese(index.lookup(QStringLiteral("go"))).value(0),
              QStringLiteral("行く（いく）"));
    EXPECT_TRUE(index.lookup(QStringLiteral("dog")).isEmpty());
    EXPECT_TRUE(index.lookup(QStringLiteral("broken")).isEmpty());
    EXPECT_EQ(english(index.lookup(QStringLiteral("mouse"))).value(0),
              QStringLiteral("any of numerous small rodents"));

    // Files of nothing but noise: a note each, nothing found, nothing breaks, and the notes
    // come back with the cached index.
    QByteArray noise(4096, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 7919) % 251);
    for (const char* name : {"edict/edict", "wordnet/index.noun", "wordnet/index.verb"}) {
        QFile f(dict.path(QLatin1String(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(noise);
    }
    auto loaded = DictionaryIndex::openOrBuild(files(), cache());
    EXPECT_TRUE(
        loaded.index.notes().join(u'\n').contains(QStringLiteral("edict を読めませんでした")));
    EXPECT_TRUE(loaded.index.lookup(QStringLiteral("apple")).isEmpty());
    EXPECT_EQ(DictionaryIndex::openOrBuild(files(), cache()).index.notes(), loaded.index.notes());
}

TEST(DictionaryFilesTest, NoDictionaryInstalledBuildsNothingAndWritesNoCache) {
    QTemporaryDir dir;
    const DictionaryFiles files = DictionaryFiles::locate(dir.path());
    EXPECT_TRUE(files.isEmpty());
    auto loaded = DictionaryIndex::openOrBuild(files, dir.path() + QStringLiteral("/c/index.bin"));
    EXPECT_TRUE(loaded.index.isEmpty());
    EXPECT_TRUE(loaded.index.lookup(QStringLiteral("apple")).isEmpty());
    EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/c/index.bin")));
}

TEST(MeaningFitTest, CutsAtTheLimitWithAMarkAndKeepsToTheCodePage) {
    const QString fits(100, u'あ');
    EXPECT_EQ(fitMeaning(fits, 100).text, fits);
    EXPECT_FALSE(fitMeaning(fits, 100).cut);

    const FittedMeaning longer = fitMeaning(QString(150, u'x'), 100);
    EXPECT_TRUE(longer.cut);
    EXPECT_EQ(longer.text.size(), 100);
    EXPECT_EQ(longer.text, QString(99, u'x') + u'…');
    EXPECT_LE(cp932::encode(longer.text).size(), 200);

    // A character outside the code page, in or beyond the basic plane, becomes the geta mark;
    // the result always encodes.
    const FittedMeaning foreign = fitMeaning(QStringLiteral("𠮟る、Ā、ok"), 100);
    EXPECT_TRUE(foreign.replaced);
    EXPECT_EQ(foreign.text, QStringLiteral("〓る、〓、ok"));
    EXPECT_TRUE(cp932::unencodable(foreign.text).isEmpty());

    // A cut never leaves half a surrogate pair: replacement happens before the cut.
    const FittedMeaning edge = fitMeaning(QString(98, u'a') + QStringLiteral("𠮟𠮟"), 100);
    EXPECT_EQ(edge.text, QString(98, u'a') + QStringLiteral("〓〓"));
}

TEST(JapaneseHeadwordsTest, SpellingsAndReadingsOfferTheirEnglishGlossesCommonFirst) {
    QTemporaryDir dir;
    TestDictionaries dict(dir.path());
    dict.writeEdict({
        QStringLiteral("回る;廻る [みる] /(v1) (arch) to go around/"),
        QStringLiteral("見る [みる] /(v1,vt) (1) to see/to look/(v1,vt) (2) to examine/(P)/"),
        QStringLiteral("診る [みる] /(v1,vt) to examine (medically)/(P)/"),
        QStringLiteral("勉強 [べんきょう] /(n,vs) (1) study/(n,vs) (2) diligence/(P)/"),
        QStringLiteral("林檎 [りんご] /(n) (1) apple/(2) apple tree/(P)/"),
    });
    const DictionaryIndex index = DictionaryIndex::build(DictionaryFiles::locate(dir.path()));
    EXPECT_EQ(japanese(index.lookup(QStringLiteral("見る"))),
              QStringList({"to see; to look; to examine"}));
    // By reading: the common entries first, each once.
    EXPECT_EQ(
        japanese(index.lookup(QStringLiteral("みる"))),
        QStringList({"to see; to look; to examine", "to examine (medically)", "to go around"}));
    // Every spelling of an entry leads to it; a verb made with する to its noun.
    EXPECT_EQ(japanese(index.lookup(QStringLiteral("廻る"))), QStringList({"to go around"}));
    EXPECT_EQ(japanese(index.lookup(QStringLiteral("勉強する"))),
              QStringList({"study; diligence"}));
    // The English side is as it was.
    EXPECT_EQ(japanese(index.lookup(QStringLiteral("apple"))),
              QStringList({QStringLiteral("林檎（りんご）")}));
    EXPECT_TRUE(index.lookup(QStringLiteral("する")).isEmpty());
}

TEST(RealDictionariesTest, CommonWordsHaveMeanings) {
    const DictionaryFiles files = DictionaryFiles::locate(QStringLiteral("/usr/share"));
    if (!files.hasEdict() || !files.hasWordnet())
        GTEST_SKIP() << "edict and wordnet-base are not installed";
    const DictionaryIndex index = DictionaryIndex::build(files);
    EXPECT_TRUE(index.notes().isEmpty()) << index.notes().join(u'\n').toStdString();
    EXPECT_TRUE(japanese(index.lookup(QStringLiteral("apple"))).join(u' ').contains(u'林'));
    EXPECT_TRUE(
        japanese(index.lookup(QStringLiteral("went"))).join(u' ').contains(QStringLiteral("行く")));
    EXPECT_TRUE(english(index.lookup(QStringLiteral("mice")))
                    .join(u' ')
                    .contains(QStringLiteral("rodent")));
    EXPECT_TRUE(japanese(index.lookup(QStringLiteral("dog"))).join(u' ').contains(u'犬'));
    EXPECT_FALSE(english(index.lookup(QStringLiteral("running"))).isEmpty());
    EXPECT_LE(index.lookup(QStringLiteral("go")).size(), 10);
    // Japanese headwords, by spelling or by reading, with the glosses a learner expects.
    const struct {
        const char16_t* word;
        const char* gloss;
    } headwords[] = {
        {u"食べる", "to eat"},  {u"見る", "to see"},    {u"日本語", "Japanese (language)"},
        {u"図書館", "library"}, {u"勉強する", "study"}, {u"としょかん", "library"}};
    for (const auto& h : headwords) {
        const QStringList glosses = japanese(index.lookup(QString::fromUtf16(h.word)));
        ASSERT_FALSE(glosses.isEmpty()) << QString::fromUtf16(h.word).toStdString();
        EXPECT_TRUE(glosses.front().contains(QLatin1String(h.gloss)))
            << glosses.join(u" | ").toStdString();
    }
}

} // namespace
