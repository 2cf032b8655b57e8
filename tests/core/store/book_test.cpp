// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/failure.h"
#include "core/settings/textrecord.h"
#include "core/store/book.h"
#include "core/store/storedtext.h"
#include "core/text/cp932.h"
#include "support/bookbuilder.h"
#include "support/failingdisk.h"
#include "support/tempappfolder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

using storedtext::trimmedRight;

struct Fixture {
    TempAppFolder app;
    QString folder = app.file(QStringLiteral("book"));

    QByteArray bytes(const QString& name) const { return app.read(QStringLiteral("book/") + name); }
    qint64 size(const QString& name) const { return QFileInfo(folder + u'/' + name).size(); }
    QStringList files() const { return app.entries(QStringLiteral("book")); }
};

// Every word still shows its own meaning and example ("m:" and "e:" + the word).
void expectConsistent(const QString& folder, const QStringList& expectedWords) {
    Book book(folder);
    book.open();
    QStringList words;
    for (int p = 0; p < book.index().size(); ++p) {
        const IndexEntry& e = book.index().at(p);
        words << e.word;
        EXPECT_EQ(trimmedRight(book.meaning(e.recordNo)), "m:" + e.word);
        EXPECT_EQ(trimmedRight(book.example(e.recordNo)), "e:" + e.word);
    }
    words.sort();
    QStringList expected = expectedWords;
    expected.sort();
    EXPECT_EQ(words, expected);
    EXPECT_FALSE(QFile::exists(folder + "/TmpMFile.vtd"));
    EXPECT_FALSE(QFile::exists(folder + "/TmpRFile.vtd"));
    EXPECT_FALSE(QFile::exists(folder + "/TmpWFile.vtd"));
}

void buildFive(const QString& folder) {
    BookBuilder b(folder);
    for (const char* w : {"one", "two", "three", "four", "five"})
        b.add(w, QStringLiteral("m:") + w, QStringLiteral("e:") + w);
    b.write();
}

// The five-word book, open.
struct OpenFive : Fixture {
    Book book{(buildFive(folder), folder)};
    OpenFive() { book.open(); }
};

// The five-word book, open, with something in the way of its word file: it cannot be replaced.
struct BlockedFive : OpenFive {
    BlockedFive() {
        QFile::remove(folder + "/words.vtd");
        QDir().mkpath(folder + "/words.vtd/in-the-way");
    }
};

TEST(Book, OpensWhatIsThereAndCreatesWhatIsMissing) {
    Fixture f;
    EXPECT_THROW(Book(f.folder).open(), BookMissing);

    // A folder with only the meaning file: an empty book with an empty example file.
    QDir().mkpath(f.folder);
    f.app.write("book/means.vtd", {});
    Book onlyMeanings(f.folder);
    Book::OpenResult r = onlyMeanings.open();
    EXPECT_FALSE(r.wordFileFound);
    EXPECT_TRUE(onlyMeanings.index().isEmpty());
    EXPECT_EQ(f.size("reis.vtd"), 0);
    onlyMeanings.close();

    // A folder emptied by deleting every word opens as an empty book.
    QFile::remove(f.folder + "/means.vtd");
    QFile::remove(f.folder + "/reis.vtd");
    Book emptied(f.folder);
    EXPECT_FALSE(emptied.open().wordFileFound);
    emptied.close();

    // Three words without an example file get one blank example each.
    BookBuilder(f.folder).add("a", "x").add("b", "y").add("c", "z").write(/*withExamples=*/false);
    QFile::remove(f.folder + "/reis.vtd");
    Book three(f.folder);
    EXPECT_TRUE(three.open().exampleFileCreated);
    three.close();
    EXPECT_EQ(f.bytes("reis.vtd"), QByteArray(1200, ' '));
}

