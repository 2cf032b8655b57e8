// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/failure.h"
#include "core/history/bookbackup.h"
#include "core/history/historysettings.h"
#include "core/history/wordhistory.h"
#include "core/store/book.h"
#include "support/bookbuilder.h"
#include "support/failingdisk.h"
#include "support/tempappfolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

QString trimmedRight(QString s) {
    while (s.endsWith(u' '))
        s.chop(1);
    return s;
}

struct Fixture {
    TempAppFolder app;
    QString folder = app.file(QStringLiteral("book"));

    Fixture() {
        BookBuilder b(folder);
        for (const char* w : {"apple", "banana", "cherry", "damson"})
            b.add(w, QStringLiteral("m:") + w, QStringLiteral("e:") + w);
        b.write();
    }
    QByteArray bytes(const QString& name) const { return app.read(QStringLiteral("book/") + name); }
};

// The book's words as "word=meaning/example*" (star: checked), in index order.
QStringList contents(const Book& book) {
    QStringList out;
    for (int p = 0; p < book.index().size(); ++p) {
        const IndexEntry& e = book.index().at(p);
        out << e.word + u'=' + trimmedRight(book.meaning(e.recordNo)) + u'/' +
                   trimmedRight(book.example(e.recordNo)) +
                   (e.checkMark ? QStringLiteral("*") : QString());
    }
    return out;
}

QStringList withoutMarks(QStringList list) {
    return list.replaceInStrings(QStringLiteral("*"), QString());
}

bool isChecked(const Book& book, const char* word) {
    const int p = book.index().find(QString::fromUtf8(word));
    return p >= 0 && book.index().at(p).checkMark;
}

// The same words read afresh from the files.
QStringList onDisk(const QString& folder) {
    Book book(folder);
    book.open(/*readOnly=*/true);
    return contents(book);
}

TEST(WordHistory, EachKindOfEditGoesBackAndForthAndReachesTheFiles) {
    Fixture f;
    Book book(f.folder);
    book.open();
    WordHistory history;
    history.attach(f.folder);
    const QStringList original = contents(book);

    // Registration.
    int p = book.registerWord(QStringLiteral("elder"), QStringLiteral("m:elder"), QString());
    history.record({EditStep::Kind::Register, {}, {WordHistory::stateAt(book, p)}});
    const QStringList registered = contents(book);
    // Modification of a checked word: spelling, meaning and example change, the mark stays.
    book.index().setCheckMark(book.index().find(QStringLiteral("banana")), true);
    const WordState beforeModify = WordHistory::stateAt(book, book.index().find("banana"));
    p = book.modifyWord(book.index().find("banana"), QStringLiteral("bananas"),
                        QStringLiteral("m2"), QStringLiteral("e2"));
    history.record({EditStep::Kind::Modify, {beforeModify}, {WordHistory::stateAt(book, p)}});
    const QStringList modified = contents(book);
    // Deletion of a checked word.
    book.index().setCheckMark(book.index().find("cherry"), true);
    const WordState cherry = WordHistory::stateAt(book, book.index().find("cherry"));
    book.deleteWord(book.index().find("cherry"));
    history.record({EditStep::Kind::Delete, {cherry}, {}});
    const QStringList deleted = contents(book);
    // A change of marks.
    const WordState apple = WordHistory::stateAt(book, book.index().find("apple"));
    book.index().setCheckMark(book.index().find("apple"), true);
    history.record({EditStep::Kind::CheckMarks,
                    {apple},
                    {WordHistory::stateAt(book, book.index().find("apple"))}});
    const QStringList marked = contents(book);
    // Deletion of the checked words (apple, bananas).
    const std::vector<WordState> checked = WordHistory::checkedWords(book);
    ASSERT_EQ(checked.size(), 2u);
    book.deleteChecked();
    history.record({EditStep::Kind::DeleteChecked, checked, {}});
    const QStringList checkDeleted = contents(book);

    const QStringList states[] = {original, registered, modified, deleted, marked, checkDeleted};
    const QString undoTexts[] = {QStringLiteral("「elder」の登録を元に戻しました"),
                                 QStringLiteral("「banana」の修正を元に戻しました"),
                                 QStringLiteral("「cherry」の削除を元に戻しました"),
                                 QStringLiteral("「apple」のチェックマークの変更を元に戻しました"),
                                 QStringLiteral("2語のチェック項目の削除を元に戻しました")};
    // Marks set by hand between the steps are not steps: the words are compared without them,
    // and the marks the steps carry are checked on their own.
    for (int round = 0; round < 2; ++round) {
        for (int i = 4; i >= 0; --i) {
            const WordHistory::Result r = history.undo(book);
            EXPECT_TRUE(r.done);
            EXPECT_EQ(r.message, undoTexts[i]);
            EXPECT_EQ(withoutMarks(contents(book)), withoutMarks(states[i]))
                << "after undoing step " << i;
            if (i == 4)
                EXPECT_TRUE(isChecked(book, "apple") && isChecked(book, "bananas"));
            if (i == 3)
                EXPECT_FALSE(isChecked(book, "apple"));
            if (i == 2)
                EXPECT_TRUE(isChecked(book, "cherry"));
            if (i == 1)
                EXPECT_TRUE(isChecked(book, "banana"));
        }
        EXPECT_FALSE(history.canUndo());
        EXPECT_FALSE(history.undo(book).done);
        for (int i = 1; i <= 5; ++i) {
            EXPECT_TRUE(history.redo(book).done);
            EXPECT_EQ(withoutMarks(contents(book)), withoutMarks(states[i]))
                << "after redoing step " << i;
        }
        EXPECT_FALSE(history.canRedo());
    }
    // What the files hold is what the index shows (marks are not stored).
    history.undo(book);
    history.undo(book);
    EXPECT_EQ(onDisk(f.folder), withoutMarks(contents(book)));
}

