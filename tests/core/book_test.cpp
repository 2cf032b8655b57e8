#include "core/book.h"
#include "core/cp932.h"
#include "core/failure.h"
#include "core/textrecord.h"
#include "support/bookbuilder.h"
#include "support/tempappfolder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct Fixture {
    TempAppFolder app;
    QString folder = app.file(QStringLiteral("book"));

    QByteArray bytes(const QString& name) const { return app.read(QStringLiteral("book/") + name); }
    qint64 size(const QString& name) const { return QFileInfo(folder + u'/' + name).size(); }
    QStringList files() const { return app.entries(QStringLiteral("book")); }
};

QString trimmedRight(QString s) {
    while (s.endsWith(u' '))
        s.chop(1);
    return s;
}

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

TEST(Book, MeaningsAreCutAtTheRecordSizeOnACharacterBoundary) {
    Fixture f;
    BookBuilder(f.folder).write();
    Book book(f.folder);
    book.open();
    const QString a = QStringLiteral("あ");
    book.registerWord("full", a.repeated(100), a.repeated(200));
    book.registerWord("over", a.repeated(101), a.repeated(201));
    book.registerWord("odd", u'x' + a.repeated(100), {});
    EXPECT_EQ(f.size("means.vtd"), 600);
    EXPECT_EQ(f.size("reis.vtd"), 1200);
    EXPECT_EQ(book.meaning(1), a.repeated(100));
    EXPECT_EQ(book.meaning(2), a.repeated(100));
    EXPECT_EQ(book.example(2), a.repeated(200));
    EXPECT_EQ(book.meaning(3), u'x' + a.repeated(99) + u' ');
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
    Fixture f;
    buildFive(f.folder);
    Book book(f.folder);
    book.open();
    book.deleteWord(book.index().find("two"));
    book.deleteWord(book.index().find("four"));
    book.writeBack();
    EXPECT_EQ(f.size("means.vtd"), 600);
    EXPECT_EQ(f.size("reis.vtd"), 1200);
    EXPECT_EQ(f.files(), QStringList({"means.vtd", "reis.vtd", "words.vtd"}));
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
        EXPECT_TRUE(f.files().isEmpty());
        expectConsistent(f.folder, {});
    }
}

TEST(Book, ModificationMovesTheWordAndKeepsItsRecord) {
    Fixture f;
    buildFive(f.folder);
    Book book(f.folder);
    book.open();
    const int p = book.modifyWord(book.index().find("two"), "zwei", "m:zwei", "e:zwei");
    EXPECT_EQ(book.index().at(p).word, "zwei");
    EXPECT_EQ(book.index().at(p).recordNo, 2);
    EXPECT_EQ(p, book.index().size() - 1);
    book.writeBack();
    expectConsistent(f.folder, {"one", "zwei", "three", "four", "five"});
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
              QStringLiteral("\"Banana\",1"));
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
    Fixture f;
    buildFive(f.folder);
    Book book(f.folder);
    book.open();
    // Something in the way of the word file: it cannot be replaced.
    QFile::remove(f.folder + "/words.vtd");
    QDir().mkpath(f.folder + "/words.vtd/in-the-way");
    try {
        book.registerWord("six", "m:six", "e:six");
        FAIL() << "the registration should have failed";
    } catch (const RuntimeFailure&) {
    }
    EXPECT_EQ(book.index().size(), 5);
    EXPECT_EQ(book.index().find("six"), -1);
    // Once the way is clear the book carries on, the unused record left behind harmlessly.
    QDir(f.folder + "/words.vtd").removeRecursively();
    const int p = book.registerWord("six", "m:six", "e:six");
    EXPECT_EQ(book.index().at(p).recordNo, 7);
    book.writeBack();
    expectConsistent(f.folder, {"one", "two", "three", "four", "five", "six"});
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
                      CompactionStep::ExamplesReplaced, CompactionStep::WordsReplaced));

TEST(Book, LeftoversOfAKilledRunNeverReachTheBook) {
    Fixture f;
    buildFive(f.folder);
    // A half-written temporary record file and a half-written word file rewrite.
    f.app.write("book/TmpMFile.vtd", QByteArray(150, 'x'));
    f.app.write("book/words.vtd.Ab12Cd", QByteArray("\"garbage\",9"));
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
}

} // namespace