TEST(Book, RefusesWhatItCannotStoreWhole) {
    Fixture f;
    BookBuilder(f.folder).write();
    Book book(f.folder);
    book.open();
    const QString a = QStringLiteral("あ");
    // Exactly full records are stored whole.
    book.registerWord("full", a.repeated(100), a.repeated(200));
    EXPECT_EQ(book.meaning(1), a.repeated(100));
    EXPECT_EQ(book.example(1), a.repeated(200));
    // One byte more is refused with the reason, never cut.
    EXPECT_THROW(book.registerWord("over", a.repeated(101), {}), WordRefused);
    EXPECT_THROW(book.registerWord("odd", u'x' + a.repeated(100), {}), WordRefused);
    EXPECT_THROW(book.modifyWord(0, "full", "m", a.repeated(200) + u'x'), WordRefused);
    const QString tooLong = Book::refusalFor("over", {}, a.repeated(201));
    EXPECT_TRUE(tooLong.contains(QStringLiteral("用例"))) << tooLong.toStdString();
    EXPECT_TRUE(tooLong.contains(QStringLiteral("402"))) << tooLong.toStdString();
    EXPECT_TRUE(tooLong.contains(QStringLiteral("400"))) << tooLong.toStdString();
    // Trailing spaces are padding anyway.
    EXPECT_TRUE(Book::refusalFor("w", a.repeated(100) + "   ", {}).isEmpty());

    // The deletion marker alone is refused as meaning or example; text that only begins with it
    // is an ordinary meaning.
    EXPECT_THROW(book.registerWord("mark", "###", "e"), WordRefused);
    EXPECT_THROW(book.registerWord("mark", "m", "###  "), WordRefused);
    EXPECT_TRUE(Book::refusalFor("w", "###", {}).contains(QStringLiteral("###")));
    EXPECT_TRUE(Book::refusalFor("w", "### heading", "#### x").isEmpty());
    EXPECT_EQ(book.index().size(), 1);
    EXPECT_EQ(f.size("means.vtd"), 200);
    EXPECT_EQ(f.size("reis.vtd"), 400);
}

TEST(Book, WordsAreStoredWithoutTrailingSpaces) {
    OpenFive f;
    Book& book = f.book;
    const int p = book.registerWord("order  ", "m:order", "e:order");
    EXPECT_EQ(book.index().at(p).word, "order");
    const int q = book.modifyWord(book.index().find("two"), "zwei ", "m:zwei", "e:zwei");
    EXPECT_EQ(book.index().at(q).word, "zwei");
    EXPECT_THROW(book.registerWord("   ", "m", "e"), WordRefused);
    EXPECT_THROW(book.modifyWord(0, QStringLiteral("\u3000 "), "m", "e"), WordRefused);
    EXPECT_TRUE(cp932::decode(f.bytes("words.vtd")).contains(QStringLiteral("\"order\",")));
    EXPECT_TRUE(cp932::decode(f.bytes("words.vtd")).contains(QStringLiteral("\"zwei\",")));
    book.writeBack();
    expectConsistent(f.folder, {"one", "zwei", "three", "four", "five", "order"});
}

TEST(Book, RefusedWordsWriteNothing) {
    Fixture f;
    buildFive(f.folder);
    const QByteArray words = f.bytes("words.vtd");
    const QByteArray means = f.bytes("means.vtd");
    Book book(f.folder);
    book.open();
    EXPECT_THROW(book.registerWord("say \"hi\"", "m", "e"), WordRefused);
    EXPECT_THROW(book.registerWord("smile", QStringLiteral("笑顔😀"), "e"), WordRefused);
    EXPECT_THROW(book.registerWord("tab\there", "m", "e"), WordRefused);
    EXPECT_THROW(book.modifyWord(0, "x", "m", QStringLiteral("한국")), WordRefused);
    EXPECT_TRUE(
        Book::refusalFor("smile", QStringLiteral("笑顔😀"), {}).contains(QStringLiteral("😀")));
    EXPECT_TRUE(Book::refusalFor(QStringLiteral("〜"), QStringLiteral("−"), {}).isEmpty());
    EXPECT_EQ(book.index().size(), 5);
    EXPECT_EQ(f.bytes("words.vtd"), words);
    EXPECT_EQ(f.bytes("means.vtd"), means);
}

TEST(Book, DeletionThenRegistrationLeavesOtherRecordsAlone) {
    Fixture f;
    buildFive(f.folder);
    const QByteArray before = f.bytes("means.vtd");
    Book book(f.folder);
    book.open();
    book.index().setCheckMark(book.index().find("one"), true);
    book.deleteWord(book.index().find("three"));
    EXPECT_TRUE(book.deletionsPending());
    EXPECT_TRUE(book.index().at(book.index().find("one")).checkMark); // other marks survive
    EXPECT_EQ(trimmedRight(book.meaning(3)), "###");
    EXPECT_EQ(trimmedRight(book.example(3)), "###");
    const int p = book.registerWord("six", "m:six", "e:six");
    EXPECT_EQ(book.index().at(p).recordNo, 6);
    const QByteArray after = f.bytes("means.vtd");
    EXPECT_EQ(after.left(400), before.left(400));
    EXPECT_EQ(after.mid(600, 400), before.mid(600, 400));
    EXPECT_EQ(after.size(), 1200);
    // The word file is rewritten at once.
    TextRecordReader r(cp932::decode(f.bytes("words.vtd")));
    int lines = 0;
    while (!r.atEnd()) {
        EXPECT_NE(r.readString(), "three");
        r.readInt32();
        ++lines;
    }
    EXPECT_EQ(lines, 5);
}