TEST(WordHistory, StepsOutliveCompactionAndReopeningAndANewEditDropsRedo) {
    Fixture f;
    WordHistory history;
    history.attach(f.folder);
    {
        Book book(f.folder);
        book.open();
        const WordState banana = WordHistory::stateAt(book, book.index().find("banana"));
        book.deleteWord(book.index().find("banana"));
        history.record({EditStep::Kind::Delete, {banana}, {}});
        book.writeBack(); // compaction renumbers every record
    }
    Book book(f.folder);
    book.open();
    EXPECT_EQ(history.undo(book).message, QStringLiteral("「banana」の削除を元に戻しました"));
    EXPECT_EQ(contents(book),
              QStringList({"apple=m:apple/e:apple", "banana=m:banana/e:banana",
                           "cherry=m:cherry/e:cherry", "damson=m:damson/e:damson"}));
    ASSERT_TRUE(history.canRedo());
    history.record({EditStep::Kind::CheckMarks, {}, {}});
    EXPECT_FALSE(history.canRedo());

    // Another book starts a history of its own; the same book keeps it.
    history.attach(f.folder + u'/');
    EXPECT_TRUE(history.canUndo());
    history.attach(f.app.file(QStringLiteral("other")));
    EXPECT_FALSE(history.canUndo());
}

TEST(WordHistory, AWordChangedOutsideTheHistoryIsReportedAndNothingChanges) {
    Fixture f;
    Book book(f.folder);
    book.open();
    WordHistory history;
    const WordState apple = WordHistory::stateAt(book, book.index().find("apple"));
    const int p = book.modifyWord(book.index().find("apple"), QStringLiteral("apricot"),
                                  QStringLiteral("m"), QString());
    history.record({EditStep::Kind::Modify, {apple}, {WordHistory::stateAt(book, p)}});
    book.deleteWord(book.index().find("apricot"));
    const QByteArray words = f.bytes(bookfile::Words);
    const WordHistory::Result r = history.undo(book);
    EXPECT_FALSE(r.done);
    EXPECT_EQ(r.message, QStringLiteral("「apricot」が見つからないため元に戻せませんでした"));
    EXPECT_EQ(f.bytes(bookfile::Words), words);
}

TEST(WordHistory, UndoOfSeveralDeletionsCommitsOnceAndAFullDiskChangesNothing) {
    Fixture f;
    Book book(f.folder);
    book.open();
    WordHistory history;
    for (const char* w : {"apple", "cherry", "damson"})
        book.index().setCheckMark(book.index().find(w), true);
    history.record({EditStep::Kind::DeleteChecked, WordHistory::checkedWords(book), {}});
    book.deleteChecked();
    const QByteArray words = f.bytes(bookfile::Words);
    const QStringList before = contents(book);
    {
        // Room for the three words' records, none for the word file that would name them.
        FailingDisk disk(3 * (bookfile::MeaningSize + bookfile::ExampleSize));
        EXPECT_THROW(history.undo(book), RuntimeFailure);
    }
    EXPECT_EQ(f.bytes(bookfile::Words), words);
    EXPECT_EQ(contents(book), before);
    EXPECT_TRUE(history.canUndo());
    EXPECT_TRUE(history.undo(book).done);
    EXPECT_EQ(onDisk(f.folder).size(), 4);
}

