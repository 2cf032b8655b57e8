// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/memory/fuzzymatch.h"
#include "core/memory/harvest.h"
#include "core/memory/memorystore.h"
#include "core/memory/tmx.h"
#include "support/tempappfolder.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>
#include <random>
#include <thread>

namespace {

// The word-level edit distance worked out here on its own, over words split at spaces, so the
// store's figures are checked against a second computation rather than against themselves.
int wordsApart(const QString& a, const QString& b) {
    const QStringList x = a.split(u' ', Qt::SkipEmptyParts);
    const QStringList y = b.split(u' ', Qt::SkipEmptyParts);
    std::vector<std::vector<int>> d(x.size() + 1, std::vector<int>(y.size() + 1));
    for (qsizetype i = 0; i <= x.size(); ++i)
        for (qsizetype j = 0; j <= y.size(); ++j)
            d[i][j] = i == 0   ? int(j)
                      : j == 0 ? int(i)
                               : std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                                           d[i - 1][j - 1] + (x[i - 1] == y[j - 1] ? 0 : 1)});
    return d[x.size()][y.size()];
}

int expectedPercent(const QString& sentence, const QString& candidate) {
    const int longer = int(std::max(sentence.split(u' ', Qt::SkipEmptyParts).size(),
                                    candidate.split(u' ', Qt::SkipEmptyParts).size()));
    return 100 * (longer - wordsApart(sentence, candidate)) / longer;
}

QString marked(const QString& text, const std::vector<fuzzymatch::Span>& spans) {
    QString out = text;
    for (auto it = spans.rbegin(); it != spans.rend(); ++it) {
        out.insert(it->start + it->length, u']');
        out.insert(it->start, u'[');
    }
    return out;
}

// Runs statements on a memory file through a connection of the test's own, to put a memory into
// the form an earlier version left it in, or to read what the store does not show. The first
// error, or empty; *value gets the first column of the last statement's first row.
std::string onFile(const QString& path, const QStringList& statements, QVariant* value = nullptr) {
    static int serial = 0;
    const QString name = QStringLiteral("memory-test-%1").arg(serial++);
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            error = db.lastError().text();
        QSqlQuery q(db);
        for (const QString& statement : statements) {
            if (!error.isEmpty())
                break;
            if (!q.exec(statement))
                error = q.lastError().text() + QStringLiteral(" in ") + statement;
            else if (value && q.next())
                *value = q.value(0);
        }
    }
    QSqlDatabase::removeDatabase(name);
    return error.toStdString();
}

// SQLite's own check that the full-text index holds every original of the pairs once.
std::string indexFault(const QString& path) {
    return onFile(
        path,
        {QStringLiteral("INSERT INTO pairs_fts(pairs_fts, rank) VALUES ('integrity-check', 1)")});
}

class MemoryTest : public ::testing::Test {
protected:
    TempAppFolder app;
    MemoryStore store{app.file(MemoryStore::FileName)};

    void SetUp() override { ASSERT_EQ(store.open(), MemoryStore::OpenState::Created); }

    void add(const QString& origin, const std::vector<std::pair<QString, QString>>& pairs) {
        std::vector<MemoryPair> p;
        for (const auto& [s, t] : pairs)
            p.push_back({s, t, {}});
        ASSERT_GE(store.add(origin, QStringLiteral("en"), QStringLiteral("ja"), p), 0)
            << store.errorString().toStdString();
    }

    std::vector<MemoryMatch> lookup(const QString& sentence, int threshold = 70) {
        return store.lookup(sentence, QStringLiteral("en"), QStringLiteral("ja"), threshold);
    }

    QStringList targets(const QString& origin = {}) const {
        QStringList out;
        store.forEach(origin, [&](const MemoryEntry& e) { out << e.target; });
        return out;
    }
};

} // namespace