TEST(Book, CompactionRenumbersWordsToTheirOwnRecords) {
    OpenFive f;
    Book& book = f.book;
    book.deleteWord(book.index().find("two"));
    book.deleteWord(book.index().find("four"));
    book.writeBack();
    EXPECT_EQ(f.size("means.vtd"), 600);
    EXPECT_EQ(f.size("reis.vtd"), 1200);
    EXPECT_EQ(f.files(), QStringList({"ChangeJournal.vtd", "manifest.vtm", "means.vtd", "reis.vtd",
                                      "words.vtd"}));
    EXPECT_EQ(cp932::decode(f.bytes("words.vtd")),
              QStringLiteral("\"one\",1\r\n\"three\",2\r\n\"five\",3\r\n"));
    expectConsistent(f.folder, {"one", "three", "five"});
}

TEST(Book, DeletingCheckedWords) {
    Fixture f;
    buildFive(f.folder);
    const QByteArray means = f.bytes("means.vtd");
    {
        // None checked: records untouched, same words, compaction still due.
        Book book(f.folder);
        book.open();
        EXPECT_EQ(book.deleteChecked(), 0);
        EXPECT_TRUE(book.deletionsPending());
        EXPECT_EQ(f.bytes("means.vtd"), means);
        EXPECT_EQ(book.index().size(), 5);
        book.writeBack();
        expectConsistent(f.folder, {"one", "two", "three", "four", "five"});
    }
    {
        Book book(f.folder);
        book.open();
        book.index().setCheckMark(book.index().find("two"), true);
        book.index().setCheckMark(book.index().find("five"), true);
        EXPECT_EQ(book.deleteChecked(), 2);
        EXPECT_EQ(book.index().checkedCount(), 0);
        book.writeBack();
        expectConsistent(f.folder, {"one", "three", "four"});
    }
    {
        // Every word checked: closing removes the book's files and it opens empty again.
        Book book(f.folder);
        book.open();
        for (int p = 0; p < book.index().size(); ++p)
            book.index().setCheckMark(p, true);
        book.deleteChecked();
        EXPECT_TRUE(book.index().isEmpty());
        book.writeBack();
        // The manifest stays, saying the book has no files, and the journal the deletions.
        EXPECT_EQ(f.files(), QStringList({"ChangeJournal.vtd", "manifest.vtm"}));
        expectConsistent(f.folder, {});
    }
}

TEST(Book, ModificationPutsTheNewTextInNewRecords) {
    OpenFive f;
    Book& book = f.book;
    const int p = book.modifyWord(book.index().find("two"), "zwei", "m:zwei", "e:zwei");
    EXPECT_EQ(book.index().at(p).word, "zwei");
    EXPECT_EQ(book.index().at(p).recordNo, 6);
    EXPECT_EQ(p, book.index().size() - 1);
    // The old records are marked for compaction; nothing else is due until a deletion.
    EXPECT_EQ(trimmedRight(book.meaning(2)), "###");
    EXPECT_EQ(trimmedRight(book.example(2)), "###");
    EXPECT_FALSE(book.deletionsPending());
    book.writeBack();
    EXPECT_EQ(f.size("means.vtd"), 1200);
    expectConsistent(f.folder, {"one", "zwei", "three", "four", "five"});
    // The next compaction reclaims them.
    Book again(f.folder);
    again.open();
    again.deleteWord(again.index().find("five"));
    again.writeBack();
    EXPECT_EQ(f.size("means.vtd"), 800);
    expectConsistent(f.folder, {"one", "zwei", "three", "four"});
}

TEST(Book, TheEditorsOrdinalOrderReachesTheWordFile) {
    Fixture f;
    BookBuilder(f.folder).add("banana", "m:banana").add("Cherry", "m:Cherry").add("apple").write();
    Book book(f.folder, WordIndex::Order::Ordinal);
    book.open();
    EXPECT_EQ(book.index().at(0).word, "Cherry");
    EXPECT_EQ(book.index().find("cherry"), -1);
    const int p = book.registerWord("Apple", "m:Apple", "");
    EXPECT_EQ(p, 0);
    EXPECT_EQ(book.index().at(p).recordNo, 4);
    EXPECT_EQ(cp932::decode(f.bytes("words.vtd")),
              QStringLiteral("\"Apple\",4\r\n\"Cherry\",2\r\n\"apple\",3\r\n\"banana\",1\r\n"));
    // A new spelling moves the word to its ordinal place at once.
    EXPECT_EQ(book.modifyWord(book.index().find("banana"), "Banana", "m:Banana", ""), 1);
    EXPECT_EQ(cp932::decode(f.bytes("words.vtd")).section(QStringLiteral("\r\n"), 1, 1),
              QStringLiteral("\"Banana\",5"));
}