// A merge leaves two copies of one word; a step on the second copy changes that copy alone.
TEST(WordHistory, AStepOnTheSecondOfTwoCopiesOfAWordChangesThatCopy) {
    TempAppFolder app;
    const QString folder = app.file(QStringLiteral("book"));
    BookBuilder(folder).add("cat", "m:first", "e").add("cat", "m:second", "e").write();
    Book book(folder);
    book.open();
    // The copies' meanings and marks, in the list's order.
    const auto copies = [&book] {
        QStringList out;
        for (int p = book.index().lowerBound(QStringLiteral("cat")); p < book.index().size(); ++p)
            out << trimmedRight(book.meaning(book.index().at(p).recordNo)) +
                       (book.index().at(p).checkMark ? QStringLiteral("*") : QString());
        return out;
    };
    const int first = book.index().lowerBound(QStringLiteral("cat"));
    const int second = first + 1;
    ASSERT_EQ(copies(), QStringList({"m:first", "m:second"}));
    book.index().setCheckMark(first, true);
    WordHistory history;
    const WordState unmarked = WordHistory::stateAt(book, second);
    book.index().setCheckMark(second, true);
    history.record({EditStep::Kind::CheckMarks, {unmarked}, {WordHistory::stateAt(book, second)}});

    ASSERT_TRUE(history.undo(book).done);
    EXPECT_EQ(copies(), QStringList({"m:first*", "m:second"}));
    book.index().setCheckMark(first, false);
    ASSERT_TRUE(history.redo(book).done);
    EXPECT_EQ(copies(), QStringList({"m:first", "m:second*"}));
}

// A redo the disk refused changes nothing and stays to be tried again once there is room.
TEST(WordHistory, ARedoAFullDiskRefusedCanBeTriedAgain) {
    Fixture f;
    Book book(f.folder);
    book.open();
    WordHistory history;
    for (const char* w : {"apple", "cherry"})
        book.index().setCheckMark(book.index().find(w), true);
    history.record({EditStep::Kind::DeleteChecked, WordHistory::checkedWords(book), {}});
    book.deleteChecked();
    const QStringList deleted = contents(book);
    ASSERT_TRUE(history.undo(book).done);
    const QByteArray words = f.bytes(bookfile::Words);
    const QStringList before = contents(book);
    {
        FailingDisk disk(0);
        EXPECT_THROW(history.redo(book), RuntimeFailure);
    }
    EXPECT_EQ(f.bytes(bookfile::Words), words);
    EXPECT_EQ(contents(book), before);
    EXPECT_TRUE(history.canRedo());
    EXPECT_FALSE(history.canUndo());
    EXPECT_TRUE(history.redo(book).done);
    EXPECT_EQ(contents(book), deleted);
    EXPECT_EQ(onDisk(f.folder),
              QStringList({"banana=m:banana/e:banana", "damson=m:damson/e:damson"}));
    EXPECT_TRUE(history.canUndo());
}

// ---- Backups -------------------------------------------------------------------------------

TEST(BookBackups, ABackupCopiesTheBookAndDescribesIt) {
    Fixture f;
    BookBackups backups(f.app.path());
    const BookBackup b = backups.create(QStringLiteral("book"), f.folder, QStringLiteral("取込み"));
    EXPECT_TRUE(b.folder.startsWith(f.app.file(QStringLiteral("backup/book/"))));
    for (const QString& name : {bookfile::Words, bookfile::Meanings, bookfile::Examples}) {
        QFile copy(b.folder + u'/' + name);
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly)) << name.toStdString();
        EXPECT_EQ(copy.readAll(), f.bytes(name));
    }
    const std::vector<BookBackup> listed = backups.list(QStringLiteral("book"));
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].operation, QStringLiteral("取込み"));
    EXPECT_EQ(listed[0].wordCount, 4);
    EXPECT_EQ(listed[0].when.toString("yyyyMMddHHmmss"), b.when.toString("yyyyMMddHHmmss"));
    // Nothing else is left beside the backup.
    EXPECT_EQ(f.app.entries(QStringLiteral("backup/book")).size(), 1);
}

