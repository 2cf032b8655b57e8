// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/glossary/glossary.h"
#include "core/glossary/irregularforms.h"
#include "core/glossary/meaningterms.h"
#include "core/glossary/sentence.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QStringList SmallBook = {
    QStringLiteral("install"),     QStringLiteral("look"),   QStringLiteral("look up"),
    QStringLiteral("in spite of"), QStringLiteral("walk"),   QStringLiteral("walker"),
    QStringLiteral("Paris"),       QStringLiteral("run"),    QStringLiteral("the"),
    QStringLiteral("e-mail"),      QStringLiteral("翻訳"),   QStringLiteral("翻訳者"),
    QStringLiteral("者"),          QStringLiteral("カメラ"), QStringLiteral("ガス"),
    QStringLiteral("Tシャツ"),     QStringLiteral("テスト"), QStringLiteral("data"),
};

Glossary glossaryOf(const QStringList& words) {
    std::vector<Glossary::Word> list;
    for (int i = 0; i < words.size(); ++i)
        list.push_back({words[i], i + 1});
    return Glossary(list);
}

QStringList wordsOf(const std::vector<GlossaryMatch>& matches) {
    QStringList out;
    for (const GlossaryMatch& m : matches)
        out << m.word;
    return out;
}

// A plain scan over every word at every place, on text normalised as a whole: what the glossary
// should find, worked out without its tables and position maps.
class PlainScan {
public:
    explicit PlainScan(const QStringList& words) : m_words(words) {}

    QStringList distinct(const QString& original) const {
        const QString text = fold(original);
        QStringList found;
        for (int i = 0; i < text.size();) {
            const bool latin = isLatin(text[i]);
            if (latin && i > 0 && isLatin(text[i - 1])) {
                ++i;
                continue;
            }
            int bestEnd = -1;
            QString bestWord;
            if (latin) {
                const int tokenEnd = runEnd(text, i);
                const int tokenLength = tokenEnd - i;
                for (int stem = tokenLength; stem >= 2 || stem == tokenLength; --stem) {
                    if (tokenLength - stem > 4)
                        break;
                    if (stem < tokenLength && !isEnding(text.mid(i, tokenLength), stem))
                        continue;
                    for (const QString& w : m_words) {
                        const QString f = fold(w);
                        if (!isLatin(f[0]) || runEnd(f, 0) != stem ||
                            f.left(stem) != text.mid(i, stem))
                            continue;
                        const int end = restEnd(f, stem, text, tokenEnd);
                        if (end > bestEnd)
                            bestEnd = end, bestWord = w;
                    }
                }
            } else {
                for (const QString& w : m_words) {
                    const QString f = fold(w);
                    if (isLatin(f[0]) || !text.mid(i).startsWith(f))
                        continue;
                    const int end = i + int(f.size());
                    if (isLatin(f.back()) && end < text.size() && isLatin(text[end]))
                        continue;
                    if (end > bestEnd)
                        bestEnd = end, bestWord = w;
                }
            }
            if (bestEnd < 0) {
                i = latin ? runEnd(text, i) : i + 1;
                continue;
            }
            if (!found.contains(bestWord))
                found << bestWord;
            i = bestEnd;
        }
        return found;
    }

private:
    static QString fold(const QString& s) {
        return s.normalized(QString::NormalizationForm_KC).toCaseFolded();
    }
    // What an inflection adds to a word, a doubled consonant allowed.
    static bool isEnding(const QString& token, int stem) {
        static const QRegularExpression ending(QStringLiteral("^(s|es|d|ed|ing|er|ers|est|ly)$"));
        const QString tail = token.mid(stem);
        return ending.match(tail).hasMatch() || (tail.size() > 2 && tail[0] == token[stem - 1] &&
                                                 ending.match(tail.mid(1)).hasMatch());
    }
    static bool isLatin(QChar c) {
        return c.isLetterOrNumber() && c.script() != QChar::Script_Han &&
               c.script() != QChar::Script_Hiragana && c.script() != QChar::Script_Katakana &&
               c.unicode() != 0x30FC;
    }
    static int runEnd(const QString& s, int from) {
        while (from < s.size() && isLatin(s[from]))
            ++from;
        return from;
    }
    // The end of the entry f's rest (behind its first stem characters) matched at from, a space
    // standing for one blank or line break and the last word of a phrase allowed an ending; -1 if
    // not.
    static int restEnd(const QString& f, int stem, const QString& text, int from) {
        const QString rest = f.mid(stem);
        QString pattern = QRegularExpression::escape(rest);
        pattern.replace(QStringLiteral("\\ "),
                        QStringLiteral("(?:\\r\\n|[ \\n\\r\\x{2028}\\x{2029}\\x{a0}])"));
        const QRegularExpression re(QStringLiteral("\\G") + pattern);
        const QRegularExpressionMatch m = re.match(text, from);
        if (!m.hasMatch())
            return -1;
        const int end = int(m.capturedEnd());
        if (end >= text.size() || !isLatin(text[end]) || !isLatin(f.back()))
            return end;
        int lastWordStart = int(f.size());
        while (lastWordStart > 0 && isLatin(f[lastWordStart - 1]))
            --lastWordStart;
        const int lastWord = int(f.size()) - lastWordStart;
        const int tail = runEnd(text, end) - end;
        if (rest.isEmpty() || tail > 4 || lastWord < 2 ||
            !isEnding(f.right(lastWord) + text.mid(end, tail), lastWord))
            return -1;
        return end + tail;
    }

