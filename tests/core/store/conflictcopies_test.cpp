// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/failure.h"
#include "core/journal/bookjournal.h"
#include "core/store/book.h"
#include "core/store/bookmanifest.h"
#include "core/store/conflictcopies.h"
#include "core/store/splitversions.h"
#include "support/bookbuilder.h"
#include "support/tempappfolder.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace {

using conflictcopies::recognise;

TEST(ConflictCopies, RecognisesTheNamesSyncToolsGiveAndNothingElse) {
    const struct {
        const char* name;
        const char* bookFile;
        const char* version;
    } copies[] = {
        {"words.sync-conflict-20261208-123456-ABCDEF7.vtd", "words.vtd",
         ".sync-conflict-20261208-123456-ABCDEF7"},
        {"reis.sync-conflict-20261208-123456-ABCDEF7.vtd", "reis.vtd",
         ".sync-conflict-20261208-123456-ABCDEF7"},
        {"means (conflicted copy 2026-12-08 123456).vtd", "means.vtd",
         " (conflicted copy 2026-12-08 123456)"},
        {"words (conflicted copy alice 2026-12-08 123456).vtd", "words.vtd",
         " (conflicted copy alice 2026-12-08 123456)"},
        {"words (conflict copy 2026-12-08 123456).vtd", "words.vtd",
         " (conflict copy 2026-12-08 123456)"},
        {"words (Machine's conflicted copy 2026-12-08).vtd", "words.vtd",
         " (Machine's conflicted copy 2026-12-08)"},
        {"words (Machine's conflicted copy 2026-12-08) (1).vtd", "words.vtd",
         " (Machine's conflicted copy 2026-12-08) (1)"},
    };
    for (const auto& c : copies) {
        const auto name = recognise(QString::fromUtf8(c.name));
        ASSERT_TRUE(name) << c.name;
        EXPECT_EQ(name->bookFile, QString::fromUtf8(c.bookFile)) << c.name;
        EXPECT_EQ(name->version, QString::fromUtf8(c.version)) << c.name;
    }
    for (const char* other :
         {"words.vtd", "words.vtd.bak", "TmpWFile.vtd", "words.sync-conflict-2026-ABCDEF7.vtd",
          "words.sync-conflict-20261208-123456-ABCDEF7.vtd.tmp",
          "other.sync-conflict-20261208-123456-ABCDEF7.vtd", "words (copy 2026-12-08).vtd",
          "words (conflicted copy 2026-12-08 123456).txt",
          "DirInfo (conflicted copy 2026-12-08 123456).vtd", "xwords (conflict copy 1).vtd"})
        EXPECT_FALSE(recognise(QString::fromUtf8(other))) << other;
}

// A book here and the version another machine wrote while apart, left beside it as copies.
struct Diverged {
    TempAppFolder app;
    QString book = app.file(QStringLiteral("book"));
    QString aside = app.file(QStringLiteral("backup/book/conflicts"));
    QString suffix = QStringLiteral(".sync-conflict-20261208-123456-ABCDEF7");

    void leaveCopy(const BookBuilder& there, bool withExamples = true) {
        const QString other = app.file(QStringLiteral("other"));
        there.write();
        for (const QString& f : {bookfile::Words, bookfile::Meanings, bookfile::Examples})
            if (withExamples || f != bookfile::Examples)
                ASSERT_TRUE(
                    QFile::copy(other + u'/' + f, book + u'/' + f.chopped(4) + suffix + ".vtd"));
    }
    std::vector<conflictcopies::Version> versions() const { return conflictcopies::find(book); }

    // Merges the version giving the same answer to every word both sides changed, noting each.
    std::vector<BookMerge::Duplicate> asked;
    conflictcopies::MergeReport mergeAnswering(const conflictcopies::Version& version,
                                               BookMerge::Side answer = BookMerge::Side::A) {
        return conflictcopies::merge(book, version, aside, [&](const BookMerge::Duplicate& both) {
            asked.push_back(both);
            return answer;
        });
    }
};