TEST(BookBackups, OnlyTheNewestAreKept) {
    Fixture f;
    BookBackups backups(f.app.path(), 10);
    for (int i = 0; i < 12; ++i)
        backups.create(QStringLiteral("book"), f.folder, QString::number(i), i);
    const std::vector<BookBackup> listed = backups.list(QStringLiteral("book"));
    ASSERT_EQ(listed.size(), 10u);
    EXPECT_EQ(listed.front().operation, QStringLiteral("11"));
    EXPECT_EQ(listed.back().operation, QStringLiteral("2"));
    EXPECT_EQ(f.app.entries(QStringLiteral("backup/book")).size(), 10);
    BookBackups three(f.app.path(), 3);
    three.create(QStringLiteral("book"), f.folder, QStringLiteral("x"));
    EXPECT_EQ(three.list(QStringLiteral("book")).size(), 3u);
}

TEST(BookBackups, RestoreKeepsThePresentAndBringsTheBackupBack) {
    Fixture f;
    BookBackups backups(f.app.path());
    const BookBackup old = backups.create(QStringLiteral("book"), f.folder, QStringLiteral("統合"));
    {
        Book book(f.folder);
        book.open();
        book.deleteWord(book.index().find("apple"));
        book.registerWord(QStringLiteral("fig"), QStringLiteral("m:fig"), QStringLiteral("e:fig"));
        book.writeBack();
    }
    const QStringList changed = onDisk(f.folder);
    backups.restore(old, QStringLiteral("book"), f.folder);
    EXPECT_EQ(onDisk(f.folder),
              QStringList({"apple=m:apple/e:apple", "banana=m:banana/e:banana",
                           "cherry=m:cherry/e:cherry", "damson=m:damson/e:damson"}));
    const std::vector<BookBackup> listed = backups.list(QStringLiteral("book"));
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].operation, QStringLiteral("バックアップから戻す前"));
    EXPECT_EQ(onDisk(listed[0].folder), changed);
}

TEST(BookBackups, RestoringTheOldestWhenTheLimitIsReachedStillWorks) {
    Fixture f;
    BookBackups backups(f.app.path(), 2);
    const BookBackup oldest = backups.create(QStringLiteral("book"), f.folder, QStringLiteral("a"));
    {
        Book book(f.folder);
        book.open();
        book.registerWord(QStringLiteral("fig"), QStringLiteral("m:fig"), QStringLiteral("e:fig"));
        book.writeBack();
    }
    backups.create(QStringLiteral("book"), f.folder, QStringLiteral("b"));
    backups.restore(oldest, QStringLiteral("book"), f.folder);
    EXPECT_EQ(onDisk(f.folder).size(), 4);
    EXPECT_EQ(backups.list(QStringLiteral("book")).size(), 2u);
}

TEST(BookBackups, AFullDiskLeavesNoBackupAndTheOthersAsTheyWere) {
    for (const qint64 budget : {qint64(0), qint64(150), qint64(900)}) {
        Fixture f;
        BookBackups backups(f.app.path());
        backups.create(QStringLiteral("book"), f.folder, QStringLiteral("first"));
        const QStringList before = f.app.entries(QStringLiteral("backup/book"));
        {
            FailingDisk disk(budget);
            EXPECT_THROW(backups.create(QStringLiteral("book"), f.folder, QStringLiteral("x")),
                         RuntimeFailure)
                << budget;
        }
        EXPECT_EQ(f.app.entries(QStringLiteral("backup/book")), before) << budget;
        EXPECT_EQ(backups.list(QStringLiteral("book")).size(), 1u);
    }
    Fixture f;
    FailingDisk syncs(-1);
    syncs.failSyncs();
    EXPECT_THROW(BookBackups(f.app.path()).create(QStringLiteral("book"), f.folder, {}),
                 RuntimeFailure);
    EXPECT_TRUE(f.app.entries(QStringLiteral("backup/book")).isEmpty());
}

TEST(HistorySettings, DefaultsUnlessTheFileSaysOtherwise) {
    TempAppFolder app;
    EXPECT_TRUE(HistorySettings::read(app.path()).enabled);
    EXPECT_EQ(HistorySettings::read(app.path()).backupsKept, 10);
    app.write(HistorySettings::FileName, "#FALSE#,3\r\n");
    EXPECT_FALSE(HistorySettings::read(app.path()).enabled);
    EXPECT_EQ(HistorySettings::read(app.path()).backupsKept, 3);
    app.write(HistorySettings::FileName, "garbage");
    EXPECT_TRUE(HistorySettings::read(app.path()).enabled);
}

} // namespace
