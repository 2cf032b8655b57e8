// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/failure.h"
#include "core/journal/bookjournal.h"
#include "core/store/book.h"
#include "core/store/bookmanifest.h"
#include "core/store/booksession.h"
#include "support/bookbuilder.h"
#include "support/failingdisk.h"
#include "support/tempappfolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using bookjournal::Entry;
using bookjournal::Operation;

std::vector<Entry> journalOf(const QString& folder, int* damaged = nullptr) {
    const bookjournal::Parsed parsed =
        bookjournal::parse(bookjournal::read(folder + u'/' + bookjournal::FileName));
    if (damaged)
        *damaged = parsed.damagedLines;
    return parsed.entries;
}

TEST(BookJournal, EveryCompletedChangeLeavesItsLinesAndATornLineIsCutAway) {
    TempAppFolder app;
    const QString folder = app.file(QStringLiteral("book"));
    BookBuilder(folder).add("one", "m1", "e1").add("two", "m2", "").add("three", "m3", "").write();
    Book book(folder);
    book.open();
    book.registerWord(QStringLiteral("new"), QStringLiteral("意味  "), QStringLiteral("例"));
    book.modifyWord(book.index().find(QStringLiteral("one")), QStringLiteral("one"),
                    QStringLiteral("m1b"), QStringLiteral("e1"));
    book.modifyWord(book.index().find(QStringLiteral("two")), QStringLiteral("deux"),
                    QStringLiteral("m2"), {});
    book.deleteWord(book.index().find(QStringLiteral("three")));
    {
        // A change the files did not take leaves no line, now or with the next change.
        FailingDisk full(0);
        EXPECT_THROW(book.registerWord(QStringLiteral("lost"), QStringLiteral("m"), {}),
                     RuntimeFailure);
        EXPECT_THROW(book.writeBack(), RuntimeFailure);
    }
    book.writeBack();

    std::vector<Entry> e = journalOf(folder);
    const std::vector<std::pair<Operation, QString>> expected = {
        {Operation::Register, "new"},  {Operation::Modify, "one"},   {Operation::Delete, "two"},
        {Operation::Register, "deux"}, {Operation::Delete, "three"}, {Operation::Compaction, ""}};
    ASSERT_EQ(e.size(), expected.size());
    for (size_t i = 0; i < e.size(); ++i) {
        EXPECT_EQ(e[i].operation, expected[i].first) << i;
        EXPECT_EQ(e[i].word, expected[i].second) << i;
        EXPECT_EQ(e[i].host, bookmanifest::thisHost());
        EXPECT_GT(e[i].time, 0);
    }
    // Hashed as stored: the padding an edit drops does not count.
    EXPECT_EQ(e[0].meaningHash, bookjournal::textHash(QStringLiteral("意味")));
    EXPECT_EQ(e[0].exampleHash, bookjournal::textHash(QStringLiteral("例")));
    EXPECT_NE(e[0].meaningHash, e[0].exampleHash);
    EXPECT_EQ(e[1].meaningHash, bookjournal::textHash(QStringLiteral("m1b")));
    EXPECT_EQ(e[4].meaningHash, 0u);
    // Each change names the generation its files became; a renaming is one change.
    EXPECT_LT(e[0].generation, e[1].generation);
    EXPECT_LT(e[1].generation, e[2].generation);
    EXPECT_EQ(e[2].generation, e[3].generation);
    EXPECT_LT(e[3].generation, e[4].generation);
    EXPECT_EQ(e.back().generation, bookmanifest::generation(folder));

    // A crash cut the last line short: readers pass over it and the next change cuts it away.
    {
        QFile journal(folder + u'/' + bookjournal::FileName);
        ASSERT_TRUE(journal.open(QIODevice::Append));
        journal.write("1765000000\thost\t9\tregis");
    }
    int damaged = -1;
    EXPECT_EQ(journalOf(folder, &damaged).size(), expected.size());
    EXPECT_EQ(damaged, 0);
    Book again(folder);
    again.open();
    again.registerWord(QStringLiteral("after"), QStringLiteral("m"), {});
    e = journalOf(folder, &damaged);
    EXPECT_EQ(damaged, 0);
    ASSERT_EQ(e.size(), expected.size() + 1);
    EXPECT_EQ(e.back().word, "after");
}

// Files replaced underneath (a restore, another machine's version): this program's edits applied
// again on top change the files again, and the journal says so.
TEST(BookJournal, EditsAppliedAgainAfterAReloadAreJournaledAgain) {
    TempAppFolder app;
    const QString folder = app.file(QStringLiteral("book"));
    const QString saved = app.file(QStringLiteral("saved"));
    BookBuilder(folder).add("one", "m1", "").write();
    Book book(folder);
    book.open();
    book.registerWord(QStringLiteral("two"), QStringLiteral("m2"), {});
    QDir().mkpath(saved);
    for (const QString& name : QDir(folder).entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(folder + u'/' + name, saved + u'/' + name));
    book.registerWord(QStringLiteral("three"), QStringLiteral("m3"), {});
    // The folder as it was before "three", written anew as a restore does.
    for (const QString& name : QDir(saved).entryList(QDir::Files)) {
        QFile::remove(folder + u'/' + name);
        ASSERT_TRUE(QFile::copy(saved + u'/' + name, folder + u'/' + name));
    }
    ASSERT_EQ(journalOf(folder).size(), 1u);

    EXPECT_EQ(book.session().reloadIfChanged().reapplied, 1); // "two" is there already
    const std::vector<Entry> e = journalOf(folder);
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[1].word, "three");
    EXPECT_EQ(e[1].generation, bookmanifest::generation(folder));
    EXPECT_GT(e[1].generation, e[0].generation);
}