TEST(Book, AShortLastRecordIsReadPaddedAndNeverOverwritten) {
    Fixture f;
    buildFive(f.folder);
    QByteArray means = f.bytes("means.vtd").left(4 * 200 + 7); // "m:five" and one space
    f.app.write("book/means.vtd", means);
    Book book(f.folder);
    book.open();
    EXPECT_EQ(book.meaningRecordCount(), 5);
    EXPECT_EQ(trimmedRight(book.meaning(5)), "m:five");
    const int p = book.registerWord("six", "m:six", "e:six");
    EXPECT_EQ(book.index().at(p).recordNo, 6);
    const QByteArray after = f.bytes("means.vtd");
    EXPECT_EQ(after.size(), 1200);
    EXPECT_EQ(after.left(807), means);
    EXPECT_EQ(after.mid(807, 193), QByteArray(193, ' '));
    book.close();
    expectConsistent(f.folder, {"one", "two", "three", "four", "five", "six"});
}

TEST(Book, AFailedWordFileRewriteLeavesTheIndexAsItWas) {
    BlockedFive f;
    Book& book = f.book;
    try {
        book.registerWord("six", "m:six", "e:six");
        FAIL() << "the registration should have failed";
    } catch (const RuntimeFailure&) {
    }
    EXPECT_EQ(book.index().size(), 5);
    EXPECT_EQ(book.index().find("six"), -1);
    // Once the way is clear the book carries on; the record no word file ever named is reused.
    QDir(f.folder + "/words.vtd").removeRecursively();
    const int p = book.registerWord("six", "m:six", "e:six");
    EXPECT_EQ(book.index().at(p).recordNo, 6);
    EXPECT_EQ(f.size("means.vtd"), 1200);
    book.writeBack();
    expectConsistent(f.folder, {"one", "two", "three", "four", "five", "six"});
}

TEST(Book, AFailedRewriteDuringDeleteOrModifyKeepsTheOldEntry) {
    BlockedFive f;
    Book& book = f.book;
    EXPECT_THROW(book.deleteWord(book.index().find("three")), RuntimeFailure);
    EXPECT_THROW(book.modifyWord(book.index().find("two"), "zwei", "m:zwei", "e:zwei"),
                 RuntimeFailure);
    EXPECT_FALSE(book.deletionsPending());
    // Neither word lost its records: the word file is the commit point of both.
    for (const char* w : {"two", "three"}) {
        const int p = book.index().find(w);
        ASSERT_GE(p, 0) << w;
        EXPECT_EQ(trimmedRight(book.meaning(book.index().at(p).recordNo)),
                  QStringLiteral("m:") + w);
        EXPECT_EQ(trimmedRight(book.example(book.index().at(p).recordNo)),
                  QStringLiteral("e:") + w);
    }
    EXPECT_EQ(trimmedRight(book.meaning(3)), "m:three");
    QDir(f.folder + "/words.vtd").removeRecursively();
    book.writeBack();
    expectConsistent(f.folder, {"one", "two", "three", "four", "five"});
}

// Rewrites the word file as the given lines, CR LF after each.
void writeWordLines(Fixture& f, const QByteArrayList& lines) {
    f.app.write("book/words.vtd", lines.join("\r\n") + "\r\n");
}

TEST(Book, ARecordSharedByTwoWordsStaysWhileEitherUsesIt) {
    Fixture f;
    buildFive(f.folder);
    // A damaged book: "deux" points at the record of "two".
    writeWordLines(
        f, {"\"one\",1", "\"two\",2", "\"deux\",2", "\"three\",3", "\"four\",4", "\"five\",5"});
    Book book(f.folder);
    book.open();
    book.deleteWord(book.index().find("two"));
    EXPECT_EQ(trimmedRight(book.meaning(2)), "m:two");
    book.writeBack();
    {
        Book reopened(f.folder);
        reopened.open();
        const int p = reopened.index().find("deux");
        ASSERT_GE(p, 0);
        EXPECT_EQ(trimmedRight(reopened.meaning(reopened.index().at(p).recordNo)), "m:two");
        EXPECT_EQ(trimmedRight(reopened.example(reopened.index().at(p).recordNo)), "e:two");
    }
    // Two words still sharing after compaction keep one copy of the record between them.
    // A word file edited by hand, in a book from before manifests.
    QFile::remove(f.folder + "/manifest.vtm");
    writeWordLines(f, {"\"one\",1", "\"uno\",1", "\"deux\",2", "\"three\",3"});
    Book shared(f.folder);
    shared.open();
    shared.modifyWord(shared.index().find("uno"), "uno", "m:uno", "e:uno");
    EXPECT_EQ(trimmedRight(shared.meaning(1)), "m:one");
    shared.deleteWord(shared.index().find("three"));
    shared.writeBack();
    Book last(f.folder);
    last.open();
    EXPECT_EQ(last.meaningRecordCount(), 3);
    EXPECT_EQ(trimmedRight(last.meaning(last.index().at(last.index().find("one")).recordNo)),
              "m:one");
    EXPECT_EQ(trimmedRight(last.meaning(last.index().at(last.index().find("uno")).recordNo)),
              "m:uno");
}