TEST(ConflictCopies, MergesTheOtherMachinesVersionAskingOnlyAboutWordsBothChanged) {
    for (const BookMerge::Side answer : {BookMerge::Side::A, BookMerge::Side::B}) {
        Diverged d;
        BookBuilder(d.book)
            .add("apple", "林檎", "an apple")
            .add("both", "here", "")
            .add("mine", "new here", "")
            .write();
        BookBuilder there(d.app.file(QStringLiteral("other")));
        there.add("theirs", "new there", "ex")
            .add("both", "there", "")
            .add("apple", "林檎", "an apple");
        d.leaveCopy(there);
        // The tool copies the manifest too; once the versions are one, its copy describes nothing.
        d.app.write("book/manifest" + d.suffix + ".vtm", "verbanta-manifest 1\n");

        const auto versions = d.versions();
        ASSERT_EQ(versions.size(), 1u);
        ASSERT_TRUE(versions[0].usable());
        const auto report = d.mergeAnswering(versions[0], answer);
        const auto& asked = d.asked;

        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].wordA, "both");
        EXPECT_EQ(asked[0].meaningA, "here");
        EXPECT_EQ(asked[0].meaningB, "there");
        const QString both = answer == BookMerge::Side::A ? "both|here|" : "both|there|";
        EXPECT_EQ(bookContents(d.book), (QStringList{"apple|林檎|an apple", both, "mine|new here|",
                                                     "theirs|new there|ex"}));
        EXPECT_EQ(report.added, 1);
        EXPECT_EQ(report.asked, 1);
        // The copies are kept, out of the book folder, and not offered again.
        EXPECT_TRUE(d.versions().empty());
        EXPECT_EQ(QDir(d.aside).entryList(QDir::Files).size(), 4);
        EXPECT_FALSE(QFile::exists(d.book + "/manifest" + d.suffix + ".vtm"));
        EXPECT_TRUE(QFile::exists(d.aside + "/words" + d.suffix + ".vtd"));
    }
}

TEST(ConflictCopies, AnAncestorDecidesOneSidedChangesAndDeletions) {
    Diverged d;
    const QString ancestor = d.app.file(QStringLiteral("ancestor"));
    BookBuilder(ancestor)
        .add("keep", "k", "")
        .add("editedHere", "old", "")
        .add("editedThere", "old", "")
        .add("deletedHere", "d", "")
        .add("deletedThere", "d", "")
        .add("deletedThereEditedHere", "old", "")
        .write();
    BookBuilder(d.book)
        .add("keep", "k", "")
        .add("editedHere", "new here", "")
        .add("editedThere", "old", "")
        .add("deletedThere", "d", "")
        .add("deletedThereEditedHere", "new here", "")
        .write();
    BookBuilder there(d.app.file(QStringLiteral("other")));
    there.add("keep", "k", "")
        .add("editedHere", "old", "")
        .add("editedThere", "new there", "")
        .add("deletedHere", "d", "");
    d.leaveCopy(there);

    const auto report = conflictcopies::merge(
        d.book, d.versions().at(0), d.aside,
        [](const BookMerge::Duplicate&) -> BookMerge::Side {
            ADD_FAILURE() << "nothing was changed on both sides";
            return BookMerge::Side::A;
        },
        ancestor);

    EXPECT_EQ(bookContents(d.book),
              (QStringList{"deletedThereEditedHere|new here|", "editedHere|new here|",
                           "editedThere|new there|", "keep|k|"}));
    EXPECT_EQ(report.deleted, 2);
    EXPECT_EQ(report.changed, 1);
}

// Both machines had the book as it was after a shared change, then edited it apart through the
// store, so each one's journal holds what it did; the sync tool left the other's files and journal
// as copies.
struct EditedApart : Diverged {
    QString other = app.file(QStringLiteral("other"));