TEST_F(MemoryTest, MatchesComeBestFirstWithThePercentageOfTheWordEditDistance) {
    const QString sentence = QStringLiteral("Press the green button to start the pump now");
    const QStringList earlier = {
        QStringLiteral("Press the green button to start the pump now"),     // exact
        QStringLiteral("Press the red button to start the pump now"),       // one word changed
        QStringLiteral("Press the green button to stop the pump"),          // changed and missing
        QStringLiteral("Press the button to start the big water pump now"), // out and in
        QStringLiteral("Turn the green knob to start a pump"),              // below 70 %
        QStringLiteral("Press green button start pump"),                    // too short for 70 %
    };
    std::vector<std::pair<QString, QString>> pairs;
    for (int i = 0; i < earlier.size(); ++i)
        pairs.push_back({earlier[i], QStringLiteral("訳%1").arg(i)});
    add(QStringLiteral("manual"), pairs);
    add(QStringLiteral("other"), {{QStringLiteral("Unrelated words entirely here"), u"x"_qs}});

    const std::vector<MemoryMatch> found = lookup(sentence);
    QStringList got;
    for (const MemoryMatch& m : found)
        got << QStringLiteral("%1 %2").arg(m.percent).arg(m.entry.target);
    QStringList want;
    std::vector<std::pair<int, QString>> expected;
    for (int i = 0; i < earlier.size(); ++i) {
        const int p = earlier[i] == sentence ? 100 : expectedPercent(sentence, earlier[i]);
        if (p >= 70)
            expected.emplace_back(p, QStringLiteral("訳%1").arg(i));
    }
    std::stable_sort(expected.begin(), expected.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& [p, t] : expected)
        want << QStringLiteral("%1 %2").arg(p).arg(t);
    EXPECT_EQ(got, want);
    ASSERT_EQ(want.size(), 4); // 100, 88, 77 (7 of 9 words) and 70 (7 of 10)
    EXPECT_EQ(found[0].entry.origin, QStringLiteral("manual"));
    EXPECT_TRUE(found[0].entry.changed.isValid());

    // The differences are marked in the earlier original; words next to each other make one mark.
    EXPECT_EQ(marked(found[1].entry.source, found[1].differences),
              QStringLiteral("Press the [red] button to start the pump now"));
    EXPECT_EQ(marked(earlier[3], fuzzymatch::score(sentence, earlier[3]).differences),
              QStringLiteral("Press the button to start the [big water] pump now"));
    // The same words with other spaces are close, never exact.
    EXPECT_EQ(fuzzymatch::score(sentence, sentence + u' ').percent, 99);

    // The threshold is inclusive, and 7 of 9 words is 77 %, listed at 77, not at 78.
    EXPECT_EQ(lookup(sentence, 71).size(), 3u);
    EXPECT_EQ(lookup(sentence, 77).size(), 3u);
    EXPECT_EQ(lookup(sentence, 78).size(), 2u);
    // At most five, and pairs of other languages are not offered.
    for (int k = 0; k < 8; ++k)
        add(QStringLiteral("p%1").arg(k), {{sentence, QStringLiteral("同じ")}});
    EXPECT_EQ(lookup(sentence).size(), 5u);
    EXPECT_TRUE(store.lookup(sentence, u"en"_qs, u"de"_qs, 70).empty());
}

TEST_F(MemoryTest, JapaneseOriginalsMatchCharacterByCharacter) {
    add(QStringLiteral("jp"),
        {{QStringLiteral("赤いボタンを押してください。"), u"Press the red button."_qs}});
    const std::vector<MemoryMatch> found =
        store.lookup(QStringLiteral("青いボタンを押してください。"), u"ja"_qs, u"ja"_qs, 70);
    EXPECT_TRUE(found.empty()); // wrong language pair
    const std::vector<MemoryMatch> jp = [&] {
        std::vector<MemoryPair> p{{QStringLiteral("赤いボタンを押してください。"), u"Red."_qs, {}}};
        store.add(QStringLiteral("jp2"), u"ja"_qs, u"en"_qs, p);
        return store.lookup(QStringLiteral("青いボタンを押してください。"), u"ja"_qs, u"en"_qs, 70);
    }();
    ASSERT_EQ(jp.size(), 1u);
    EXPECT_EQ(jp[0].percent, 92); // one of 14 characters
    EXPECT_EQ(marked(jp[0].entry.source, jp[0].differences),
              QStringLiteral("[赤]いボタンを押してください。"));
}

