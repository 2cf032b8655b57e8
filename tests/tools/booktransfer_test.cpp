// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/book.h"
#include "core/store/booktransfer.h"
#include "core/text/cp932.h"
#include "support/bookbuilder.h"
#include "support/failingdisk.h"
#include "support/tempappfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

void PrintTo(const QString& s, std::ostream* os) {
    *os << s.toStdString();
}
void PrintTo(const QStringList& l, std::ostream* os) {
    *os << l.join(u", ").toStdString();
}

namespace {

QString trimmedRight(QString s) {
    while (s.endsWith(u' '))
        s.chop(1);
    return s;
}

// The checking tool's verdict on a book folder, untouched: empty when it is sound.
std::string bookcheckProblems(const QString& folder) {
    QProcess check;
    check.start(QStringLiteral(BOOKCHECK_PATH), {folder});
    if (!check.waitForFinished())
        return "bookcheck did not finish";
    if (check.exitCode() == 0)
        return {};
    return check.readAllStandardError().toStdString() + "?";
}

struct Books {
    TempAppFolder app;
    QString folder(const QString& name) const {
        QDir(app.path()).mkpath(name);
        return app.file(name);
    }
    QByteArray bytes(const QString& book, const QString& name) const {
        return app.read(book + u'/' + name);
    }
};

// Twelve words w1..w12 with records 1..12.
QString buildTwelve(const Books& b) {
    const QString folder = b.folder("source");
    BookBuilder builder(folder);
    for (int i = 1; i <= 12; ++i)
        builder.add(QStringLiteral("w%1").arg(i), QStringLiteral("m%1").arg(i),
                    QStringLiteral("e%1").arg(i));
    builder.write();
    return folder;
}

IndexEntry entry(const QString& word, qint32 recordNo, bool checked = false) {
    return IndexEntry{word, recordNo, checked};
}

TEST(ExportOwnFormat, RenumbersFromOneAndReplacesTheTargetWhole) {
    Books b;
    const QString source = buildTwelve(b);
    const QString target = b.folder("target");
    BookBuilder old(target);
    for (int i = 0; i < 6; ++i)
        old.add(QStringLiteral("old%1").arg(i), "x", "y");
    old.write();

    booktransfer::exportOwnFormat(source, {entry("w5", 5), entry("w9", 9), entry("w12", 12)},
                                  target);
    EXPECT_EQ(b.bytes("target", "words.vtd"), "\"w5\",1\r\n\"w9\",2\r\n\"w12\",3\r\n");
    // Fresh files: nothing of the old book's records stays behind.
    EXPECT_EQ(b.bytes("target", "means.vtd").size(), 3 * 200);
    EXPECT_EQ(b.bytes("target", "reis.vtd").size(), 3 * 400);
    EXPECT_EQ(bookContents(target), QStringList({"w12|m12|e12", "w5|m5|e5", "w9|m9|e9"}));
    EXPECT_EQ(b.app.entries("target"),
              QStringList({"manifest.vtm", "means.vtd", "reis.vtd", "words.vtd"}));
    EXPECT_EQ(bookcheckProblems(target), "");

    // Checked entries at list positions 1 and 4 become records 1 and 2.
    const std::vector<IndexEntry> list{entry("w1", 1), entry("w2", 2, true), entry("w3", 3),
                                       entry("w4", 4), entry("w5", 5, true), entry("w6", 6)};
    booktransfer::exportOwnFormat(source, booktransfer::selection(list, true), target);
    EXPECT_EQ(b.bytes("target", "words.vtd"), "\"w2\",1\r\n\"w5\",2\r\n");
    EXPECT_EQ(bookContents(target), QStringList({"w2|m2|e2", "w5|m5|e5"}));
    EXPECT_EQ(booktransfer::selection(list, false).size(), 6u);

    // Nothing checked: the target becomes a book with no words.
    booktransfer::exportOwnFormat(source, booktransfer::selection({entry("w1", 1)}, true), target);
    EXPECT_EQ(bookContents(target), QStringList());
    EXPECT_FALSE(QFile::exists(target + "/words.vtd"));
    EXPECT_EQ(bookcheckProblems(target), "");
}

TEST(ExportCsv, WritesThreeQuotedFieldsWithTheSubstituteInBothEncodings) {
    Books b;
    const QString source = b.folder("source");
    BookBuilder(source)
        .add("apple", QStringLiteral("a\r\nb"), QStringLiteral("say \"hi\", then\rgo\nhome"))
        .add(QStringLiteral("ねこ"), QStringLiteral("猫\r\n"), "")
        .write();
    const std::vector<IndexEntry> words{entry("apple", 1), entry(QStringLiteral("ねこ"), 2)};
    const QString path = b.app.file("out.csv");

    booktransfer::exportCsv(source, words, path, " / ", CsvEncoding::Cp932);
    const QByteArray expected = "\"apple\",\"a / b\",\"say \"\"hi\"\", then / go / home\"\r\n" +
                                cp932::encode(QStringLiteral("\"ねこ\",\"猫 /\",\"\"\r\n"));
    EXPECT_EQ(b.app.read("out.csv"), expected);

    booktransfer::exportCsv(source, words, path, "", CsvEncoding::Utf8WithBom);
    EXPECT_EQ(b.app.read("out.csv"),
              QByteArray("\xEF\xBB\xBF") +
                  QStringLiteral("\"apple\",\"ab\",\"say \"\"hi\"\", thengohome\"\r\n"
                                 "\"ねこ\",\"猫\",\"\"\r\n")
                      .toUtf8());
    EXPECT_EQ(b.app.entries(), QStringList({"out.csv", "source"}));
}

TEST(ImportBook, ReplacesTheReceivingBookWithTheSendingOne) {
    Books b;
    const QString sending = b.folder("sending");
    const QString receiving = b.folder("receiving");
    BookBuilder(sending).add("dog", "inu", "a dog").add("ant", "ari", "an ant").write();
    BookBuilder(receiving).add("old", "furui", "x").write();

    booktransfer::importBook(sending, receiving);
    EXPECT_EQ(bookContents(receiving), QStringList({"ant|ari|an ant", "dog|inu|a dog"}));
    EXPECT_EQ(bookcheckProblems(receiving), "");
    EXPECT_EQ(b.app.entries("receiving"),
              QStringList({"manifest.vtm", "means.vtd", "reis.vtd", "words.vtd"}));

    // A sending book without examples gives blank examples, never a half-done import.
    QFile::remove(sending + "/reis.vtd");
    booktransfer::importBook(sending, receiving);
    EXPECT_EQ(bookContents(receiving), QStringList({"ant|ari|", "dog|inu|"}));
    EXPECT_FALSE(QFile::exists(sending + "/reis.vtd"));

    // A book folder without a words file is a book with no words; the receiving side may lack
    // one too.
    QFile::remove(sending + "/words.vtd");
    QFile::remove(receiving + "/words.vtd");
    booktransfer::importBook(sending, receiving);
    EXPECT_EQ(bookContents(receiving), QStringList());
    EXPECT_EQ(bookcheckProblems(receiving), "");
}

// Builds a book whose words file lists the words in the given order.
QString buildBook(const Books& b, const QString& name, const QStringList& words,
                  const QString& tag) {
    const QString folder = b.folder(name);
    BookBuilder builder(folder);
    for (const QString& w : words)
        builder.add(w, tag + w, tag + QStringLiteral("ex ") + w);
    builder.write();
    return folder;
}

struct MergeCase {
    BookMerge::Policy policy;
    QByteArray words;
    QStringList records; // meaning of records 1..n
};

TEST(MergeBooks, AppliesEachPolicyToAppleCatAndBirdCatDog) {
    const MergeCase cases[] = {
        {BookMerge::Policy::Both,
         "\"apple\",1\r\n\"bird\",2\r\n\"cat\",3\r\n\"cat\",4\r\n\"dog\",5\r\n",
         {"A:apple", "B:bird", "A:cat", "B:cat", "B:dog"}},
        {BookMerge::Policy::AOnly,
         "\"apple\",1\r\n\"bird\",2\r\n\"cat\",3\r\n\"dog\",4\r\n",
         {"A:apple", "B:bird", "A:cat", "B:dog"}},
        {BookMerge::Policy::BOnly,
         "\"apple\",1\r\n\"bird\",2\r\n\"cat\",3\r\n\"dog\",4\r\n",
         {"A:apple", "B:bird", "B:cat", "B:dog"}},
    };
    for (const MergeCase& c : cases) {
        Books b;
        const QString a = buildBook(b, "A", {"apple", "cat"}, "A:");
        const QString bb = buildBook(b, "B", {"bird", "cat", "dog"}, "B:");
        // The target held more records than the merge writes: it gets fresh files.
        const QString t = buildBook(b, "T", {"t1", "t2", "t3", "t4", "t5", "t6", "t7"}, "T:");
        BookMerge merge(a, bb, t, c.policy);
        EXPECT_TRUE(merge.run());
        EXPECT_EQ(merge.duplicates(), 1);
        EXPECT_EQ(b.bytes("T", "words.vtd"), c.words);
        const QByteArray means = b.bytes("T", "means.vtd");
        ASSERT_EQ(means.size(), c.records.size() * 200);
        for (int r = 0; r < c.records.size(); ++r)
            EXPECT_EQ(trimmedRight(cp932::decode(means.mid(r * 200, 200))), c.records[r]);
        EXPECT_EQ(bookcheckProblems(t), "");
    }
}

TEST(MergeBooks, SortsByCharacterCodeSoCaseDiffersAndNoDuplicateIsMissed) {
    Books b;
    // Kept in a case-blind order, as the main window writes them.
    const QString a = buildBook(b, "A", {"apple", "Cat", "zebra"}, "A:");
    const QString bb = buildBook(b, "B", {"Apple", "cat", "zebra"}, "B:");
    const QString t = b.folder("T");
    BookMerge merge(a, bb, t, BookMerge::Policy::AOnly);
    EXPECT_TRUE(merge.run());
    EXPECT_EQ(merge.duplicates(), 1);
    EXPECT_EQ(b.bytes("T", "words.vtd"), "\"Apple\",1\r\n\"Cat\",2\r\n\"apple\",3\r\n"
                                         "\"cat\",4\r\n\"zebra\",5\r\n");
    EXPECT_EQ(bookContents(t).last(), "zebra|A:zebra|A:ex zebra");

    // An empty book A gives a renumbered copy of B.
    Books e;
    const QString empty = e.folder("A");
    const QString b2 = buildBook(e, "B", {"x", "y"}, "B:");
    BookMerge copy(empty, b2, e.folder("T"), BookMerge::Policy::Both);
    EXPECT_TRUE(copy.run());
    EXPECT_EQ(copy.duplicates(), 0);
    EXPECT_EQ(e.bytes("T", "words.vtd"), "\"x\",1\r\n\"y\",2\r\n");
}

TEST(MergeBooks, WordsSharingTheirFirstLettersSortAsTheWholeWordsDo) {
    const QStringList wordsA = {"abcdz", "abcd", "ab", "abcde", "日本語", "日本", "zz", "abcdef"};
    const QStringList wordsB = {"abcde", "abcda", "a", "日本人", "abcdd", "zz"};
    Books b;
    const QString a = buildBook(b, "A", wordsA, "A:");
    const QString bb = buildBook(b, "B", wordsB, "B:");
    BookMerge merge(a, bb, b.folder("T"), BookMerge::Policy::AOnly);
    EXPECT_TRUE(merge.run());
    EXPECT_EQ(merge.duplicates(), 2);
    QStringList expected = wordsA + wordsB;
    std::sort(expected.begin(), expected.end());
    expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
    // The words file's order.
    QStringList merged;
    for (const QString& line :
         cp932::decode(b.bytes("T", "words.vtd")).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        merged << line.section(u'"', 1, 1);
    EXPECT_EQ(merged, expected);
    // Each word keeps its own records, from A where both had it.
    for (const QString& line : bookContents(b.folder("T"))) {
        const QStringList fields = line.split(u'|');
        EXPECT_EQ(fields[1], (wordsA.contains(fields[0]) ? "A:" : "B:") + fields[0]);
    }
}

TEST(MergeBooks, ALargeBookKeepsEveryWordWithItsOwnRecords) {
    // Record files of several megabytes, not a whole number of pages.
    QStringList many;
    for (int i = 0; i < 12007; ++i)
        many << QStringLiteral("w%1").arg(i, 5, 10, QLatin1Char('0'));
    Books b;
    const QString a = buildBook(b, "A", many, "A:");
    const QString bb = buildBook(b, "B", {"w00000", "w12006", "zebra"}, "B:");
    BookMerge merge(a, bb, b.folder("T"), BookMerge::Policy::BOnly);
    EXPECT_TRUE(merge.run());
    EXPECT_EQ(merge.written(), 12008);
    const QStringList contents = bookContents(b.folder("T"));
    ASSERT_EQ(contents.size(), 12008);
    EXPECT_EQ(contents.first(), "w00000|B:w00000|B:ex w00000");
    EXPECT_EQ(contents[6000], "w06000|A:w06000|A:ex w06000");
    EXPECT_EQ(contents[12006], "w12006|B:w12006|B:ex w12006");
    EXPECT_EQ(contents.last(), "zebra|B:zebra|B:ex zebra");
    EXPECT_EQ(bookcheckProblems(b.folder("T")), "");
}

TEST(MergeBooks, AskingPausesAtEachDuplicateAndWritesTheEditedEntry) {
    Books b;
    const QString a = buildBook(b, "A", {"apple", "cat"}, "A:");
    const QString bb = buildBook(b, "B", {"bird", "cat", "dog"}, "B:");
    const QString t = buildBook(b, "T", {"keep"}, "T:");
    const QByteArray before = b.bytes("T", "words.vtd");
    {
        BookMerge merge(a, bb, t, BookMerge::Policy::Ask);
        EXPECT_FALSE(merge.run());
        ASSERT_TRUE(merge.isPending());
        EXPECT_EQ(merge.pending().wordA, "cat");
        EXPECT_EQ(merge.pending().meaningA, "A:cat");
        EXPECT_EQ(merge.pending().exampleB, "B:ex cat");
        EXPECT_FALSE(merge.run()); // still waiting
        EXPECT_THROW(merge.take(BookMerge::Side::B, QStringLiteral("猫\U0001F431"), ""),
                     WordRefused);
        EXPECT_TRUE(merge.isPending());
        // Abandoned while waiting: the target stays as it was.
    }
    EXPECT_EQ(b.bytes("T", "words.vtd"), before);
    EXPECT_EQ(b.app.entries("T"), QStringList({"means.vtd", "reis.vtd", "words.vtd"}));

    BookMerge merge(a, bb, t, BookMerge::Policy::Ask);
    EXPECT_FALSE(merge.run());
    merge.take(BookMerge::Side::B, QStringLiteral("ねこ（編集）"), "edited");
    EXPECT_TRUE(merge.run());
    EXPECT_EQ(merge.duplicates(), 1);
    EXPECT_EQ(bookContents(t),
              QStringList({"apple|A:apple|A:ex apple", "bird|B:bird|B:ex bird",
                           QStringLiteral("cat|ねこ（編集）|edited"), "dog|B:dog|B:ex dog"}));
}

// Words whose bytes are not CP932 show U+FFFD in the program; every transfer must carry their
// bytes across unchanged rather than write something else in their place.
TEST(WordBytes, WordsThatAreNotCp932KeepTheirBytesThroughEveryTransfer) {
    const QByteArray raw = "caf\x82\xff";
    const QString shown = QStringLiteral("caf\uFFFD\uFFFD");
    Books b;
    const QString source = buildBook(b, "S", {"caf", "dog"}, "S:");
    b.app.write("S/words.vtd", "\"" + raw + "\",1\r\n\"dog\",2\r\n");
    const auto hasRaw = [&](const QString& book) {
        return b.bytes(book, "words.vtd").contains("\"" + raw + "\",");
    };

    booktransfer::importBook(source, b.folder("I"));
    EXPECT_TRUE(hasRaw("I")) << b.bytes("I", "words.vtd").toStdString();

    // The main window's list holds the word as shown.
    const std::vector<IndexEntry> list{entry("dog", 2), entry(shown, 1)};
    booktransfer::exportOwnFormat(source, list, b.folder("E"));
    EXPECT_EQ(b.bytes("E", "words.vtd"), "\"dog\",1\r\n\"" + raw + "\",2\r\n");
    EXPECT_TRUE(bookContents(b.folder("E")).contains(shown + "|S:caf|S:ex caf"));

    booktransfer::exportCsv(source, list, b.app.file("x.csv"), " / ", CsvEncoding::Cp932);
    EXPECT_TRUE(b.app.read("x.csv").contains("\"" + raw + "\",\"S:caf\""));

    // Into a book that already holds the word: its bytes stay as they were.
    b.app.write("in.csv", "\"new\",\"n\",\"\"\r\n");
    booktransfer::importCsv(b.app.file("in.csv"), b.folder("I"));
    EXPECT_TRUE(hasRaw("I"));
    EXPECT_EQ(bookContents(b.folder("I")).size(), 3);

    // A merge, also when the user takes the word at a duplicate.
    const QString other = buildBook(b, "O", {"caf", "cow"}, "O:");
    b.app.write("O/words.vtd", "\"" + raw + "\",1\r\n\"cow\",2\r\n");
    BookMerge both(source, b.folder("I"), b.folder("M"), BookMerge::Policy::AOnly);
    EXPECT_TRUE(both.run());
    EXPECT_TRUE(hasRaw("M"));
    BookMerge ask(source, other, b.folder("M"), BookMerge::Policy::Ask);
    EXPECT_FALSE(ask.run());
    EXPECT_EQ(ask.pending().wordB, shown);
    ask.take(BookMerge::Side::B, QStringLiteral("編集"), "");
    EXPECT_TRUE(ask.run());
    EXPECT_EQ(b.bytes("M", "words.vtd"), "\"" + raw + "\",1\r\n\"cow\",2\r\n\"dog\",3\r\n");
    EXPECT_TRUE(bookContents(b.folder("M")).contains(shown + QStringLiteral("|編集|")));
}

// The three writers, each on the same starting books, so a failure at any point can be
// compared with the book before and after.
enum class Writer { Export, Import, Merge, CsvImport };

struct Scenario {
    Books b;
    QString source;
    QString target;
    QString other;
    QString csv;
    QStringList before;
    QStringList after;

    Scenario() {
        source = buildBook(b, "S", {"alpha", "beta", "gamma"}, "S:");
        other = buildBook(b, "O", {"beta", "delta"}, "O:");
        target = buildBook(b, "T", {"old1", "old2"}, "T:");
        csv = b.app.file("in.csv");
        b.app.write("in.csv", "\"new\",\"nm\",\"ne\"\r\n\"old1\",\"dup\",\"\"\r\n");
        before = bookContents(target);
    }
    void run(Writer w, TransferHook hook = {}) {
        switch (w) {
        case Writer::Export:
            booktransfer::exportOwnFormat(source, {entry("gamma", 3), entry("alpha", 1)}, target,
                                          hook);
            break;
        case Writer::Import:
            booktransfer::importBook(source, target, hook);
            break;
        case Writer::Merge: {
            BookMerge merge(source, other, target, BookMerge::Policy::Both, hook);
            merge.run();
            break;
        }
        case Writer::CsvImport:
            booktransfer::importCsv(csv, target, hook);
            break;
        }
    }
};

class FailureWhileWriting : public ::testing::TestWithParam<Writer> {};

TEST_P(FailureWhileWriting, LeavesTheBookAsItWasOrFullyReplaced) {
    // The finished result first.
    QStringList after;
    {
        Scenario s;
        s.run(GetParam());
        after = bookContents(s.target);
        EXPECT_NE(after, s.before);
    }
    // A kill at each step: the next open sees the old book or the new one.
    for (CompactionStep step :
         {CompactionStep::MeaningsTempWritten, CompactionStep::ExamplesTempWritten,
          CompactionStep::WordsTempCommitted, CompactionStep::MeaningsReplaced,
          CompactionStep::ExamplesReplaced, CompactionStep::WordsReplaced,
          CompactionStep::TemporariesRemoved}) {
        Scenario s;
        struct Crash {};
        EXPECT_THROW(s.run(GetParam(),
                           [step](CompactionStep at) {
                               if (at == step)
                                   throw Crash{};
                           }),
                     Crash);
        const QStringList seen = bookContents(s.target);
        EXPECT_TRUE(seen == s.before || seen == after)
            << int(step) << ": " << seen.join(", ").toStdString();
        if (step >= CompactionStep::WordsTempCommitted)
            EXPECT_EQ(seen, after) << int(step);
        EXPECT_EQ(bookcheckProblems(s.target), "") << int(step);
    }
    // A disk that fills up after so many bytes, or fails to sync: the old book, untouched, with
    // no files left behind, and the failure raised.
    for (qint64 budget : {0, 100, 250, 700, 1150, 1205}) {
        Scenario s;
        const QStringList files = s.b.app.entries("T");
        {
            FailingDisk disk(budget);
            EXPECT_ANY_THROW(s.run(GetParam())) << budget;
        }
        EXPECT_EQ(bookContents(s.target), s.before) << budget;
        EXPECT_EQ(s.b.app.entries("T"), files) << budget;
        EXPECT_EQ(bookcheckProblems(s.target), "") << budget;
    }
    Scenario s;
    {
        FailingDisk disk(-1);
        disk.failSyncs();
        EXPECT_ANY_THROW(s.run(GetParam()));
    }
    EXPECT_EQ(bookContents(s.target), s.before);
    EXPECT_EQ(bookcheckProblems(s.target), "");
}

INSTANTIATE_TEST_SUITE_P(EveryWriter, FailureWhileWriting,
                         ::testing::Values(Writer::Export, Writer::Import, Writer::Merge,
                                           Writer::CsvImport));

// Each new file of an import is synced before the book is replaced: a disk that fails to sync
// any one of them, the meaning file alone included, fails the import and leaves the book as it
// was.
TEST(ImportBook, ASyncFailingOnOneNewFileLeavesTheBookAsItWas) {
    for (const QString& name :
         {bookfile::MeaningsTemp, bookfile::ExamplesTemp, bookfile::WordsTemp}) {
        SCOPED_TRACE(name.toStdString());
        Scenario s;
        const QStringList files = s.b.app.entries("T");
        const QByteArray means = s.b.bytes("T", bookfile::Meanings);
        {
            FailingDisk disk(-1);
            disk.failSyncsOf(name);
            EXPECT_ANY_THROW(s.run(Writer::Import));
        }
        EXPECT_EQ(s.b.bytes("T", bookfile::Meanings), means);
        EXPECT_EQ(s.b.app.entries("T"), files);
        EXPECT_EQ(bookcheckProblems(s.target), "");
        EXPECT_EQ(bookContents(s.target), s.before);
    }
}

TEST(ImportCsv, ReadsTheProgramsOwnExportBackInBothEncodings) {
    for (CsvEncoding encoding : {CsvEncoding::Cp932, CsvEncoding::Utf8WithBom}) {
        Books b;
        const QString source = b.folder("S");
        BookBuilder(source)
            .add("apple", QStringLiteral("りんご、林檎"), QStringLiteral("an \"apple\", a day"))
            .add(QStringLiteral("ねこ"), QStringLiteral("猫"), "")
            .write();
        booktransfer::exportCsv(source, {entry("apple", 1), entry(QStringLiteral("ねこ"), 2)},
                                b.app.file("x.csv"), " / ", encoding);
        const QString target = b.folder("T");
        const booktransfer::CsvImportReport report =
            booktransfer::importCsv(b.app.file("x.csv"), target);
        EXPECT_EQ(report.added, 2);
        EXPECT_EQ(report.duplicates, 0);
        EXPECT_EQ(report.refusedCount(), 0);
        EXPECT_EQ(bookContents(target), bookContents(source));
        EXPECT_EQ(bookcheckProblems(target), "");
    }
}

TEST(ImportCsv, KeepsQuotedTextCountsSkipsAndCutsLongRecords) {
    Books b;
    const QString target = buildBook(b, "T", {"Apple"}, "T:");
    const QString longMeaning = QString(150, QChar(0x3042)); // 300 bytes in CP932
    b.app.write("in.csv",
                cp932::encode(QStringLiteral("\"a,b\",\"say \"\"x\"\"\",\"line1\r\nline2\nline3\"\n"
                                             "apple,dup,\r\n"        // Apple is already there
                                             "\"q\"\"uote\",m,e\r\n" // refused: a double quote
                                             ",no word,\r\n"         // refused: empty
                                             "\r\n"                  // an empty line is no word
                                             "marker,###,\r\n"       // refused: the deletion mark
                                             "long,")) +
                    cp932::encode(longMeaning) + "\r\n" + "plain" /* no line end */);
    const booktransfer::CsvImportReport report =
        booktransfer::importCsv(b.app.file("in.csv"), target);
    EXPECT_EQ(report.added, 3);
    EXPECT_EQ(report.duplicates, 1);
    EXPECT_EQ(report.refusedCount(), 3);
    EXPECT_EQ(report.refused.size(), 3u);
    EXPECT_EQ(report.cut, 1);
    Book book(target);
    book.open();
    const IndexEntry& ab = book.index().at(book.index().find("a,b"));
    EXPECT_EQ(trimmedRight(book.meaning(ab.recordNo)), "say \"x\"");
    EXPECT_EQ(trimmedRight(book.example(ab.recordNo)), "line1\r\nline2\r\nline3");
    const IndexEntry& cut = book.index().at(book.index().find("long"));
    EXPECT_EQ(trimmedRight(book.meaning(cut.recordNo)), QString(100, QChar(0x3042)));
    EXPECT_GE(book.index().find("plain"), 0);
    EXPECT_EQ(book.index().size(), 4);
    book.close();

    // A UTF-8 file may hold the input method's WAVE DASH, which the store keeps in its CP932 form.
    b.app.write("wave.csv", QStringLiteral("wave,\u301C,\r\n").toUtf8());
    EXPECT_EQ(booktransfer::importCsv(b.app.file("wave.csv"), target).added, 1);
    book.open();
    const IndexEntry& wave = book.index().at(book.index().find("wave"));
    EXPECT_EQ(trimmedRight(book.meaning(wave.recordNo)), QStringLiteral("\uFF5E"));
}

TEST(ImportCsv, DetectsTheEncoding) {
    const QString text = QStringLiteral("\"語\",\"意味\",\"\"\r\n");
    EXPECT_EQ(booktransfer::decodeCsvFile(cp932::encode(text)), text);
    EXPECT_EQ(booktransfer::decodeCsvFile(text.toUtf8()), text);
    EXPECT_EQ(booktransfer::decodeCsvFile("\xEF\xBB\xBF" + text.toUtf8()), text);
}

} // namespace

namespace {

// Every row not taken as it stood is named with its line and word: refused rows with the reason,
// a word repeated in the file like a word the book has (the entry already there kept, said so),
// and a row with more fields than the import takes.
TEST(ImportCsv, NamesEachRowItDidNotTakeAsItStood) {
    Books b;
    const QString target = buildBook(b, "T", {"Apple"}, "T:");
    b.app.write("in.csv", cp932::encode(QStringLiteral("fox,きつね,\r\n"                    // 1
                                                       "apple,dup,\r\n"                     // 2
                                                       "\"two\r\nlines\",m,e\r\n"           // 3-4
                                                       "FOX,second fox,\r\n"                // 5
                                                       ",no word,\r\n"                      // 6
                                                       "\r\n"                               // 7
                                                       "owl,ふくろう,ex,extra,more\r\n"))); // 8
    const booktransfer::CsvImportReport report =
        booktransfer::importCsv(b.app.file("in.csv"), target);
    EXPECT_EQ(report.added, 2);
    EXPECT_EQ(report.duplicates, 1);
    EXPECT_EQ(report.repeatedInFile, 1);
    QStringList notes;
    for (const booktransfer::CsvRowNote& n : report.notes)
        notes << QStringLiteral("%1|%2|%3").arg(n.line).arg(n.word, n.note);
    ASSERT_EQ(notes.size(), 5) << notes.join(u'\n').toStdString();
    EXPECT_TRUE(notes[0].startsWith("2|apple|ﾌﾞｯｸにすでにある語")) << notes[0].toStdString();
    EXPECT_TRUE(notes[0].contains("ﾌﾞｯｸの語を残しました"));
    EXPECT_TRUE(notes[1].startsWith("3|two\r\nlines|単語に改行")) << notes[1].toStdString();
    EXPECT_EQ(notes[2], "5|FOX|1行目と同じ語のため取込みませんでした（1行目を残しました）");
    EXPECT_TRUE(notes[3].startsWith("6||単語が空です")) << notes[3].toStdString();
    EXPECT_TRUE(notes[4].startsWith("8|owl|項目が5個あります")) << notes[4].toStdString();
    EXPECT_TRUE(report.notesText().startsWith("2行目 apple: "));
    const QStringList words = bookContents(target);
    EXPECT_TRUE(words.contains(QStringLiteral("fox|きつね|")));
    EXPECT_TRUE(words.contains(QStringLiteral("owl|ふくろう|ex")));
    EXPECT_TRUE(words.contains(QStringLiteral("Apple|T:Apple|T:ex Apple")));
    EXPECT_EQ(words.size(), 3);
}

} // namespace