TEST(Book, NewRecordsGoPastEveryRecordInUse) {
    Fixture f;
    buildFive(f.folder);
    // The meaning file lost its last two records; a word points past both files.
    f.app.write("book/means.vtd", f.bytes("means.vtd").left(600));
    writeWordLines(
        f, {"\"one\",1", "\"two\",2", "\"three\",3", "\"four\",4", "\"five\",5", "\"ghost\",7"});
    const QByteArray examples = f.bytes("reis.vtd");
    Book book(f.folder);
    book.open();
    EXPECT_EQ(book.index().at(book.registerWord("six", "m:six", "e:six")).recordNo, 6);
    EXPECT_EQ(book.index().at(book.registerWord("eight", "m:eight", "e:eight")).recordNo, 8);
    EXPECT_EQ(f.bytes("reis.vtd").left(2000), examples);
    EXPECT_EQ(trimmedRight(book.meaning(7)), QString());
    // Compaction takes each file on its own: the examples of four and five survive.
    book.deleteWord(book.index().find("one"));
    book.writeBack();
    Book after(f.folder);
    after.open();
    for (const char* w : {"four", "five"}) {
        const int p = after.index().find(w);
        ASSERT_GE(p, 0) << w;
        EXPECT_EQ(trimmedRight(after.meaning(after.index().at(p).recordNo)), QString());
        EXPECT_EQ(trimmedRight(after.example(after.index().at(p).recordNo)),
                  QStringLiteral("e:") + w);
    }
    EXPECT_EQ(trimmedRight(after.meaning(after.index().at(after.index().find("eight")).recordNo)),
              "m:eight");
    EXPECT_EQ(after.index().size(), 7);
}

TEST(Book, RecordNumbersOutsideTheFilesReadBlankAndNeverGrowTheFiles) {
    Fixture f;
    buildFive(f.folder);
    writeWordLines(f, {"\"one\",1", "\"two\",2", "\"zero\",0", "\"minus\",-3", "\"huge\",10000000",
                       "\"vast\",99999999999"});
    Book book(f.folder);
    book.open();
    EXPECT_EQ(book.index().size(), 6);
    for (const char* w : {"zero", "minus", "huge", "vast"}) {
        const IndexEntry& e = book.index().at(book.index().find(w));
        EXPECT_EQ(trimmedRight(book.meaning(e.recordNo)), QString()) << w;
        EXPECT_EQ(trimmedRight(book.example(e.recordNo)), QString()) << w;
    }
    const int p = book.modifyWord(book.index().find("huge"), "huge", "m:huge", "e:huge");
    EXPECT_EQ(book.index().at(p).recordNo, 6);
    book.deleteWord(book.index().find("zero"));
    book.deleteWord(book.index().find("minus"));
    EXPECT_EQ(book.index().at(book.registerWord("six", "m:six", "e:six")).recordNo, 7);
    EXPECT_EQ(f.size("means.vtd"), 1400);
    EXPECT_EQ(f.size("reis.vtd"), 2800);
    book.writeBack();
    EXPECT_LE(f.size("means.vtd"), 1000);
    Book after(f.folder);
    after.open();
    EXPECT_EQ(trimmedRight(after.meaning(after.index().at(after.index().find("huge")).recordNo)),
              "m:huge");
    EXPECT_EQ(trimmedRight(after.meaning(after.index().at(after.index().find("vast")).recordNo)),
              QString());
}

TEST(Book, WordLinesAreReadOneByOneAndKeptAsWritten) {
    Fixture f;
    buildFive(f.folder);
    // A word whose bytes are not CP932, a missing closing quote, a number on a line of its own.
    const QByteArray damaged = "\"caf\x82\xff\",4";
    writeWordLines(f, {"\"one\",1", "\"two,2", "\"three\",3", damaged, "\"five\"", "5"});
    Book book(f.folder);
    book.open();
    QStringList words;
    for (int p = 0; p < book.index().size(); ++p)
        words << book.index().at(p).word + u'=' + QString::number(book.index().at(p).recordNo);
    EXPECT_EQ(words, QStringList({QStringLiteral("caf\uFFFD\uFFFD=4"), "five=5", "one=1", "three=3",
                                  "two=2"}));
    // Rewritten twice (a registration, then a compaction): the damaged bytes stay as they were.
    book.registerWord("six", "m:six", "e:six");
    EXPECT_TRUE(f.bytes("words.vtd").contains(damaged + "\r\n"));
    book.deleteWord(book.index().find("one"));
    book.writeBack();
    EXPECT_TRUE(f.bytes("words.vtd").contains("\"caf\x82\xff\",3\r\n"));
    Book after(f.folder);
    after.open();
    const int p = after.index().find(QStringLiteral("caf\uFFFD\uFFFD"));
    ASSERT_GE(p, 0);
    EXPECT_EQ(trimmedRight(after.meaning(after.index().at(p).recordNo)), "m:four");
    // A new meaning for it keeps its spelling's bytes too.
    after.modifyWord(p, after.index().at(p).word, "m:cafe", "e:cafe");
    EXPECT_TRUE(f.bytes("words.vtd").contains("\"caf\x82\xff\","));
}