    EditedApart() {
        BookBuilder(book)
            .add("keep", "k", "")
            .add("editedHere", "old", "")
            .add("editedThere", "old", "")
            .add("deletedHere", "d", "")
            .add("deletedThere", "d", "")
            .add("editedBoth", "old", "")
            .add("deletedThereEditedHere", "old", "")
            .write();
        edit(book, [](Book& b) { b.registerWord("shared", "s", ""); });
        QDir().mkpath(other);
        for (const QString& name : QDir(book).entryList(QDir::Files))
            QFile::copy(book + u'/' + name, other + u'/' + name);
        edit(book, [](Book& b) {
            modify(b, "editedHere", "new here");
            modify(b, "editedBoth", "both here");
            modify(b, "deletedThereEditedHere", "new here");
            b.deleteWord(b.index().find("deletedHere"));
            b.registerWord("addedHere", "a", "");
        });
        edit(other, [](Book& b) {
            modify(b, "editedThere", "new there");
            modify(b, "editedBoth", "both there");
            b.deleteWord(b.index().find("deletedThere"));
            b.deleteWord(b.index().find("deletedThereEditedHere"));
            b.registerWord("addedThere", "t", "e");
        });
        for (const QString& f :
             {bookfile::Words, bookfile::Meanings, bookfile::Examples, bookjournal::FileName})
            QFile::copy(other + u'/' + f, book + u'/' + f.chopped(4) + suffix + ".vtd");
    }
    static void edit(const QString& folder, const std::function<void(Book&)>& change) {
        Book b(folder);
        b.open();
        change(b);
        b.writeBack();
    }
    static void modify(Book& b, const char* word, const char* meaning) {
        b.modifyWord(b.index().find(word), word, meaning, {});
    }
};

TEST(ConflictCopies, TheJournalsTellWhichSideChangedEachWord) {
    for (const BookMerge::Side answer : {BookMerge::Side::A, BookMerge::Side::B}) {
        EditedApart d;
        const auto versions = d.versions();
        ASSERT_EQ(versions.size(), 1u);
        ASSERT_FALSE(versions[0].journal.isEmpty());
        const QByteArray journalBefore = d.app.read("book/" + bookjournal::FileName);
        const QByteArray journalThere = d.app.read("other/" + bookjournal::FileName);

        const auto report = d.mergeAnswering(versions[0], answer);
        const auto& asked = d.asked;

        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].wordA, "editedBoth");
        EXPECT_EQ(asked[0].meaningA, "both here");
        EXPECT_EQ(asked[0].meaningB, "both there");
        const QString both =
            answer == BookMerge::Side::A ? "editedBoth|both here|" : "editedBoth|both there|";
        EXPECT_EQ(bookContents(d.book),
                  (QStringList{"addedHere|a|", "addedThere|t|e", "deletedThereEditedHere|new here|",
                               both, "editedHere|new here|", "editedThere|new there|", "keep|k|",
                               "shared|s|"}));
        EXPECT_EQ(report.deleted, 2);
        EXPECT_EQ(report.added, 1);
        EXPECT_EQ(report.changed, answer == BookMerge::Side::B ? 2 : 1);

        // The book's journal now holds both sides' changes, so the next divergence is measured
        // from here; the other's journal went aside with its files.
        const QByteArray journalAfter = d.app.read("book/" + bookjournal::FileName);
        EXPECT_TRUE(journalAfter.startsWith(journalBefore));
        const bookjournal::Divergence fromThere = bookjournal::diverged(journalAfter, journalThere);
        EXPECT_TRUE(fromThere.onlySecond.isEmpty());
        EXPECT_TRUE(d.versions().empty());
        EXPECT_EQ(QDir(d.aside).entryList(QDir::Files).size(), 4);
    }
}

// The main window registers a spelling again with another meaning; each entry is a word of its
// own, so the merge keeps every one and pairs them across the sides as a multiset.
TEST(ConflictCopies, AWordRegisteredTwiceKeepsEveryEntry) {
    for (const BookMerge::Side answer : {BookMerge::Side::A, BookMerge::Side::B}) {
        Diverged d;
        BookBuilder(d.book).add("dup", "意味一", "").add("other", "o", "").write();
        EditedApart::edit(d.book, [](Book& b) { b.registerWord("dup", "意味二", "例"); });
        BookBuilder there(d.app.file(QStringLiteral("other")));
        there.add("dup", "意味一", "")
            .add("other", "o", "")
            .add("dup", "意味二改", "例")
            .add("new", "n", "");
        d.leaveCopy(there);

        const auto report = d.mergeAnswering(d.versions().at(0), answer);
        const auto& asked = d.asked;

        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].meaningA, "意味二");
        EXPECT_EQ(asked[0].meaningB, "意味二改");
        QStringList merged = bookContents(d.book);
        merged.sort();
        QStringList expected{answer == BookMerge::Side::A ? "dup|意味二|例" : "dup|意味二改|例",
                             "dup|意味一|", "new|n|", "other|o|"};
        expected.sort();
        EXPECT_EQ(merged, expected);
        EXPECT_EQ(report.written, 4);
        EXPECT_EQ(report.added, 1);
    }
}