Entry change(const char* host, quint64 generation, Operation op, const QString& word,
             const char* meaning = "") {
    return Entry{1765000000 + qint64(generation),
                 QString::fromUtf8(host),
                 generation,
                 op,
                 op == Operation::Delete ? 0 : bookjournal::textHash(meaning),
                 0,
                 word};
}

QByteArray lines(const std::vector<Entry>& entries) {
    QByteArray out;
    for (const Entry& e : entries)
        out += bookjournal::line(e);
    return out;
}

TEST(BookJournal, DivergedJournalsTellEachSidesOwnChangesSinceTheyParted) {
    const std::vector<Entry> shared = {change("a", 1, Operation::Register, "both", "x"),
                                       change("a", 2, Operation::Register, "old", "o")};
    const std::vector<Entry> here = {change("a", 3, Operation::Modify, "mine", "1"),
                                     change("a", 4, Operation::Modify, "mine", "2"),
                                     change("a", 5, Operation::Delete, "old")};
    const std::vector<Entry> there = {change("b", 3, Operation::Register, "theirs", "t"),
                                      change("b", 4, Operation::Modify, "both", "y")};
    std::vector<Entry> first = shared, second = shared;
    first.insert(first.end(), here.begin(), here.end());
    second.insert(second.end(), there.begin(), there.end());
    // The second side merged an earlier version of the first's, whose lines come after its own.
    second.push_back(here[0]);

    const bookjournal::Divergence d = bookjournal::diverged(lines(first), lines(second));
    EXPECT_EQ(d.commonGeneration, 3u);
    ASSERT_EQ(d.onlyFirst.size(), 2);
    EXPECT_EQ(d.onlyFirst.value("mine").meaningHash, bookjournal::textHash("2"));
    EXPECT_TRUE(d.onlyFirst.value("old").deleted);
    ASSERT_EQ(d.onlySecond.size(), 2);
    EXPECT_FALSE(d.onlySecond.value("theirs").deleted);
    EXPECT_EQ(d.onlySecond.value("both").meaningHash, bookjournal::textHash("y"));
    EXPECT_EQ(d.secondsOwnLines, lines(there));

    // A torn line is no change; the same journal on both sides has none.
    const bookjournal::Divergence torn =
        bookjournal::diverged(lines(shared), lines(shared) + "1765000000\tb\t3\tdelete\t0\t0\tbo");
    EXPECT_EQ(torn.commonGeneration, 2u);
    EXPECT_TRUE(torn.onlyFirst.isEmpty());
    EXPECT_TRUE(torn.onlySecond.isEmpty());
}

// A long journal keeps its newest whole lines; a journal shortened on one side still tells each
// side's own changes from the other's.
TEST(BookJournal, AShortenedJournalKeepsItsNewestLinesAndStillTellsWhoChangedWhat) {
    TempAppFolder app;
    const QString path = app.file(bookjournal::FileName);
    std::vector<Entry> history;
    for (int i = 1; i <= 100000; ++i)
        history.push_back(change("a", quint64(i), Operation::Modify, QString::number(i), "m"));
    const QByteArray all = lines(history);
    bookjournal::append(path, all);
    const QByteArray kept = bookjournal::read(path);
    EXPECT_LT(kept.size(), all.size() / 2 + 1);
    EXPECT_GT(kept.size(), 1024 * 1024);
    ASSERT_TRUE(all.endsWith(kept));
    EXPECT_EQ(all.at(all.size() - kept.size() - 1), '\n');

    const QByteArray here = lines({change("a", 100001, Operation::Modify, "mine", "1")});
    const QByteArray there = lines({change("b", 100001, Operation::Modify, "theirs", "2")});
    const bookjournal::Divergence d = bookjournal::diverged(kept + here, all + there);
    EXPECT_EQ(d.onlyFirst.keys(), QStringList{"mine"});
    EXPECT_EQ(d.onlySecond.keys(), QStringList{"theirs"});
    EXPECT_EQ(d.secondsOwnLines, there);
}

// With the safety for synchronised folders off, a write leaves no journal line and takes the
// manifest away, so that one left from before cannot refuse the book once the safety is on again.
TEST(BookJournal, WithTheSafetyOffAWriteKeepsNeitherJournalNorManifest) {
    TempAppFolder app;
    const QString folder = app.file(QStringLiteral("book"));
    BookBuilder(folder).add("one", "m1", "").write();
    {
        Book book(folder);
        book.open();
        book.registerWord(QStringLiteral("two"), QStringLiteral("m2"), {});
    }
    ASSERT_TRUE(QFile::exists(folder + u'/' + bookmanifest::FileName));
    const QByteArray journal = bookjournal::read(folder + u'/' + bookjournal::FileName);
    ASSERT_FALSE(journal.isEmpty());

    bookmanifest::setKept(false);
    {
        Book book(folder);
        book.open();
        book.registerWord(QStringLiteral("three"), QStringLiteral("m3"), {});
    }
    bookmanifest::setKept(true);
    EXPECT_FALSE(QFile::exists(folder + u'/' + bookmanifest::FileName));
    EXPECT_EQ(bookjournal::read(folder + u'/' + bookjournal::FileName), journal);
    EXPECT_EQ(bookContents(folder), (QStringList{"one|m1|", "three|m3|", "two|m2|"}));
}

} // namespace