TEST_F(MemoryTest, AChangedPairReplacesItsEarlierVersionFromTheSameProjectOnly) {
    const QString s = QStringLiteral("Close the valve.");
    add(QStringLiteral("A"), {{s, QStringLiteral("弁を閉じる。")}});
    add(QStringLiteral("B"), {{s, QStringLiteral("バルブを閉めて。")}});
    std::vector<MemoryPair> again{{s, QStringLiteral("弁を閉じてください。"), {}}};
    EXPECT_EQ(store.add(u"A"_qs, u"en"_qs, u"ja"_qs, again), 1);
    EXPECT_EQ(store.add(u"A"_qs, u"en"_qs, u"ja"_qs, again), 0); // saved again unchanged
    EXPECT_EQ(targets(u"A"_qs), QStringList{QStringLiteral("弁を閉じてください。")});
    EXPECT_EQ(targets(u"B"_qs), QStringList{QStringLiteral("バルブを閉めて。")});
    EXPECT_EQ(store.count(), 2);
    EXPECT_EQ(store.remove(u"B"_qs), 1);
    EXPECT_EQ(store.count(), 1);
    ASSERT_EQ(lookup(s).size(), 1u);
    EXPECT_EQ(lookup(s)[0].entry.target, QStringLiteral("弁を閉じてください。"));
}

// A large import goes into the index a batch at a time: the pairs of every batch, the last short
// one too, are found, none is indexed twice, and a replaced translation leaves its original's
// entry as it was.
TEST_F(MemoryTest, EveryPairOfALargeAddIsIndexedOnceAndCancellingLeavesNoneOfIt) {
    const auto sentence = [](int i) {
        return QStringLiteral("Check valve %1 before you open the main supply line").arg(i);
    };
    add(QStringLiteral("plant"), {{sentence(7), QStringLiteral("旧訳")}});
    std::vector<MemoryPair> pairs;
    for (int i = 1; i <= 2500; ++i)
        pairs.push_back({sentence(i), QStringLiteral("訳%1").arg(i), {}});
    std::vector<int> reported;
    ASSERT_EQ(store.add(u"plant"_qs, u"en"_qs, u"ja"_qs, pairs,
                        [&](int done) {
                            reported.push_back(done);
                            return true;
                        }),
              2500);
    EXPECT_EQ(reported, (std::vector<int>{1000, 2000}));
    EXPECT_EQ(store.count(), 2500);
    EXPECT_EQ(indexFault(store.path()), "");
    for (int i : {7, 1000, 1001, 2500}) {
        const QString near = QString(sentence(i)).replace(u"line"_qs, u"pipe"_qs);
        const std::vector<MemoryMatch> m = lookup(near, 90);
        ASSERT_EQ(m.size(), 1u) << i;
        EXPECT_EQ(m[0].entry.target, QStringLiteral("訳%1").arg(i));
        EXPECT_EQ(m[0].percent, expectedPercent(near, sentence(i)));
    }

    // Cancelled part way: nothing of the change stays, in the pairs or in the index.
    for (MemoryPair& p : pairs)
        p.source += QStringLiteral(" again");
    EXPECT_EQ(
        store.add(u"plant"_qs, u"en"_qs, u"ja"_qs, pairs, [](int done) { return done < 2000; }),
        -1);
    EXPECT_TRUE(store.errorString().isEmpty());
    EXPECT_EQ(store.count(), 2500);
    EXPECT_EQ(indexFault(store.path()), "");
    EXPECT_TRUE(lookup(sentence(5) + QStringLiteral(" again"), 100).empty());
}

