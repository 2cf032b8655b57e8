// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/glossary/glossary.h"
#include "core/glossary/morphanalyser.h"
#include "platform/mecabanalyser.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

const QStringList JapaneseBook = {
    QStringLiteral("用いる"),
    QStringLiteral("学ぶ"),
    QStringLiteral("行く"),
    QStringLiteral("翻訳"),
    QStringLiteral("翻訳者"),
    QStringLiteral("日本語"),
    QStringLiteral("日本"),
    QStringLiteral("能力"),
    QStringLiteral("試験"),
    QStringLiteral("日本語能力試験"),
    QStringLiteral("受ける"),
    QStringLiteral("図書館"),
    QStringLiteral("美しい"),
    QStringLiteral("高い"),
    QStringLiteral("使う"),
    QStringLiteral("データ"),
    QStringLiteral("勉強"),
    QStringLiteral("勉強する"),
    QStringLiteral("API"),
    QStringLiteral("コンピューター"),
    // A single character and an auxiliary: what cutting by substring wrongly finds.
    QStringLiteral("学"),
    QStringLiteral("用"),
    QStringLiteral("ない"),
};

Glossary glossaryOf(const QStringList& words, std::shared_ptr<const MorphAnalyser> analyser) {
    std::vector<Glossary::Word> list;
    for (int i = 0; i < words.size(); ++i)
        list.push_back({words[i], i + 1});
    Glossary g(list);
    g.setAnalyser(std::move(analyser));
    return g;
}

QStringList wordsOf(const std::vector<GlossaryMatch>& matches) {
    QStringList out;
    for (const GlossaryMatch& m : matches)
        out << m.word;
    return out;
}

// The analyser as installed; the tests need it (the install script brings it).
std::shared_ptr<const MorphAnalyser> mecab() {
    static std::shared_ptr<const MorphAnalyser> analyser = MecabAnalyser::open(QString());
    return analyser;
}

struct Case {
    QString sentence;
    QStringList byWords;     // with the analyser
    QStringList bySubstring; // without it
};

} // namespace

TEST(JapaneseWords, SentencesAreMatchedByWordsAndDictionaryForms) {
    ASSERT_NE(mecab(), nullptr) << "MeCab with mecab-ipadic-utf8 is not installed";
    const Glossary words = glossaryOf(JapaneseBook, mecab());
    const Glossary substrings = glossaryOf(JapaneseBook, nullptr);
    const Case cases[] = {
        {QStringLiteral("この方法を用いて、日本語を学びます。"),
         {"用いる", "日本語", "学ぶ"},
         {"用", "日本語", "学"}},
        {QStringLiteral("明日は図書館へ行かなければならない。"),
         {"図書館", "行く"},
         {"図書館", "ない"}},
        {QStringLiteral("来年、日本語能力試験を受けるつもりだ。"),
         {"日本語能力試験", "受ける"},
         {"日本語能力試験", "受ける"}},
        {QStringLiteral("翻訳者はｺﾝﾋﾟｭｰﾀｰを使った。"),
         {"翻訳者", "コンピューター", "使う"},
         {"翻訳者", "コンピューター"}},
        {QStringLiteral("その山は美しかったが、値段は高くなかった。"), {"美しい", "高い"}, {}},
        // An auxiliary is no word of its own, though the book holds its dictionary form.
        {QStringLiteral("報告書を書かなければ。"), {}, {}},
        {QStringLiteral("ＡＰＩを使って、データを勉強しました。"),
         {"API", "使う", "データ", "勉強する"},
         {"API", "データ", "勉強"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sentence.toStdString());
        EXPECT_EQ(wordsOf(words.distinctMatches(c.sentence)), c.byWords);
        EXPECT_EQ(wordsOf(substrings.distinctMatches(c.sentence)), c.bySubstring);
    }
    // An inflected word is marked with its inflection, where the user sees it.
    const QString text = QStringLiteral("行かなければ、ｺﾝﾋﾟｭｰﾀｰを使った。");
    QStringList marked;
    for (const GlossaryMatch& m : words.matches(text))
        marked << text.mid(m.start, m.end - m.start);
    EXPECT_EQ(marked, QStringList({"行かなければ", "ｺﾝﾋﾟｭｰﾀｰ", "使った"}));
}

TEST(JapaneseWords, ACompoundIsListedBeforeItsPartsAndReadingsAreGiven) {
    ASSERT_NE(mecab(), nullptr);
    const QString text = QStringLiteral("来年、日本語能力試験を受ける翻訳者。");
    for (const auto& analyser : {mecab(), std::shared_ptr<const MorphAnalyser>()}) {
        SCOPED_TRACE(analyser ? "by words" : "by substring");
        const Glossary g = glossaryOf(JapaneseBook, analyser);
        QStringList listed;
        for (const GlossaryMatch& m : g.distinctMatchesWithParts(text))
            listed << (m.part ? QStringLiteral("  ") : QString()) + m.word;
        EXPECT_EQ(listed, QStringList({"日本語能力試験", "  日本語", "  日本", "  能力", "  試験",
                                       "受ける", "翻訳者", "  翻訳"}));
        // The highlight marks only the longest.
        EXPECT_EQ(wordsOf(g.matches(text)), QStringList({"日本語能力試験", "受ける", "翻訳者"}));
    }
    EXPECT_EQ(morphology::readingOf(*mecab(), u"日本語能力試験"),
              QStringLiteral("にほんごのうりょくしけん"));
    EXPECT_EQ(morphology::readingOf(*mecab(), u"用いる"), QStringLiteral("もちいる"));
    EXPECT_EQ(morphology::readingOf(*mecab(), u"コンピューター"), QString());
}

TEST(JapaneseWords, ASelectionIsBroughtToItsDictionaryForm) {
    ASSERT_NE(mecab(), nullptr);
    const struct {
        QString selection;
        QString form;
    } cases[] = {
        {QStringLiteral("用いて"), QStringLiteral("用いる")},
        {QStringLiteral("学びます"), QStringLiteral("学ぶ")},
        {QStringLiteral("行かなければ"), QStringLiteral("行く")},
        {QStringLiteral("食べている"), QStringLiteral("食べる")},
        {QStringLiteral("勉強しました"), QStringLiteral("勉強する")},
        {QStringLiteral("美しくない"), QStringLiteral("美しい")},
        // Already the dictionary form, and more than one word: nothing to offer.
        {QStringLiteral("日本語"), QString()},
        {QStringLiteral("本を読む"), QString()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(morphology::dictionaryForm(*mecab(), c.selection), c.form)
            << c.selection.toStdString();
}

TEST(JapaneseWords, TheAnalyserIsMissingWhereItsDictionaryIsNot) {
    EXPECT_EQ(MecabAnalyser::open(QStringLiteral("/nonexistent/mecab-dictionary")), nullptr);
    qputenv("VERBANTA_MECAB_DICDIR", "/nonexistent/mecab-dictionary");
    EXPECT_EQ(japaneseanalyser::shared(), nullptr);
    qunsetenv("VERBANTA_MECAB_DICDIR");
    EXPECT_NE(japaneseanalyser::shared(), nullptr);
}