    QStringList m_words;
};

// A sentence and the book words it holds, in the order they first stand in it.
struct Found {
    QString sentence;
    QStringList expected;
};

// Each sentence finds its words, in the glossary as in the plain scan of the small book.
void expectFound(const Glossary& g, std::initializer_list<Found> cases) {
    const PlainScan plain(SmallBook);
    for (const Found& c : cases) {
        SCOPED_TRACE(c.sentence.toStdString());
        EXPECT_EQ(wordsOf(g.distinctMatches(c.sentence)), c.expected);
        EXPECT_EQ(plain.distinct(c.sentence), c.expected);
    }
}

} // namespace

TEST(Glossary, EnglishSentencesFindWholeWordsInflectedFormsAndPhrases) {
    const Glossary g = glossaryOf(SmallBook);
    expectFound(g, {{QStringLiteral("We installed it."), {QStringLiteral("install")}},
                    {QStringLiteral("INSTALL, then walk!"),
                     {QStringLiteral("install"), QStringLiteral("walk")}},
                    {QStringLiteral("The walker walked (walks)."),
                     {QStringLiteral("the"), QStringLiteral("walker"), QStringLiteral("walk")}},
                    {QStringLiteral("Look up the word; look."),
                     {QStringLiteral("look up"), QStringLiteral("the"), QStringLiteral("look")}},
                    {QStringLiteral("He looked\nup in spite\x2028of rain."),
                     {QStringLiteral("look up"), QStringLiteral("in spite of")}},
                    {QStringLiteral("Look  up twice spaced: no phrase."), {QStringLiteral("look")}},
                    {QStringLiteral("Running in Paris, parisian, installation."),
                     {QStringLiteral("run"), QStringLiteral("Paris")}},
                    {QStringLiteral("Send e-mail, \"data\"-driven."),
                     {QStringLiteral("e-mail"), QStringLiteral("data")}},
                    {QStringLiteral("Theatre, bathe, thesis."), {}},
                    {QStringLiteral("ｉｎｓｔａｌｌ on ＰＡＲＩＳ"),
                     {QStringLiteral("install"), QStringLiteral("Paris")}}});
}