TEST(MemoryHarvest, PairsNumberedBlocksByNumberAndParagraphsByPositionAndRefusesTheRest) {
    const harvest::Numbering numbering;
    // Blocks pair by number, whatever their order; a block not translated yet gives nothing, and
    // the translation may follow its heading on the same line.
    const QString original = QStringLiteral("Title\n1 : \nFirst one. \n\n2 : \nSecond one.\n\n"
                                            "3 : \nThird one.\n");
    const QString translation =
        QStringLiteral("2 : \n二つ目。\n\n1 : 一つ目。\n\n3 : \n\n4 : \n余分。\n");
    harvest::Result r = harvest::pairs(original, translation, numbering);
    EXPECT_TRUE(r.refusal.isEmpty());
    QStringList got;
    for (const MemoryPair& p : r.pairs)
        got << p.source + u'=' + p.target;
    EXPECT_EQ(got, QStringList({"First one.=一つ目。", "Second one.=二つ目。"}));

    // Other heading texts, as the split's settings may have them.
    r = harvest::pairs(QStringLiteral("[1]\nA b.\n[2]\nC d."),
                       QStringLiteral("[2]\nシ。\n[1]\nア。"),
                       {QStringLiteral("["), QStringLiteral("]")});
    ASSERT_EQ(r.pairs.size(), 2u);
    EXPECT_EQ(r.pairs[1].source + r.pairs[1].target, QStringLiteral("C d.シ。"));

    // Paragraphs pair when there are as many on both sides, empty ones not counted.
    r = harvest::pairs(QStringLiteral("One.\n\nTwo\u2028lines.\n"),
                       QStringLiteral("一。\n二行。\n\n"), numbering);
    ASSERT_EQ(r.pairs.size(), 2u);
    EXPECT_EQ(r.pairs[1].source, QStringLiteral("Two\nlines."));
    EXPECT_EQ(r.pairs[1].target, QStringLiteral("二行。"));

    r = harvest::pairs(QStringLiteral("One.\nTwo.\nThree."), QStringLiteral("一。\n二。"),
                       numbering);
    EXPECT_TRUE(r.pairs.empty());
    EXPECT_EQ(r.refusal, QStringLiteral("原文（3 段落）と訳文（2 段落）の段落の数が合わないため、"
                                        "過去の訳に加えませんでした。"));
    r = harvest::pairs(QStringLiteral("1 : \nOne.\n2 : \nTwo."), QStringLiteral("一。\n二。"),
                       numbering);
    EXPECT_TRUE(r.pairs.empty());
    EXPECT_FALSE(r.refusal.isEmpty());
    r = harvest::pairs(QStringLiteral("1 : \nOne."), QStringLiteral("2 : \n二。"), numbering);
    EXPECT_TRUE(r.pairs.empty());
    EXPECT_FALSE(r.refusal.isEmpty());
}