TEST(Book, ABookWithWordsButNoMeaningFileIsBrokenAndLeftAlone) {
    Fixture f;
    buildFive(f.folder);
    QFile::remove(f.folder + "/means.vtd");
    const QStringList files = f.files();
    try {
        Book(f.folder).open();
        FAIL() << "the book opened";
    } catch (const BookBroken& broken) {
        EXPECT_TRUE(broken.reason().contains("means.vtd"));
    }
    EXPECT_THROW(Book(f.folder).open(), BookMissing); // callers that know only the folder check
    QFile::remove(f.folder + "/reis.vtd");
    EXPECT_THROW(Book(f.folder).open(), BookBroken);
    EXPECT_EQ(f.files(), QStringList({"words.vtd"}));
    Book readOnly(f.folder);
    readOnly.open(true);
    EXPECT_TRUE(readOnly.problems().join(u'\n').contains("means.vtd"));
}

TEST(Book, StrayTemporaryFilesAreSetAsideNeverUsed) {
    Fixture f;
    buildFive(f.folder);
    // A word file on its own, then a set whose word file points past its record files.
    f.app.write("book/TmpWFile.vtd", "\"lonely\",1\r\n");
    Book book(f.folder);
    Book::OpenResult r = book.open();
    EXPECT_EQ(book.index().size(), 5);
    ASSERT_EQ(r.setAside.size(), 1);
    EXPECT_TRUE(r.setAside[0].startsWith("Stray-")) << r.setAside[0].toStdString();
    EXPECT_EQ(f.bytes(r.setAside[0]), "\"lonely\",1\r\n");
    book.close();
    QFile::remove(f.folder + u'/' + r.setAside[0]);

    f.app.write("book/TmpMFile.vtd", QByteArray(200, 'm'));
    f.app.write("book/TmpRFile.vtd", QByteArray(400, 'r'));
    f.app.write("book/TmpWFile.vtd", "\"a\",1\r\n\"b\",2\r\n");
    EXPECT_EQ(book.open().setAside.size(), 3);
    book.close();
    expectConsistent(f.folder, {"one", "two", "three", "four", "five"});

    // What a compaction writes is finished.
    for (const QString& name : f.files())
        if (name.startsWith("Stray-"))
            QFile::remove(f.folder + u'/' + name);
    f.app.write("book/TmpMFile.vtd",
                cp932::encodeField("m:a", 200) + cp932::encodeField("m:b", 200));
    f.app.write("book/TmpRFile.vtd",
                cp932::encodeField("e:a", 400) + cp932::encodeField("e:b", 400));
    f.app.write("book/TmpWFile.vtd", "\"a\",1\r\n\"b\",2\r\n");
    EXPECT_TRUE(book.open().recoveredCompaction);
    book.close();
    expectConsistent(f.folder, {"a", "b"});
}

TEST(Book, CompactionPastOneBatchKeepsEveryWordWithItsRecords) {
    Fixture f;
    BookBuilder b(f.folder);
    QStringList words;
    for (int i = 1; i <= 9000; ++i) {
        const QString w = QStringLiteral("w%1").arg(i, 4, 10, QLatin1Char('0'));
        words << w;
        b.add(w, "m:" + w, "e:" + w);
    }
    b.write();
    Book book(f.folder);
    book.open();
    // Deletions in each batch and on the batch edges (records 4096, 4097, 8192, 8193).
    for (const int i : {1, 2000, 4096, 4097, 6000, 8192, 8193, 9000}) {
        const QString w = QStringLiteral("w%1").arg(i, 4, 10, QLatin1Char('0'));
        book.deleteWord(book.index().find(w));
        words.removeOne(w);
    }
    book.registerWord("late", "m:late", "e:late");
    words << "late";
    book.writeBack();
    EXPECT_EQ(f.size("means.vtd"), qint64(words.size()) * 200);
    expectConsistent(f.folder, words);
}

