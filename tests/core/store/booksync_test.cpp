// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/book.h"
#include "core/store/booksession.h"
#include "support/bookbuilder.h"
#include "support/syncdelivery.h"
#include "support/tempappfolder.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QStringList BookFiles = {bookfile::Words, bookfile::Meanings, bookfile::Examples};

// Two machines' copies of one book: "here" is the copy this program has open, "there" the one
// another machine edits, whose files a sync tool then brings over one at a time.
struct TwoCopies {
    TempAppFolder app;
    QString here = app.file(QStringLiteral("here"));
    QString there = app.file(QStringLiteral("there"));

    TwoCopies() {
        for (const QString& folder : {here, there}) {
            BookBuilder b(folder);
            for (const char* w : {"one", "two", "three", "four", "five"})
                b.add(w, QStringLiteral("m:") + w, QStringLiteral("e:") + w);
            b.write();
        }
    }
    void deliver(const QString& name) const { deliverAsSyncTool(there, here, name); }
    // The manifest comes along, last here, as a sync tool carries every file of the folder.
    void deliverAll() const {
        for (const QString& name : BookFiles)
            deliver(name);
        if (QFile::exists(there + QStringLiteral("/manifest.vtm")))
            deliver(QStringLiteral("manifest.vtm"));
    }
    // The other machine's edits, made and written back as it closes the book.
    void editThere(const std::function<void(Book&)>& edit) const {
        Book book(there);
        book.open();
        edit(book);
        book.writeBack();
    }
};

QString entry(const char* word, const QString& suffix = {}) {
    const QString w = QString::fromUtf8(word);
    return w + "|m:" + w + suffix + "|e:" + w + suffix;
}

int at(Book& book, const char* word) {
    return book.index().find(QString::fromUtf8(word));
}

// The other machine registers, modifies, deletes, compacts; all of it is expected here too.
void editThereAllKinds(const TwoCopies& c) {
    c.editThere([](Book& b) {
        b.registerWord("alpha", "m:alpha", "e:alpha");
        b.registerWord("beta", "m:beta", "e:beta");
        b.modifyWord(at(b, "two"), "two", "m:two2", "e:two2");
        b.deleteWord(at(b, "four"));
    });
}
const QStringList ThereWords = {entry("alpha"), entry("beta"),  entry("five"),
                                entry("one"),   entry("three"), entry("two", "2")};