// A sync tool stamps each file's copy with the time it handled that file, so the files of one
// version can carry names a second apart, across midnight too.
TEST(ConflictCopies, OneVersionsCopiesStampedSecondsApartAreMergedTogether) {
    const struct {
        const char *words, *means, *reis;
    } stamps[] = {
        {"20261208-061705", "20261208-061706", "20261208-061706"},
        {"20261208-061805", "20261208-061805", "20261208-061806"},
        {"20261208-235959", "20261209-000001", "20261209-000000"},
    };
    for (const auto& s : stamps) {
        Diverged d;
        BookBuilder(d.book).add("apple", "林檎", "an apple").write();
        const QString other = d.app.file(QStringLiteral("other"));
        BookBuilder(other).add("apple", "林檎", "an apple").add("theirs", "there", "ex").write();
        const auto copyName = [](const QString& f, const char* stamp) {
            return f.chopped(4) + ".sync-conflict-" + stamp + "-ABCDEF7.vtd";
        };
        for (const auto& [f, stamp] :
             {std::pair{bookfile::Words, s.words}, std::pair{bookfile::Meanings, s.means},
              std::pair{bookfile::Examples, s.reis}})
            ASSERT_TRUE(QFile::copy(other + u'/' + f, d.book + u'/' + copyName(f, stamp)));

        const auto versions = d.versions();
        ASSERT_EQ(versions.size(), 1u) << s.words;
        ASSERT_TRUE(versions[0].usable()) << s.words;
        EXPECT_EQ(versions[0].examples, copyName(bookfile::Examples, s.reis));
        const auto report = conflictcopies::merge(
            d.book, versions[0], d.aside, [](const BookMerge::Duplicate&) -> BookMerge::Side {
                ADD_FAILURE() << "only one side changed anything";
                return BookMerge::Side::A;
            });
        EXPECT_EQ(bookContents(d.book), (QStringList{"apple|林檎|an apple", "theirs|there|ex"}));
        EXPECT_EQ(report.added, 1);
        EXPECT_TRUE(d.versions().empty());
    }
}

// Where the copies of one machine cannot be sorted into versions for sure, nothing is taken as
// a version: two words files within the same seconds, or an examples file handled long after.
TEST(ConflictCopies, CopiesThatCannotBeToldApartAreNotMerged) {
    Diverged d;
    BookBuilder(d.book).add("apple", "林檎", "an apple").write();
    const auto put = [&](const QString& f, const char* stamp) {
        const QString name = f.chopped(4) + ".sync-conflict-20261208-" + stamp + ".vtd";
        EXPECT_TRUE(QFile::copy(d.book + u'/' + f, d.book + u'/' + name));
        return name;
    };
    // Another machine's whole version at the same time is a version of its own.
    for (const QString& f : {bookfile::Words, bookfile::Meanings, bookfile::Examples})
        put(f, "100000-ZZZZZZ9");
    const QStringList twoWords{
        put(bookfile::Words, "100000-ABCDEF7"), put(bookfile::Meanings, "100001-ABCDEF7"),
        put(bookfile::Examples, "100001-ABCDEF7"), put(bookfile::Words, "100002-ABCDEF7")};
    const QStringList lateExamples{put(bookfile::Words, "110000-BBBBBB2"),
                                   put(bookfile::Meanings, "110000-BBBBBB2")};
    const QString late = put(bookfile::Examples, "110100-BBBBBB2");

    const auto versions = d.versions();
    ASSERT_EQ(versions.size(), 4u);
    std::map<QString, const conflictcopies::Version*> byWords;
    for (const auto& v : versions)
        byWords[v.files().value(0)] = &v;
    ASSERT_TRUE(byWords.count(twoWords[0]));
    EXPECT_FALSE(byWords[twoWords[0]]->usable());
    QStringList listed = byWords[twoWords[0]]->files();
    listed.sort();
    QStringList expected = twoWords;
    expected.sort();
    EXPECT_EQ(listed, expected);
    ASSERT_TRUE(byWords.count(lateExamples[0]));
    EXPECT_FALSE(byWords[lateExamples[0]]->usable());
    EXPECT_TRUE(byWords[lateExamples[0]]->files().contains(late));
    const QString whole = QStringLiteral("words.sync-conflict-20261208-100000-ZZZZZZ9.vtd");
    ASSERT_TRUE(byWords.count(whole));
    EXPECT_TRUE(byWords[whole]->usable());
    EXPECT_THROW(d.mergeAnswering(*byWords[twoWords[0]]), RuntimeFailure);
    EXPECT_TRUE(QFile::exists(d.book + u'/' + twoWords[3]));
}