TEST(Book, WriteBackWithOneWordLeftKeepsIt) {
    Fixture f;
    BookBuilder(f.folder)
        .add("a", "m:a", "e:a")
        .add("b", "m:b", "e:b")
        .add("c", "m:c", "e:c")
        .write();
    Book book(f.folder);
    book.open();
    book.deleteWord(book.index().find("a"));
    book.deleteWord(book.index().find("c"));
    book.writeBack();
    EXPECT_EQ(f.files(), QStringList({"ChangeJournal.vtd", "manifest.vtm", "means.vtd", "reis.vtd",
                                      "words.vtd"}));
    EXPECT_EQ(cp932::decode(f.bytes("words.vtd")), QStringLiteral("\"b\",1\r\n"));
    expectConsistent(f.folder, {"b"});
}

TEST(Book, AMeaningThatOnlyBeginsWithTheMarkerSurvivesCompaction) {
    OpenFive f;
    Book& book = f.book;
    book.registerWord("head", "### heading", "###example");
    book.deleteWord(book.index().find("one"));
    book.writeBack();
    Book after(f.folder);
    after.open();
    const int p = after.index().find("head");
    ASSERT_GE(p, 0);
    EXPECT_EQ(trimmedRight(after.meaning(after.index().at(p).recordNo)), "### heading");
    EXPECT_EQ(trimmedRight(after.example(after.index().at(p).recordNo)), "###example");
    EXPECT_EQ(after.index().size(), 5);
}

class CrashDuringCompaction : public ::testing::TestWithParam<CompactionStep> {};

TEST_P(CrashDuringCompaction, LeavesABookThatOpensWholeBeforeOrAfter) {
    Fixture f;
    buildFive(f.folder);
    struct Crash {};
    {
        Book book(f.folder);
        book.open();
        book.deleteWord(book.index().find("two"));
        book.deleteWord(book.index().find("four"));
        book.setCompactionHook([](CompactionStep s) {
            if (s == GetParam())
                throw Crash{};
        });
        EXPECT_THROW(book.writeBack(), Crash);
    }
    // Whatever the step, the next open sees a consistent book with the surviving words.
    expectConsistent(f.folder, {"one", "three", "five"});
    // And the next write-back leaves it compact.
    Book book(f.folder);
    book.open();
    book.deleteWord(book.index().find("one"));
    book.writeBack();
    expectConsistent(f.folder, {"three", "five"});
    EXPECT_EQ(f.size("means.vtd"), 400);
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, CrashDuringCompaction,
    ::testing::Values(CompactionStep::MeaningsTempWritten, CompactionStep::ExamplesTempWritten,
                      CompactionStep::WordsTempCommitted, CompactionStep::MeaningsReplaced,
                      CompactionStep::ExamplesReplaced, CompactionStep::WordsReplaced,
                      CompactionStep::TemporariesRemoved));

TEST(Book, LeftoversOfAKilledRunNeverReachTheBook) {
    Fixture f;
    buildFive(f.folder);
    // A half-written temporary record file and a half-written word file rewrite.
    f.app.write("book/TmpMFile.vtd", QByteArray(150, 'x'));
    f.app.write("book/words.vtd.Ab12Cd", QByteArray("\"garbage\",9"));
    f.app.write("book/words.vtd.verbanta-Xy34Zw.tmp", QByteArray("\"garbage\",9"));
    expectConsistent(f.folder, {"one", "two", "three", "four", "five"});
    EXPECT_EQ(f.files(), QStringList({"means.vtd", "reis.vtd", "words.vtd"}));
}