TEST_F(MemoryTest, TmxWrittenIsReadBackAndOmegaTsTmxIsImported) {
    add(QStringLiteral("manual <1>"),
        {{QStringLiteral("Tom & Jerry \"run\"."), QStringLiteral("トムと<ジェリー>。")},
         {QStringLiteral("Line one\nline two."), QStringLiteral("一行目\n二行目。")}});
    std::vector<MemoryEntry> entries;
    store.forEach({}, [&](const MemoryEntry& e) { entries.push_back(e); });
    const QString path = app.file(QStringLiteral("out.tmx"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(tmx::write(entries, QStringLiteral("en")));
    }
    const tmx::Document back = tmx::read(path);
    ASSERT_TRUE(back.error.isEmpty()) << back.error.toStdString();
    EXPECT_EQ(back.sourceLanguage, QStringLiteral("en"));
    EXPECT_EQ(back.languages, QStringList({"en", "ja"}));
    const std::vector<MemoryPair> pairs = tmx::pairsOf(back, u"en"_qs, u"ja"_qs);
    ASSERT_EQ(pairs.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(pairs[i].source, entries[i].source);
        EXPECT_EQ(pairs[i].target, entries[i].target);
        EXPECT_EQ(pairs[i].changed, entries[i].changed);
    }

    // As OmegaT writes a project memory: its header, xml:lang in capitals and with regions, inline
    // tags around formatted words, a unit with one language only.
    const QString omegat = app.file(QStringLiteral("project_save.tmx"));
    app.write(QStringLiteral("project_save.tmx"),
              QByteArrayLiteral(R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE tmx SYSTEM "tmx11.dtd">
<tmx version="1.1">
  <header creationtool="OmegaT" o-tmf="OmegaT TMX" adminlang="EN-US" datatype="plaintext" creationtoolversion="3.6.0_10" segtype="sentence" srclang="EN-US"/>
  <body>
<!-- Default translations -->
    <tu>
      <tuv xml:lang="EN-US">
        <seg>Press <bpt i="1" x="1">&lt;b&gt;</bpt>Start<ept i="1">&lt;/b&gt;</ept> to begin.<ph x="2">&lt;br/&gt;</ph></seg>
      </tuv>
      <tuv xml:lang="JA" changeid="me" changedate="20240102T030405Z" creationid="me" creationdate="20240101T000000Z">
        <seg><hi x="3">開始</hi>を押して始めます。</seg>
      </tuv>
    </tu>
    <tu>
      <tuv xml:lang="EN-US"><seg>Only English.</seg></tuv>
    </tu>
  </body>
</tmx>
)"));
    const tmx::Document doc = tmx::read(omegat);
    ASSERT_TRUE(doc.error.isEmpty()) << doc.error.toStdString();
    EXPECT_EQ(doc.languages, QStringList({"EN-US", "JA"}));
    const std::vector<MemoryPair> imported = tmx::pairsOf(doc, u"EN-US"_qs, u"JA"_qs);
    ASSERT_EQ(imported.size(), 1u);
    EXPECT_EQ(imported[0].source, QStringLiteral("Press Start to begin."));
    EXPECT_EQ(imported[0].target, QStringLiteral("開始を押して始めます。"));
    ASSERT_EQ(store.add(u"project_save.tmx"_qs, u"EN-US"_qs, u"JA"_qs, imported), 1);
    const std::vector<MemoryMatch> m = lookup(QStringLiteral("Press Start to begin."));
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].percent, 100);
    EXPECT_EQ(m[0].entry.origin, QStringLiteral("project_save.tmx"));
}

TEST_F(MemoryTest, HostileTmxIsRefusedWithoutHarm) {
    add(QStringLiteral("kept"), {{u"Keep me."_qs, u"残す。"_qs}});
    const QByteArray head = "<?xml version=\"1.0\"?>\n";
    const QByteArray body = "<tmx version=\"1.4\"><header srclang=\"en\"/><body><tu>"
                            "<tuv xml:lang=\"en\"><seg>&x;</seg></tuv>"
                            "<tuv xml:lang=\"ja\"><seg>x</seg></tuv></tu></body></tmx>";
    QByteArray bomb = head + "<!DOCTYPE tmx [<!ENTITY a \"aaaaaaaaaa\">";
    for (char c = 'b'; c <= 'x'; ++c)
        bomb += QByteArray("<!ENTITY ") + c + " \"" +
                QByteArray(10, '&').replace("&", QByteArray("&") + char(c - 1) + ";") + "\">";
    bomb += "]>" + body;
    const QByteArray external =
        head + "<!DOCTYPE tmx [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>" + body;
    const QByteArray undeclared = head + body;
    for (const auto& [name, bytes] :
         {std::pair{"bomb.tmx", bomb}, std::pair{"external.tmx", external},
          std::pair{"undeclared.tmx", undeclared}}) {
        app.write(QString::fromLatin1(name), bytes);
        const tmx::Document d = tmx::read(app.file(QString::fromLatin1(name)));
        EXPECT_FALSE(d.error.isEmpty()) << name;
        EXPECT_TRUE(d.units.empty()) << name;
        EXPECT_FALSE(d.error.contains(u"root:")) << name; // nothing of the other file shows
    }
    // 200 MB is refused by its size, before a byte of it is parsed.
    {
        QFile big(app.file(QStringLiteral("big.tmx")));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        big.write("<tmx version=\"1.4\"><body>");
        ASSERT_TRUE(big.resize(200LL * 1024 * 1024));
    }
    const tmx::Document big = tmx::read(app.file(QStringLiteral("big.tmx")));
    EXPECT_TRUE(big.error.startsWith(QStringLiteral("TMXﾌｧｲﾙが大きすぎるため")));
    const tmx::Document notTmx = tmx::read(app.file(MemoryStore::FileName));
    EXPECT_FALSE(notTmx.error.isEmpty());
    EXPECT_EQ(targets(), QStringList{QStringLiteral("残す。")});
}