TEST(ConflictCopies, AWordsFileWithoutItsRecordsIsNotMerged) {
    Diverged d;
    BookBuilder(d.book).add("apple", "林檎", "").write();
    const QString wordsOnly = d.book + "/words" + d.suffix + ".vtd";
    ASSERT_TRUE(QFile::copy(d.book + u'/' + bookfile::Words, wordsOnly));
    const auto versions = d.versions();
    ASSERT_EQ(versions.size(), 1u);
    EXPECT_FALSE(versions[0].usable());
    EXPECT_THROW(d.mergeAnswering(versions[0]), RuntimeFailure);
    EXPECT_TRUE(QFile::exists(wordsOnly));
    EXPECT_EQ(bookContents(d.book), QStringList{"apple|林檎|"});
}

// Both programs wrote the book while the sync was paused; the tool then kept the newer of each
// file on its own, with the times it was given: this machine's words file and manifest, the other
// machine's record files, and every other file as a copy, the two versions' under two marks.
TEST(ConflictCopies, VersionsSplitOverTheBooksFilesAreReassembledByTheirManifestsAndMerged) {
    for (const bool killedAfterFirstStep : {false, true}) {
        EditedApart d;
        const QString otherMark = QStringLiteral(".sync-conflict-20261208-130000-BBBBBBB");
        const auto move = [](const QString& from, const QString& to) {
            QFile::remove(to);
            ASSERT_TRUE(QFile::rename(from, to)) << from.toStdString();
        };
        const auto inBook = [&](const QString& stem, const QString& mark) {
            return d.book + u'/' + stem + mark + ".vtd";
        };
        for (const QString stem : {"means", "reis"}) {
            move(inBook(stem, {}), inBook(stem, otherMark));
            move(d.other + u'/' + stem + ".vtd", inBook(stem, {}));
            QFile::remove(inBook(stem, d.suffix));
        }
        move(d.other + "/words.vtd", inBook("words", d.suffix));
        move(d.other + "/manifest.vtm", d.book + "/manifest" + d.suffix + ".vtm");
        ASSERT_EQ(bookmanifest::check(d.book).state, bookmanifest::State::Mixed);
        if (killedAfterFirstStep) // the other version's meanings already carry its mark
            move(inBook("means", {}), inBook("means", d.suffix));

        EXPECT_EQ(splitversions::reassemble(d.book), splitversions::Outcome::Reassembled);
        EXPECT_EQ(bookmanifest::check(d.book).state, bookmanifest::State::Whole);
        const auto versions = d.versions();
        ASSERT_EQ(versions.size(), 1u);
        ASSERT_TRUE(versions[0].usable());
        ASSERT_FALSE(versions[0].journal.isEmpty());
        d.mergeAnswering(versions[0]);
        EXPECT_EQ(bookContents(d.book),
                  (QStringList{"addedHere|a|", "addedThere|t|e", "deletedThereEditedHere|new here|",
                               "editedBoth|both here|", "editedHere|new here|",
                               "editedThere|new there|", "keep|k|", "shared|s|"}));
        EXPECT_EQ(splitversions::reassemble(d.book), splitversions::Outcome::Untouched);
    }
}

} // namespace