TEST(BookCheck, ListsTheWordsAndReportsProblemsWithoutWriting) {
    Fixture f;
    BookBuilder(f.folder)
        .add("apple", QStringLiteral("りんご\r\n林檎"), "an apple")
        .add("Bee", "はち")
        .write();
    QProcess check;
    check.start(QStringLiteral(BOOKCHECK_PATH), {f.folder});
    ASSERT_TRUE(check.waitForFinished());
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(check.readAllStandardOutput()),
              QStringLiteral("apple\t1\tりんご\\n林檎\tan apple\nBee\t2\tはち\t\n"));

    // A word past the last record, a damaged record, a leftover and a short record.
    QByteArray words = f.bytes("words.vtd") + "\"ghost\",9\r\n";
    f.app.write("book/words.vtd", words);
    QByteArray means = f.bytes("means.vtd");
    means[200] = char(0x82);
    means[201] = ' ';
    f.app.write("book/means.vtd", means + "tail");
    f.app.write("book/TmpMFile.vtd", "x");
    const QStringList before = f.files();
    check.start(QStringLiteral(BOOKCHECK_PATH), {f.folder});
    ASSERT_TRUE(check.waitForFinished());
    EXPECT_NE(check.exitCode(), 0);
    const QString problems = QString::fromUtf8(check.readAllStandardError());
    EXPECT_TRUE(problems.contains("ghost")) << problems.toStdString();
    EXPECT_TRUE(problems.contains("Bee")) << problems.toStdString();
    EXPECT_TRUE(problems.contains("TmpMFile.vtd")) << problems.toStdString();
    EXPECT_TRUE(problems.contains("means.vtd")) << problems.toStdString();
    EXPECT_EQ(f.files(), before);
    EXPECT_EQ(f.bytes("words.vtd"), words);

    // Words that are not CP932, a merged line, shared and out-of-range numbers, a word pointing
    // at a deleted record.
    buildFive(f.folder);
    QFile::remove(f.folder + "/TmpMFile.vtd");
    QByteArray means5 = f.bytes("means.vtd");
    means5.replace(400, 200, cp932::encodeField("###", 200));
    f.app.write("book/means.vtd", means5);
    writeWordLines(f, {"\"one\",1", "\"uno\",1", "\"two,2",
                       "\"b\x82\xff"
                       "d\",4",
                       "\"three\",3", "\"five\",-1"});
    check.start(QStringLiteral(BOOKCHECK_PATH), {f.folder});
    ASSERT_TRUE(check.waitForFinished());
    EXPECT_EQ(check.exitCode(), 1);
    const QString more = QString::fromUtf8(check.readAllStandardError());
    for (const QString& expected :
         {QStringLiteral("CP932"), QStringLiteral("one, uno"), QStringLiteral("two: 閉じる引用符"),
          QStringLiteral("five: レコード番号 -1"), QStringLiteral("three: レコード 3 は削除済み")})
        EXPECT_TRUE(more.contains(expected)) << expected.toStdString() << "\n"
                                             << more.toStdString();
}

// The work file an interrupted rewrite leaves, of today's kind or of the older one, is named
// and makes the check fail.
TEST(BookCheck, NamesTheLeftoverOfAnInterruptedRewriteOfEitherKind) {
    Fixture f;
    buildFive(f.folder);
    QProcess check;
    for (const char* leftover : {"words.vtd.verbanta-Ab12Cd.tmp", "words.vtd.Ab12Cd"}) {
        f.app.write(QStringLiteral("book/") + leftover, "\"half");
        check.start(QStringLiteral(BOOKCHECK_PATH), {f.folder});
        ASSERT_TRUE(check.waitForFinished());
        EXPECT_EQ(check.exitCode(), 1) << leftover;
        EXPECT_EQ(QString::fromUtf8(check.readAllStandardError()),
                  QStringLiteral("中断された処理の一時ファイル %1 が残っています\n").arg(leftover));
        QFile::remove(f.folder + u'/' + leftover);
    }
}

} // namespace

namespace {

QStringList told(const std::vector<Book::WordChange>& changes) {
    QStringList out;
    for (const Book::WordChange& c : changes)
        out << c.removed + u'>' + c.added;
    return out;
}

} // namespace

TEST(Book, TellsItsListenerOfEachWordChangeOnceTheWordFileHoldsIt) {
    Fixture f;
    buildFive(f.folder);
    Book book(f.folder, WordIndex::Order::Ordinal);
    book.open();
    std::vector<Book::WordChange> changes;
    book.addWordChangeListener([&](const Book::WordChange& c) { changes.push_back(c); });
    // A second listener hears the same until it takes itself off.
    int heard = 0;
    const int second = book.addWordChangeListener([&](const Book::WordChange&) { ++heard; });

    book.registerWord(QStringLiteral("six"), QStringLiteral("m:six"), QStringLiteral("e:six"));
    book.modifyWord(book.index().find(QStringLiteral("two")), QStringLiteral("deux"),
                    QStringLiteral("m:deux"), {});
    book.deleteWord(book.index().find(QStringLiteral("one")));
    book.index().setCheckMark(book.index().find(QStringLiteral("three")), true);
    book.index().setCheckMark(book.index().find(QStringLiteral("four")), true);
    book.deleteChecked();
    EXPECT_EQ(told(changes), QStringList({">six", "two>deux", "one>", "four>", "three>"}));
    EXPECT_EQ(heard, 5);
    book.removeWordChangeListener(second);
    book.registerWord(QStringLiteral("ten"), QStringLiteral("m:ten"), {});
    EXPECT_EQ(heard, 5);
    EXPECT_EQ(changes.size(), 6u);
    changes.pop_back();
    EXPECT_EQ(changes[0].addedRecordNo, book.index().at(book.index().find("six")).recordNo);
    EXPECT_EQ(changes[1].removedRecordNo, 2);

    // A registration the disk refuses never happened for the listener either.
    changes.clear();
    {
        // Room for the two records, none for the word file.
        FailingDisk disk(bookfile::MeaningSize + bookfile::ExampleSize);
        EXPECT_THROW(book.registerWord(QStringLiteral("seven"), QStringLiteral("m"), {}),
                     RuntimeFailure);
    }
    EXPECT_TRUE(changes.empty());
}