// An open book replaced underneath by another machine's version: whatever this program does
// next, it writes neither its old word list nor records into the replaced files, and keeps both
// sides' words.
TEST(BookSync, ReplacedUnderneathKeepsBothSidesWhateverComesNext) {
    struct Case {
        const char* name;
        std::function<void(Book&)> next;
        QStringList expected;
    };
    const std::vector<Case> cases = {
        {"close", [](Book&) {}, ThereWords},
        {"register", [](Book& b) { b.registerWord("gamma", "m:gamma", "e:gamma"); },
         ThereWords + QStringList{entry("gamma")}},
        {"modify", [](Book& b) { b.modifyWord(at(b, "three"), "three", "m:three3", "e:three3"); },
         QStringList{entry("alpha"), entry("beta"), entry("five"), entry("one"),
                     entry("three", "3"), entry("two", "2")}},
        {"delete", [](Book& b) { b.deleteWord(at(b, "one")); },
         QStringList{entry("alpha"), entry("beta"), entry("five"), entry("three"),
                     entry("two", "2")}},
        {"delete checked",
         [](Book& b) {
             b.index().setCheckMark(at(b, "five"), true);
             b.index().setCheckMark(at(b, "three"), true);
             b.deleteChecked();
         },
         QStringList{entry("alpha"), entry("beta"), entry("one"), entry("two", "2")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TwoCopies copies;
        Book book(copies.here);
        book.open();
        // This program's own registration before the other version arrives: the other machine
        // never saw it, so it is applied again on top.
        book.registerWord("mine", "m:mine", "e:mine");
        editThereAllKinds(copies);
        copies.deliverAll();
        c.next(book);
        book.writeBack();
        QStringList expected = c.expected + QStringList{entry("mine")};
        expected.sort();
        QStringList got = bookContents(copies.here);
        got.sort();
        EXPECT_EQ(got, expected);
    }
}

// After the other machine compacted, every record number means another word: the old word list
// written back would give most words another word's meaning.
TEST(BookSync, ACompactionThereIsNotUndoneByTheOldWordListHere) {
    TwoCopies copies;
    Book book(copies.here);
    book.open();
    book.deleteWord(at(book, "five")); // deletions pending: the close compacts
    copies.editThere([](Book& b) {
        b.deleteWord(at(b, "one"));
        b.deleteWord(at(b, "two"));
        b.registerWord("zeta", "m:zeta", "e:zeta");
    });
    copies.deliverAll();
    book.writeBack();
    QStringList got = bookContents(copies.here);
    got.sort();
    EXPECT_EQ(got, (QStringList{entry("four"), entry("three"), entry("zeta")}));
}

// Check marks are the session's own and never stored: a reload keeps them on the same words,
// beside the other machine's edits.
TEST(BookSync, TheSessionsCheckMarksSurviveAReload) {
    TwoCopies copies;
    Book book(copies.here);
    book.open();
    copies.editThere([](Book& b) {
        b.modifyWord(at(b, "two"), "two", "m:two2", "e:two2");
        b.registerWord("alpha", "m:alpha", "e:alpha");
    });
    book.index().setCheckMark(at(book, "one"), true);
    book.index().setCheckMark(at(book, "three"), true);
    book.index().setCheckMark(at(book, "two"), true); // a word the other machine changed
    book.index().setCheckMark(at(book, "one"), false);
    copies.deliverAll();
    ASSERT_TRUE(book.session().reloadIfChanged().reloaded);

    QStringList checked;
    for (int p = 0; p < book.index().size(); ++p)
        if (book.index().at(p).checkMark)
            checked << book.index().at(p).word;
    EXPECT_EQ(checked, QStringList{"three"});
    EXPECT_GE(at(book, "alpha"), 0);
}

// A word both machines changed: the user is shown both and chooses; the choice is kept.
TEST(BookSync, AWordChangedOnBothSidesIsAskedWithBothVersions) {
    for (const bool keepMine : {true, false}) {
        SCOPED_TRACE(keepMine ? "keep mine" : "keep theirs");
        TwoCopies copies;
        Book book(copies.here);
        book.open();
        std::vector<EditConflict> asked;
        book.session().setResolver([&](const EditConflict& c) {
            asked.push_back(c);
            return keepMine;
        });
        book.modifyWord(at(book, "three"), "three", "m:mine", "e:mine");
        copies.editThere([](Book& b) {
            b.modifyWord(at(b, "three"), "three", "m:theirs", "e:theirs");
            b.deleteWord(at(b, "five"));
        });
        copies.deliverAll();
        // The deletion there does not meet an edit here: it is taken without a question.
        book.registerWord("six", "m:six", "e:six");
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].mine, (SessionWord{"three", "m:mine", "e:mine"}));
        EXPECT_TRUE(asked[0].onDiskExists);
        EXPECT_EQ(asked[0].onDisk, (SessionWord{"three", "m:theirs", "e:theirs"}));
        book.writeBack();
        QStringList got = bookContents(copies.here);
        got.sort();
        EXPECT_EQ(got, (QStringList{entry("four"), entry("one"), entry("six"),
                                    keepMine ? QString("three|m:mine|e:mine")
                                             : QString("three|m:theirs|e:theirs"),
                                    entry("two")}));
    }
}

// Found before a write and also when asked while idle; the files half delivered count as changed
// too, and nothing of this program's is written into a file that has gone.
TEST(BookSync, AChangeIsNoticedFileByFileAndReloadTellsItsListeners) {
    TwoCopies copies;
    Book book(copies.here);
    book.open();
    EXPECT_FALSE(book.session().changedOnDisk());
    book.registerWord("mine", "m:mine", "e:mine");
    EXPECT_FALSE(book.session().changedOnDisk()); // its own writes are not someone else's
    copies.editThere([](Book& b) { b.registerWord("alpha", "m:alpha", "e:alpha"); });
    for (const QString& name : BookFiles) {
        copies.deliver(name);
        EXPECT_TRUE(book.session().changedOnDisk()) << name.toStdString();
    }
    copies.deliver(QStringLiteral("manifest.vtm"));
    std::vector<BookSession::ReloadReport> told;
    book.session().addReloadListener(
        [&](const BookSession::ReloadReport& r) { told.push_back(r); });
    const BookSession::ReloadReport report = book.session().reloadIfChanged();
    EXPECT_TRUE(report.reloaded);
    EXPECT_EQ(report.reapplied, 1);
    EXPECT_EQ(report.conflicts, 0);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_GE(at(book, "alpha"), 0);
    EXPECT_GE(at(book, "mine"), 0);
    EXPECT_FALSE(book.session().changedOnDisk());
    EXPECT_FALSE(book.session().reloadIfChanged().reloaded);
}

} // namespace
