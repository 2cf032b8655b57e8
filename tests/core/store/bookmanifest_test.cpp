// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/book.h"
#include "core/store/bookmanifest.h"
#include "core/store/booktransfer.h"
#include "support/bookbuilder.h"
#include "support/syncdelivery.h"
#include "support/tempappfolder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QStringList SyncedFiles = {bookfile::Words, bookfile::Meanings, bookfile::Examples,
                                 bookmanifest::FileName};

void copyFolder(const QString& from, const QString& to) {
    QDir(to).removeRecursively();
    QDir().mkpath(to);
    for (const QString& name : QDir(from).entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(from + u'/' + name, to + u'/' + name));
}

int bookcheckExit(const QString& folder, QString* err = nullptr) {
    QProcess check;
    check.start(QStringLiteral(BOOKCHECK_PATH), {folder});
    if (!check.waitForFinished())
        return -1;
    if (err)
        *err = QString::fromUtf8(check.readAllStandardError());
    return check.exitCode();
}

// Which readers take the folder as a book: the store's open (read-only and not), the readers of
// import and merge, and the checking tool.
struct Verdicts {
    int refused = 0;
    int readers = 0;
};
Verdicts readAll(const QString& folder) {
    Verdicts v;
    const auto tryRead = [&](const std::function<void()>& read) {
        ++v.readers;
        try {
            read();
        } catch (const BookMixed& mixed) {
            ++v.refused;
            EXPECT_TRUE(mixed.reason().startsWith(
                QStringLiteral("このブックは同期中か、ファイルがそろっていません")));
            EXPECT_FALSE(mixed.files().isEmpty());
        }
    };
    tryRead([&] { Book(folder).open(true); });
    tryRead([&] { Book(folder).open(); });
    tryRead([&] { readStoredWords(folder); });
    tryRead([&] { BookRecords records(folder); });
    tryRead([&] { readWordList(folder); });
    ++v.readers;
    if (bookcheckExit(folder) == 1)
        ++v.refused;
    return v;
}

struct Copies {
    TempAppFolder app;
    QString there = app.file(QStringLiteral("there"));   // edited on the other machine
    QString before = app.file(QStringLiteral("before")); // the version both had
    QString here = app.file(QStringLiteral("here"));

    Copies() {
        BookBuilder b(there);
        for (const char* w : {"one", "two", "three", "four", "five"})
            b.add(w, QStringLiteral("m:") + w, QStringLiteral("e:") + w);
        b.write();
        Book book(there);
        book.open();
        book.registerWord(QStringLiteral("six"), QStringLiteral("m:six"), QStringLiteral("e:six"));
        book.close();
        copyFolder(there, before);
        // A change that touches every file: records added, the word file rewritten.
        book.open();
        book.registerWord(QStringLiteral("seven"), QStringLiteral("m:7"), QStringLiteral("e:7"));
        book.modifyWord(book.index().find(QStringLiteral("one")), QStringLiteral("one"),
                        QStringLiteral("m:1"), QStringLiteral("e:1"));
        book.close();
    }
};

TEST(BookManifest, EveryArrivalOrderOfASyncIsRefusedByEveryReaderUntilTheSetIsWhole) {
    Copies c;
    QStringList order = SyncedFiles;
    std::sort(order.begin(), order.end());
    int orders = 0;
    do {
        copyFolder(c.before, c.here);
        for (int i = 0; i < order.size() - 1; ++i) {
            deliverAsSyncTool(c.there, c.here, order[i]);
            const Verdicts v = readAll(c.here);
            EXPECT_EQ(v.refused, v.readers) << order.join(u',').toStdString() << " after " << i;
        }
        deliverAsSyncTool(c.there, c.here, order.last());
        EXPECT_EQ(readAll(c.here).refused, 0) << order.join(u',').toStdString();
        Book book(c.here);
        book.open();
        EXPECT_GE(book.index().find(QStringLiteral("seven")), 0);
        EXPECT_EQ(book.meaning(book.index().at(book.index().find(QStringLiteral("one"))).recordNo)
                      .trimmed(),
                  QStringLiteral("m:1"));
        ++orders;
    } while (std::next_permutation(order.begin(), order.end()));
    EXPECT_EQ(orders, 24);

    // A mixed set is never written: a write meets it before touching any file.
    copyFolder(c.before, c.here);
    Book open(c.here);
    open.open();
    deliverAsSyncTool(c.there, c.here, bookmanifest::FileName);
    const QByteArray words = c.app.read(QStringLiteral("here/") + bookfile::Words);
    EXPECT_THROW(open.registerWord(QStringLiteral("eight"), {}, {}), BookMixed);
    EXPECT_EQ(c.app.read(QStringLiteral("here/") + bookfile::Words), words);

    QString err;
    EXPECT_EQ(bookcheckExit(c.here, &err), 1);
    EXPECT_TRUE(err.contains(bookfile::Words)) << err.toStdString();
}