TEST(Glossary, IrregularFormsFindTheirBaseWordsButTheWordAsWrittenWins) {
    QTemporaryDir dir;
    const auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    // As WordNet writes them; a line of several words, a lone word and a non-ASCII line are left
    // out, and a list that is not there is no list.
    const QStringList files = {
        write("verb.exc", "ran run\nwent go\nleft leave\nbade_farewell bid_farewell\nlonely\n"),
        write("noun.exc", "mice mouse\r\nchildren child\n\xe9t\xe9 summer\n"),
        write("adj.exc", "better good well\n"),
        dir.filePath(QStringLiteral("adv.exc")),
    };
    const IrregularForms forms = IrregularForms::read(files);
    EXPECT_EQ(forms.basesOf(u"ran"), QStringList{QStringLiteral("run")});
    EXPECT_EQ(forms.basesOf(u"better"),
              QStringList({QStringLiteral("good"), QStringLiteral("well")}));
    EXPECT_EQ(forms.basesOf(u"mice"), QStringList{QStringLiteral("mouse")});
    EXPECT_TRUE(forms.basesOf(u"bade_farewell").isEmpty());
    EXPECT_TRUE(forms.basesOf(u"walked").isEmpty());

    Glossary g = glossaryOf(SmallBook + QStringList{"mouse", "well", "left", "child", "look up",
                                                    "city", "study", "happy"});
    g.setIrregularForms(std::make_shared<const IrregularForms>(forms));
    struct Case {
        QString sentence;
        QStringList expected;
    } cases[] = {
        {QStringLiteral("She ran; the MICE ran too."),
         {QStringLiteral("run"), QStringLiteral("the"), QStringLiteral("mouse")}},
        // Several bases: the one the book has.
        {QStringLiteral("Better late."), {QStringLiteral("well")}},
        // The word as written wins over its irregular reading.
        {QStringLiteral("Turn left."), {QStringLiteral("left")}},
        {QStringLiteral("Children went home."), {QStringLiteral("child")}},
        // A y turned to i before a regular ending needs no list.
        {QStringLiteral("Two cities; she studied; happier."),
         {QStringLiteral("city"), QStringLiteral("study"), QStringLiteral("happy")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sentence.toStdString());
        EXPECT_EQ(wordsOf(g.distinctMatches(c.sentence)), c.expected);
    }
    // Without the lists, nothing changes.
    g.setIrregularForms(nullptr);
    EXPECT_EQ(wordsOf(g.distinctMatches(QStringLiteral("She ran; the MICE ran too."))),
              QStringList{QStringLiteral("the")});
}

TEST(Glossary, JapaneseSentencesFindLongestSubstringsAndWidthVariants) {
    const Glossary g = glossaryOf(SmallBook);
    expectFound(g, {{QStringLiteral("翻訳者が翻訳した。"),
                     {QStringLiteral("翻訳者"), QStringLiteral("翻訳")}},
                    {QStringLiteral("訳者と作者。"), {QStringLiteral("者")}},
                    {QStringLiteral("ｶﾒﾗとｶﾞｽのﾃｽﾄ"),
                     {QStringLiteral("カメラ"), QStringLiteral("ガス"), QStringLiteral("テスト")}},
                    {QStringLiteral("白いＴシャツとTシャツ"), {QStringLiteral("Tシャツ")}},
                    {QStringLiteral("dataのテスト、ＤＡＴＡ"),
                     {QStringLiteral("data"), QStringLiteral("テスト")}},
                    {QStringLiteral("カスとカメ"), {}}});
}

TEST(Glossary, MatchesPointAtTheOriginalTextWhateverItsWidth) {
    const Glossary g = glossaryOf(SmallBook);
    const QString text = QStringLiteral("ｶﾞｽ and ＩＮＳＴＡＬＬＥＤ 翻訳者");
    const std::vector<GlossaryMatch> found = g.matches(text);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(text.mid(found[0].start, found[0].end - found[0].start), QStringLiteral("ｶﾞｽ"));
    EXPECT_EQ(text.mid(found[1].start, found[1].end - found[1].start),
              QStringLiteral("ＩＮＳＴＡＬＬＥＤ"));
    EXPECT_EQ(text.mid(found[2].start, found[2].end - found[2].start), QStringLiteral("翻訳者"));
    EXPECT_EQ(found[2].recordNo, 12);
}

TEST(Glossary, AgreesWithAPlainScanOnMixedText) {
    QStringList book = SmallBook;
    book << QStringLiteral("spite") << QStringLiteral("訳") << QStringLiteral("up")
         << QStringLiteral("ran") << QStringLiteral("Walking");
    const Glossary g = glossaryOf(book);
    const PlainScan plain(book);
    const QStringList sentences = {
        QStringLiteral("In spite of it, the walker was walking up to the ＴＨＥ."),
        QStringLiteral("翻訳者の訳は翻訳。Tシャツを ﾃｽﾄ した walkers installing."),
        QStringLiteral("look-up, look up, LOOK\r\nUP, looking\x2029up."),
        QStringLiteral("ran runs running rung e-mails emails."),
    };
    for (const QString& s : sentences) {
        SCOPED_TRACE(s.toStdString());
        EXPECT_EQ(wordsOf(g.distinctMatches(s)), plain.distinct(s));
    }
}

TEST(Glossary, EndingsAreCutOnlyWhereTheyAreEndingsInWordsAndInPhrasesLastWords) {
    const QStringList book = {
        "car",       "plan",      "the plan", "the result", "backward compatibility",
        "backwards", "the study", "vitamin c"};
    const Glossary g = glossaryOf(book);
    const PlainScan plain(book);
    struct Case {
        QString sentence;
        QStringList expected;
    } cases[] = {
        // A t is not the doubled n of plan, nor the doubled r of car.
        {QStringLiteral("They carted it, planted it, planned it."), {QStringLiteral("plan")}},
        {QStringLiteral("The planted seed, the planned one."), {QStringLiteral("the plan")}},
        {QStringLiteral("The results and the resultant."), {QStringLiteral("the result")}},
        // A phrase under a shortened first word is longer than the word as written.
        {QStringLiteral("Backwards compatibility; backwards."),
         {QStringLiteral("backward compatibility"), QStringLiteral("backwards")}},
        // One letter is no stem to cut an ending from.
        {QStringLiteral("Vitamin cs."), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sentence.toStdString());
        EXPECT_EQ(wordsOf(g.distinctMatches(c.sentence)), c.expected);
        EXPECT_EQ(plain.distinct(c.sentence), c.expected);
    }
    EXPECT_EQ(wordsOf(g.distinctMatches(QStringLiteral("The studies."))),
              QStringList{QStringLiteral("the study")});
    // The match covers the inflected word as the user sees it.
    const QString text = QStringLiteral("See THE RESULTS.");
    const std::vector<GlossaryMatch> found = g.matches(text);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(text.mid(found[0].start, found[0].end - found[0].start),
              QStringLiteral("THE RESULTS"));
}

TEST(Glossary, APhraseIsListedWithItsPartsBehindItEachWordOnce) {
    const QStringList book = {"for instance", "instance", "for",        "in spite of", "spite",
                              "look up",      "look",     "the result", "result",      "翻訳"};
    const Glossary g = glossaryOf(book);
    const QString text =
        QStringLiteral("For instance, he looked up the results in spite of it; instance 翻訳.");
    QStringList listed;
    for (const GlossaryMatch& m : g.distinctMatchesWithParts(text))
        listed << (m.part ? QStringLiteral("  ") : QString()) + text.mid(m.start, m.end - m.start) +
                      QStringLiteral("=") + m.word;
    EXPECT_EQ(listed, QStringList({"For instance=for instance", "  For=for", "  instance=instance",
                                   "looked up=look up", "  looked=look", "the results=the result",
                                   "  results=result", "in spite of=in spite of", "  spite=spite",
                                   "翻訳=翻訳"}));
    // The highlight marks only the longest.
    EXPECT_EQ(wordsOf(g.matches(text)), QStringList({"for instance", "look up", "the result",
                                                     "in spite of", "instance", "翻訳"}));
}

TEST(Glossary, FollowsRegistrationModificationAndDeletion) {
    Glossary g = glossaryOf(SmallBook);
    const QString sentence = QStringLiteral("The translator installed a camera.");
    EXPECT_EQ(wordsOf(g.distinctMatches(sentence)),
              (QStringList{QStringLiteral("the"), QStringLiteral("install")}));
    g.add(QStringLiteral("translator"), 40);
    g.add(QStringLiteral("Camera"), 41);
    EXPECT_EQ(wordsOf(g.distinctMatches(sentence)),
              (QStringList{QStringLiteral("the"), QStringLiteral("translator"),
                           QStringLiteral("install"), QStringLiteral("Camera")}));
    // A modification is the old spelling gone and the new one there.
    g.remove(QStringLiteral("install"));
    g.add(QStringLiteral("installed"), 1);
    g.remove(QStringLiteral("the"));
    g.remove(QStringLiteral("not a word"));
    EXPECT_EQ(wordsOf(g.distinctMatches(sentence)),
              (QStringList{QStringLiteral("translator"), QStringLiteral("installed"),
                           QStringLiteral("Camera")}));
    EXPECT_EQ(g.size(), SmallBook.size() + 2 - 1);
    g.remove(QStringLiteral("翻訳者"));
    EXPECT_EQ(wordsOf(g.distinctMatches(QStringLiteral("翻訳者"))),
              (QStringList{QStringLiteral("翻訳"), QStringLiteral("者")}));
}

TEST(Glossary, SentenceAroundStopsAtTerminatorsAndTheParagraphEnds) {
    const QString p = QStringLiteral("He came. She left?! 彼は来た。終わり");
    const auto text = [&](int position) {
        const SentenceSpan s = sentenceAround(p, position);
        return p.mid(s.start, s.end - s.start);
    };
    EXPECT_EQ(text(0), QStringLiteral("He came."));
    EXPECT_EQ(text(3), QStringLiteral("He came."));
    EXPECT_EQ(text(8), QStringLiteral(" She left?!"));
    EXPECT_EQ(text(12), QStringLiteral(" She left?!"));
    EXPECT_EQ(text(21), QStringLiteral(" 彼は来た。"));
    EXPECT_EQ(text(int(p.size())), QStringLiteral("終わり"));
    EXPECT_EQ(text(999), QStringLiteral("終わり"));
    EXPECT_EQ(sentenceAround(QString(), 0).end, 0);

    // Behind a paragraph's last sentence, trailing blanks or not, that sentence is meant.
    const auto in = [](const QString& paragraph, int position) {
        const SentenceSpan s = sentenceAround(paragraph, position);
        return paragraph.mid(s.start, s.end - s.start);
    };
    EXPECT_EQ(in(QStringLiteral("One. Two?!"), 10), QStringLiteral(" Two?!"));
    EXPECT_EQ(in(QStringLiteral("One. Two.  "), 9), QStringLiteral(" Two."));
    EXPECT_EQ(in(QStringLiteral("One. Two.  "), 11), QStringLiteral(" Two."));
    EXPECT_EQ(in(QStringLiteral("彼は来た。"), 5), QStringLiteral("彼は来た。"));
    // A heading without a terminator is a sentence wherever the caret is in it.
    EXPECT_EQ(in(QStringLiteral("Getting started"), 15), QStringLiteral("Getting started"));
    EXPECT_EQ(in(QStringLiteral("Getting started"), 0), QStringLiteral("Getting started"));
}

TEST(Glossary, AMeaningLineSplitsIntoTermsWithoutLabelsAndReadings) {
    EXPECT_EQ(
        meaningTerms(u"[名] なり行き（なりゆき）、ステップアップ、プログレス、運び（はこび）、…"),
        QStringList({"なり行き", "ステップアップ", "プログレス", "運び"}));
    // Every kind of separator; a label in the middle ends the term before it; a separator inside
    // brackets splits nothing; a term comes once.
    EXPECT_EQ(
        meaningTerms(u"【名】進歩，発達; 前進／向上 / 改良 [動] 進む（すすむ、ススム）；進歩"),
        QStringList({"進歩", "発達", "前進", "向上", "改良", "進む"}));
    EXPECT_EQ(meaningTerms(u"(米) elevator, lift ;　昇降機　"),
              QStringList({"elevator", "lift", "昇降機"}));
    EXPECT_EQ(meaningTerms(u"m:cherry"), QStringList{"m:cherry"});
    EXPECT_TRUE(meaningTerms(u"（笑）、…").isEmpty());
}
