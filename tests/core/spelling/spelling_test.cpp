// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spelling/spellchecker.h"
#include "core/spelling/spellengine.h"
#include "core/spelling/spellingfiles.h"
#include "support/tempappfolder.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

using spelling::WordSpan;

// Knows a fixed set of words (case-insensitively) and counts the questions it was asked.
class FakeEngine : public SpellEngine {
public:
    QSet<QString> words{"the", "cat", "sat", "on", "mat", "don't"};
    int asked = 0;
    bool spell(const QString& w) override {
        ++asked;
        return words.contains(w.toLower());
    }
    QStringList suggest(const QString&) override { return {"a", "b", "c", "d", "e", "f", "g"}; }
    void addWord(const QString& w) override { words.insert(w.toLower()); }
};

QStringList wordsOf(const QString& text, const QList<WordSpan>& spans) {
    QStringList out;
    for (const WordSpan& s : spans)
        out << text.mid(s.start, s.length);
    return out;
}

TEST(WordSplit, TakesLatinWordsAndLeavesJapaneseCodesAndFullWidthLettersAlone) {
    const QString text =
        QStringLiteral("The cat's mat, don't 'quote' A4 x_max 3rd ＡＢＣ 猫はcatです αβγ abcдеф");
    EXPECT_EQ(wordsOf(text, spelling::latinWords(text)),
              QStringList({"The", "cat's", "mat", "don't", "quote", "cat"}));
    EXPECT_TRUE(spelling::latinWords(QStringLiteral("日本語の文章です。")).isEmpty());
    const QString accented = QStringLiteral("café naïve");
    EXPECT_EQ(wordsOf(accented, spelling::latinWords(accented)), QStringList({"café", "naïve"}));
    // Asked to, digits belong to the word around them; an underscore still spoils it.
    const QString codes = QStringLiteral("A4 x_max 3rd utf8 x86_64 2024 v2.0");
    EXPECT_EQ(wordsOf(codes, spelling::latinWords(codes, true)),
              QStringList({"A4", "3rd", "utf8", "v2"}));
}

TEST(SpellChecker, MarksOnlyWordsNoDictionaryBookOrUserListKnows) {
    FakeEngine engine;
    spelling::SpellChecker checker;
    const QString text = QStringLiteral("The catt sat on teh mat with Tokyo and verbanta, 猫");
    EXPECT_TRUE(checker.misspelt(text).isEmpty()); // no engine: nothing is checked

    checker.setEngine(&engine);
    EXPECT_EQ(wordsOf(text, checker.misspelt(text)),
              QStringList({"catt", "teh", "with", "Tokyo", "and", "verbanta"}));

    const quint64 before = checker.generation();
    checker.setBookLookup([](const QString& w) { return w == u"tokyo" || w == u"with"; });
    checker.addPersonalWord(QStringLiteral("verbanta"));
    checker.ignore(QStringLiteral("teh"));
    EXPECT_GT(checker.generation(), before);
    EXPECT_EQ(wordsOf(text, checker.misspelt(text)), QStringList({"catt", "and"}));
    // A personal word typed in lower case also covers it at the start of a sentence.
    EXPECT_TRUE(checker.isCorrect(QStringLiteral("Verbanta")));
    EXPECT_FALSE(checker.isCorrect(QStringLiteral("Catt")));
}

// Identifiers of technical text are left alone unless the user wants them checked: those with a
// capital after the first letter, and those with digits. A capital that starts a sentence is no
// reason to leave a word alone.
TEST(SpellChecker, LeavesIdentifiersAloneUnlessAskedToCheckThem) {
    FakeEngine engine;
    spelling::SpellChecker checker;
    checker.setEngine(&engine);
    const QString text = QStringLiteral("SolutionActionRejected iPhone Teh x86 3rd utf8 catt NASA");
    EXPECT_EQ(wordsOf(text, checker.misspelt(text)), QStringList({"Teh", "catt"}));

    quint64 before = checker.generation();
    checker.setExemptions({.innerCapitals = false, .digits = true});
    EXPECT_GT(checker.generation(), before);
    EXPECT_EQ(wordsOf(text, checker.misspelt(text)),
              QStringList({"SolutionActionRejected", "iPhone", "Teh", "catt", "NASA"}));
    before = checker.generation();
    checker.setExemptions({.innerCapitals = true, .digits = false});
    EXPECT_GT(checker.generation(), before);
    EXPECT_EQ(wordsOf(text, checker.misspelt(text)),
              QStringList({"Teh", "x86", "3rd", "utf8", "catt"}));
}

TEST(SpellChecker, AsksTheDictionaryOncePerWordAndLimitsSuggestions) {
    FakeEngine engine;
    spelling::SpellChecker checker;
    checker.setEngine(&engine);
    const QString text = QStringLiteral("the cat the cat the cat");
    checker.misspelt(text);
    checker.misspelt(text);
    EXPECT_EQ(engine.asked, 2);
    EXPECT_EQ(checker.suggestions(QStringLiteral("catt")).size(), 5);
    // A new dictionary forgets the old one's answers.
    FakeEngine other;
    other.words.clear();
    checker.setEngine(&other);
    EXPECT_EQ(checker.misspelt(text).size(), 6);
}

TEST(SpellingFiles, KeepSettingsAndWordsInFilesOfTheirOwnAndSurviveDamage) {
    TempAppFolder app;
    const QStringList before = app.entries();
    spelling::SpellSettings defaults = spelling::readSettings(app.path());
    EXPECT_TRUE(defaults.enabled);
    EXPECT_FALSE(defaults.language.has_value());
    EXPECT_TRUE(spelling::readWordList(app.path()).isEmpty());
    EXPECT_EQ(app.entries(), before); // reading creates nothing

    spelling::writeSettings(app.path(), {false, QString()});
    spelling::SpellSettings read = spelling::readSettings(app.path());
    EXPECT_FALSE(read.enabled);
    ASSERT_TRUE(read.language.has_value());
    EXPECT_TRUE(read.language->isEmpty());
    spelling::writeSettings(app.path(), {true, QStringLiteral("en_GB")});
    EXPECT_EQ(spelling::readSettings(app.path()).language, QStringLiteral("en_GB"));

    spelling::writeWordList(app.path(), {QStringLiteral("naïve"), QStringLiteral("Verbanta")});
    EXPECT_EQ(app.read(QStringLiteral("spelling-words.txt")),
              QByteArray("Verbanta\nna\xc3\xafve\n"));
    EXPECT_EQ(spelling::readWordList(app.path()),
              QSet<QString>({QStringLiteral("naïve"), QStringLiteral("Verbanta")}));

    app.write(QStringLiteral("spelling.ini"), QByteArray("\xff\xfe garbage\nenabled\n"));
    EXPECT_TRUE(spelling::readSettings(app.path()).enabled);

    // The switches for identifiers are on in a file from before them, and kept when turned off.
    app.write(QStringLiteral("spelling.ini"), QByteArray("enabled=0\nlanguage=en_GB\n"));
    read = spelling::readSettings(app.path());
    EXPECT_TRUE(read.ignoreInnerCapitals);
    EXPECT_TRUE(read.ignoreDigits);
    read.ignoreDigits = false;
    spelling::writeSettings(app.path(), read);
    EXPECT_EQ(app.read(QStringLiteral("spelling.ini")),
              QByteArray("enabled=0\nlanguage=en_GB\nignoreDigits=0\n"));
    read = spelling::readSettings(app.path());
    EXPECT_TRUE(read.ignoreInnerCapitals);
    EXPECT_FALSE(read.ignoreDigits);
    EXPECT_FALSE(read.enabled);
}

} // namespace