// A deletion changes the record files only in the middle, where their hash does not look: the
// marked records must still not be read through the word file of the version before.
TEST(BookManifest, RecordFilesMarkedByADeletionAreRefusedBeforeTheirWordFileArrives) {
    Copies c;
    copyFolder(c.there, c.before);
    Book book(c.there);
    book.open();
    book.deleteWord(book.index().find(QStringLiteral("three")));
    book.close();
    copyFolder(c.before, c.here);
    deliverAsSyncTool(c.there, c.here, bookfile::Meanings);
    deliverAsSyncTool(c.there, c.here, bookfile::Examples);
    const Verdicts v = readAll(c.here);
    EXPECT_EQ(v.refused, v.readers);
    deliverAsSyncTool(c.there, c.here, bookfile::Words);
    deliverAsSyncTool(c.there, c.here, bookmanifest::FileName);
    EXPECT_EQ(readAll(c.here).refused, 0);
}

TEST(BookManifest, TheOpenWaitsForASyncToCompleteTheSet) {
    Copies c;
    copyFolder(c.before, c.here);
    deliverAsSyncTool(c.there, c.here, bookfile::Meanings);
    QStringList rest = {bookfile::Words, bookmanifest::FileName, bookfile::Examples};
    int waits = 0;
    bookmanifest::setWait([&] {
        ++waits;
        if (!rest.isEmpty())
            deliverAsSyncTool(c.there, c.here, rest.takeFirst());
    });
    Book book(c.here);
    EXPECT_NO_THROW(book.open());
    EXPECT_EQ(waits, 3);
    EXPECT_GE(book.index().find(QStringLiteral("seven")), 0);

    // A set that stays mixed is reported after the last wait.
    waits = 0;
    copyFolder(c.before, c.here);
    deliverAsSyncTool(c.there, c.here, bookfile::Words);
    EXPECT_THROW(Book(c.here).open(), BookMixed);
    EXPECT_EQ(waits, bookmanifest::WaitRounds);
    bookmanifest::setWait(nullptr);
}

TEST(BookManifest, OwnInterruptedChangeOpensAndAnotherMachinesDoesNot) {
    TempAppFolder app;
    const QString folder = app.file(QStringLiteral("book"));
    BookBuilder b(folder);
    for (const char* w : {"one", "two", "three"})
        b.add(w, QStringLiteral("m:") + w);
    b.write();
    {
        Book book(folder);
        book.open();
        book.deleteWord(book.index().find(QStringLiteral("two")));
        // A crash after the new record files replaced the old ones, before the word file.
        book.setCompactionHook([](CompactionStep s) {
            if (s == CompactionStep::MeaningsReplaced)
                throw std::runtime_error("crash");
        });
        EXPECT_THROW(book.compact(), std::runtime_error);
    }
    const QString kept = app.file(QStringLiteral("kept"));
    copyFolder(folder, kept);
    EXPECT_EQ(bookmanifest::check(folder).state, bookmanifest::State::OwnInterrupted);

    Book book(folder);
    const Book::OpenResult opened = book.open();
    EXPECT_TRUE(opened.recoveredCompaction);
    EXPECT_EQ(book.index().size(), 2);
    EXPECT_EQ(bookmanifest::check(folder).state, bookmanifest::State::Whole);

    // The same files, the change left half-done by another machine: mixed.
    bookmanifest::setHostForTests(QStringLiteral("another-machine"));
    EXPECT_EQ(bookmanifest::check(kept).state, bookmanifest::State::Mixed);
    EXPECT_THROW(Book(kept).open(), BookMixed);
    bookmanifest::setHostForTests({});
}

TEST(BookManifest, ABookWithoutOneOpensAndGetsOneAtItsNextWrite) {
    TempAppFolder app;
    const QString folder = app.file(QStringLiteral("book"));
    BookBuilder b(folder);
    b.add(QStringLiteral("one"), QStringLiteral("m:one"));
    b.write();
    Book book(folder);
    book.open();
    EXPECT_EQ(bookmanifest::check(folder).state, bookmanifest::State::None);
    EXPECT_FALSE(app.exists(QStringLiteral("book/") + bookmanifest::FileName));
    book.registerWord(QStringLiteral("two"), QStringLiteral("m:two"), {});
    EXPECT_EQ(bookmanifest::check(folder).state, bookmanifest::State::Whole);
    book.close();

    // Another version of the word file of the same size is told by its hash.
    QByteArray bytes = app.read(QStringLiteral("book/") + bookfile::Words);
    bytes.replace("two", "twx");
    app.write(QStringLiteral("book/") + bookfile::Words, bytes);
    EXPECT_EQ(bookmanifest::check(folder).state, bookmanifest::State::Mixed);
}

} // namespace