TEST(MemoryStoreFile, ADamagedMemoryIsSetAsideAndAnEmptyOneTakesItsPlace) {
    TempAppFolder app;
    const QString path = app.file(MemoryStore::FileName);
    {
        MemoryStore store(path);
        ASSERT_EQ(store.open(), MemoryStore::OpenState::Created);
        std::vector<MemoryPair> p{{u"A b c."_qs, u"エー。"_qs, {}}};
        ASSERT_EQ(store.add(u"x"_qs, u"en"_qs, u"ja"_qs, p), 1);
    }
    {
        MemoryStore store(path);
        ASSERT_EQ(store.open(), MemoryStore::OpenState::Opened);
        EXPECT_EQ(store.count(), 1);
    }
    QByteArray bytes = app.read(MemoryStore::FileName);
    const QByteArray original = bytes;
    bytes.replace(0, 16, "Not a database!!"); // the header SQLite checks
    app.write(MemoryStore::FileName, bytes);
    MemoryStore store(path);
    ASSERT_EQ(store.open(), MemoryStore::OpenState::SetAside);
    EXPECT_FALSE(store.errorString().isEmpty());
    EXPECT_EQ(store.count(), 0);
    QFile aside(store.setAsidePath());
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), bytes);
    EXPECT_TRUE(store.setAsidePath().startsWith(path + QStringLiteral(".damaged-")));
    std::vector<MemoryPair> p{{u"New."_qs, u"新。"_qs, {}}};
    EXPECT_EQ(store.add(u"x"_qs, u"en"_qs, u"ja"_qs, p), 1);
}

