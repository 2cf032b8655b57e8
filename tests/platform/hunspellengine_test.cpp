// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/hunspellengine.h"
#include "support/tinydictionary.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

TEST(HunspellEngine, ChecksSuggestsAndLearnsWordsOfItsDictionary) {
    TinyDictionary tiny;
    const QList<SpellDictionary> found = hunspelldictionaries::installed();
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].code, QStringLiteral("en_US"));
    EXPECT_EQ(found[0].displayName(), QStringLiteral("英語 (米国)"));
    EXPECT_EQ(hunspelldictionaries::defaultCode(found), QStringLiteral("en_US"));

    HunspellEngine engine(found[0]);
    EXPECT_TRUE(engine.spell(QStringLiteral("hello")));
    EXPECT_TRUE(engine.spell(QStringLiteral("Hello")));
    EXPECT_FALSE(engine.spell(QStringLiteral("helo")));
    EXPECT_TRUE(engine.suggest(QStringLiteral("helo")).contains(QStringLiteral("hello")));

    engine.addWord(QStringLiteral("Verbanta"));
    EXPECT_TRUE(engine.spell(QStringLiteral("Verbanta")));
}

TEST(HunspellEngine, ListsOnlyCompleteDictionariesAndNamesUnknownLanguagesByCode) {
    TinyDictionary tiny("xx_YY");
    TinyDictionary other("de_AT");
    // Only the folder named last is searched; put the first dictionary beside the second.
    QFile::copy(tiny.path() + QStringLiteral("/xx_YY.dic"),
                other.path() + QStringLiteral("/xx_YY.dic"));
    QFile::copy(tiny.path() + QStringLiteral("/xx_YY.dic"),
                other.path() + QStringLiteral("/zz.dic"));
    const QList<SpellDictionary> found = hunspelldictionaries::installed();
    ASSERT_EQ(found.size(), 1); // xx_YY.dic and zz.dic have no .aff there
    EXPECT_EQ(found[0].displayName(), QStringLiteral("ドイツ語 (オーストリア)"));
    EXPECT_TRUE(hunspelldictionaries::defaultCode(found).isEmpty());
    EXPECT_EQ((SpellDictionary{QStringLiteral("xx_YY"), {}, {}}).displayName(),
              QStringLiteral("xx_YY"));
}

TEST(HunspellEngine, RealEnglishDictionaryKnowsCommonWords) {
    qunsetenv("VERBANTA_HUNSPELL_DIR");
    QList<SpellDictionary> found = hunspelldictionaries::installed();
    const QString code = hunspelldictionaries::defaultCode(found);
    if (code.isEmpty())
        GTEST_SKIP() << "no English (US) Hunspell dictionary installed (hunspell-en-us)";
    const auto it = std::find_if(found.begin(), found.end(),
                                 [&](const SpellDictionary& d) { return d.code == code; });
    HunspellEngine engine(*it);
    EXPECT_TRUE(engine.spell(QStringLiteral("translation")));
    EXPECT_TRUE(engine.spell(QStringLiteral("don't")));
    EXPECT_FALSE(engine.spell(QStringLiteral("tranlsation")));
    EXPECT_EQ(engine.suggest(QStringLiteral("tranlsation")).value(0),
              QStringLiteral("translation"));
}

} // namespace