// The first version of the memory indexed each new original from a trigger. Such a memory opens
// with its pairs and index, loses the trigger, and what is added later is indexed once.
TEST(MemoryStoreFile, AMemoryOfTheFirstVersionOpensWithItsPairsAndTakesNewOnes) {
    TempAppFolder app;
    const QString path = app.file(MemoryStore::FileName);
    const QString old = QStringLiteral("Open the inlet valve slowly");
    {
        MemoryStore store(path);
        ASSERT_EQ(store.open(), MemoryStore::OpenState::Created);
        std::vector<MemoryPair> p{{old, u"入口弁をゆっくり開く。"_qs, {}}};
        ASSERT_EQ(store.add(u"plant"_qs, u"en"_qs, u"ja"_qs, p), 1);
    }
    ASSERT_EQ(onFile(path, {QStringLiteral("CREATE TRIGGER pairs_added AFTER INSERT ON pairs BEGIN"
                                           " INSERT INTO pairs_fts(rowid, source)"
                                           " VALUES (new.id, new.source); END"),
                            QStringLiteral("PRAGMA user_version = 1")}),
              "");

    for (int opening = 0; opening < 2; ++opening) {
        MemoryStore store(path);
        ASSERT_EQ(store.open(), MemoryStore::OpenState::Opened)
            << opening << store.errorString().toStdString();
        EXPECT_EQ(store.count(), 1);
        ASSERT_EQ(store.lookup(old, u"en"_qs, u"ja"_qs, 100).size(), 1u);
        const std::vector<MemoryMatch> near =
            store.lookup(u"Open the outlet valve slowly"_qs, u"en"_qs, u"ja"_qs, 70);
        ASSERT_EQ(near.size(), 1u);
        EXPECT_EQ(near[0].percent, 80);
    }
    QVariant version;
    QVariant triggers;
    EXPECT_EQ(onFile(path, {QStringLiteral("PRAGMA user_version")}, &version), "");
    EXPECT_EQ(onFile(path,
                     {QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'trigger'"
                                     " AND name = 'pairs_added'")},
                     &triggers),
              "");
    EXPECT_GT(version.toInt(), 1);
    EXPECT_EQ(triggers.toInt(), 0);

    MemoryStore store(path);
    ASSERT_EQ(store.open(), MemoryStore::OpenState::Opened);
    std::vector<MemoryPair> p{
        {u"Close the inlet valve quickly"_qs, u"入口弁を素早く閉じる。"_qs, {}}};
    ASSERT_EQ(store.add(u"plant"_qs, u"en"_qs, u"ja"_qs, p), 1);
    EXPECT_EQ(indexFault(path), "");
    EXPECT_EQ(store.lookup(u"Close the inlet valve slowly"_qs, u"en"_qs, u"ja"_qs, 70).size(), 2u);
}

TEST(MemoryCrash, AKillWhileHarvestingLeavesTheOldOrTheNewMemory) {
    TempAppFolder app;
    std::mt19937 random(std::random_device{}());
    QSet<QString> generationsSeen;
    for (int trial = 0; trial < 6; ++trial) {
        QProcess child;
        child.start(QStringLiteral(MEMORY_CHILD_PATH), {app.path()});
        ASSERT_TRUE(child.waitForReadyRead(30000)) << "trial " << trial;
        // Every other trial lets a second save in first and then strikes at a random moment; the
        // others strike at once, during the second save. However fast the machine, the kills then
        // meet the memory both right after its first save and after later ones.
        if (trial % 2 == 1) {
            child.readAll();
            ASSERT_TRUE(child.waitForReadyRead(60000)) << "trial " << trial;
            std::this_thread::sleep_for(std::chrono::milliseconds(10 + random() % 200));
        }
        const qint64 pid = child.processId();
        child.kill();
        child.waitForFinished();

        MemoryStore store(app.file(MemoryStore::FileName));
        ASSERT_EQ(store.open(), MemoryStore::OpenState::Opened)
            << store.errorString().toStdString();
        // Every translation from one and the same save, and the pairs each of this child's saves
        // up to it added.
        const QString mark = QStringLiteral(" by %1.").arg(pid);
        QSet<QString> generations;
        int added = 0;
        store.forEach({}, [&](const MemoryEntry& e) {
            if (e.source.startsWith(u"Sentence"))
                generations << e.target.section(u' ', 0, 0);
            added += e.source.endsWith(mark) ? 1 : 0;
        });
        ASSERT_EQ(generations.size(), 1) << "trial " << trial;
        const int saves = generations.begin()->mid(1).toInt() + 1; // "版0" is the first
        EXPECT_EQ(added, 300 * saves) << "trial " << trial;
        EXPECT_EQ(indexFault(store.path()), "") << "trial " << trial;
        generationsSeen += generations;
        ASSERT_EQ(
            store
                .lookup(QStringLiteral("Sentence number 7 of the manual."), u"en"_qs, u"ja"_qs, 100)
                .size(),
            1u);
    }
    // The child got past its first save at least once, so kills struck while pairs changed.
    EXPECT_GT(generationsSeen.size(), 1);
}
