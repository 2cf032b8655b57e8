// SPDX-License-Identifier: GPL-3.0-or-later
// A book replaced by an import, a merge or a compaction is killed at each step of the
// replacement. Whatever reads the folder afterwards, before the program opens it again, must see
// the book the next open will show: the checking tool, and an import or merge taking the folder
// as its source. Old words beside new meanings must never come out anywhere.
#include "core/store/book.h"
#include "core/store/booktransfer.h"
#include "core/store/conflictcopies.h"
#include "core/journal/bookjournal.h"
#include "support/bookbuilder.h"
#include "support/tempappfolder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

void PrintTo(const QStringList& l, std::ostream* os) {
    *os << l.join(u", ").toStdString();
}

namespace {

struct Check {
    QStringList listed; // "word|meaning|example" per listed word
    QString problems;
    int exitCode = -1;
};

Check bookcheck(const QString& folder) {
    QProcess process;
    process.start(QStringLiteral(BOOKCHECK_PATH), {folder});
    Check c;
    if (!process.waitForFinished(30000))
        return c;
    c.exitCode = process.exitCode();
    c.problems = QString::fromUtf8(process.readAllStandardError());
    const QStringList lines =
        QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        const QStringList f = line.split(u'\t');
        c.listed << (f.size() == 4 ? f[0] + u'|' + f[2] + u'|' + f[3] : line);
    }
    return c;
}

enum class Action { Import, Merge, Compact, Conflict };

const char* nameOf(Action a) {
    return a == Action::Import    ? "import"
           : a == Action::Merge   ? "merge"
           : a == Action::Compact ? "compact"
                                  : "conflict";
}

// The books of one run: a sending book, a second book for the merge and the book replaced,
// each word's meaning and example naming its book and itself, so a word shown with another
// word's records stands out.
struct Books {
    TempAppFolder app;
    QString sending = app.file(QStringLiteral("S"));
    QString other = app.file(QStringLiteral("O"));
    QString replaced = app.file(QStringLiteral("T"));

    static void build(const QString& folder, const QString& tag, const QStringList& words) {
        BookBuilder b(folder);
        for (const QString& w : words)
            b.add(w, tag + QStringLiteral(":m:") + w, tag + QStringLiteral(":e:") + w);
        b.write();
    }

    explicit Books(Action action) {
        build(sending, "S", {"alpha", "beta", "gamma", "delta", "epsilon"});
        build(other, "O", {"beta", "zeta"});
        QStringList kept = {"old1", "old2", "old3", "old4", "old5", "old6"};
        if (action == Action::Compact) // the worker deletes it, so every record moves
            kept.prepend("gone");
        build(replaced, "T", kept);
        if (action == Action::Conflict) { // the other book left as another machine's version
            for (const QString& name : {bookfile::Words, bookfile::Meanings, bookfile::Examples})
                QFile::copy(other + u'/' + name,
                            replaced + u'/' + name.chopped(4) +
                                QStringLiteral(".sync-conflict-20261208-123456-ABCDEF7.vtd"));
            // Each machine's journal registered its own words after a change both had.
            writeJournal(replaced + u'/' + bookjournal::FileName, "T", kept);
            writeJournal(replaced + QStringLiteral(
                                        "/ChangeJournal.sync-conflict-20261208-123456-ABCDEF7.vtd"),
                         "O", {"beta", "zeta"});
        }
    }

    static void writeJournal(const QString& path, const QString& tag, const QStringList& words) {
        QByteArray lines = bookjournal::line(
            {1765000000, "shared", 1, bookjournal::Operation::Compaction, 0, 0, {}});
        for (const QString& w : words)
            lines += bookjournal::line({1765000001, tag, 2, bookjournal::Operation::Register,
                                        bookjournal::textHash(tag + ":m:" + w),
                                        bookjournal::textHash(tag + ":e:" + w), w});
        bookjournal::append(path, lines);
    }
    QByteArray journal() const { return app.read(QStringLiteral("T/") + bookjournal::FileName); }

    QStringList arguments(Action action, CompactionStep step) const {
        const QString s = QString::number(int(step));
        switch (action) {
        case Action::Import:
            return {"import", s, sending, replaced};
        case Action::Merge:
            return {"merge", s, sending, other, replaced};
        case Action::Compact:
            return {"compact", s, replaced, "gone"};
        case Action::Conflict:
            return {"conflict", s, replaced, app.file(QStringLiteral("aside"))};
        }
        return {};
    }

    // Runs the worker, which kills itself at step; true when it died there.
    bool killAt(Action action, CompactionStep step) const {
        QProcess worker;
        worker.start(QStringLiteral(KILL_CHILD_PATH), arguments(action, step));
        return worker.waitForFinished(30000) && worker.exitStatus() == QProcess::CrashExit;
    }
    // Runs the worker with no step to stop at; true when it got to its end.
    bool runToEnd(Action action) const {
        QProcess worker;
        worker.start(QStringLiteral(KILL_CHILD_PATH), arguments(action, CompactionStep(-1)));
        return worker.waitForFinished(30000) && worker.exitStatus() == QProcess::NormalExit &&
               worker.exitCode() == 4;
    }
};

// What the replaced book holds once the action finished without a kill.
QStringList finished(Action action) {
    Books run(action);
    const QByteArray journal = run.journal();
    if (!run.runToEnd(action))
        ADD_FAILURE() << "the worker did not finish";
    // The merge decided by the journals; the book's journal now has the other side's lines too.
    if (action == Action::Conflict) {
        const bookjournal::Parsed merged = bookjournal::parse(run.journal());
        EXPECT_TRUE(run.journal().startsWith(journal));
        EXPECT_EQ(merged.entries.size(), 9u); // the shared line, six and two
        EXPECT_EQ(merged.entries.back().word, "zeta");
        EXPECT_EQ(merged.damagedLines, 0);
    }
    return bookContents(run.replaced);
}

class KilledReplacement : public ::testing::TestWithParam<Action> {};

TEST_P(KilledReplacement, EveryReaderSeesTheBookTheNextOpenShows) {
    const Action action = GetParam();
    const QStringList after = finished(action);
    QStringList before;
    {
        Books run(action);
        before = bookContents(run.replaced);
        if (action == Action::Compact) // deleted before the compaction started
            before.removeIf([](const QString& line) { return line.startsWith("gone|"); });
    }
    ASSERT_EQ(after.size(), action == Action::Compact  ? 6
                            : action == Action::Import ? 5
                            : action == Action::Merge  ? 7
                                                       : 8);

    for (CompactionStep step :
         {CompactionStep::MeaningsTempWritten, CompactionStep::ExamplesTempWritten,
          CompactionStep::WordsTempCommitted, CompactionStep::MeaningsReplaced,
          CompactionStep::ExamplesReplaced, CompactionStep::WordsReplaced,
          CompactionStep::TemporariesRemoved}) {
        SCOPED_TRACE(std::string(nameOf(action)) + " killed at step " + std::to_string(int(step)));
        Books run(action);
        const QByteArray journalBefore = run.journal();
        ASSERT_TRUE(run.killAt(action, step));
        const bool committed = step >= CompactionStep::WordsTempCommitted;
        const QStringList expected = committed ? after : before;
        const QStringList filesAfterKill = run.app.entries(QStringLiteral("T"));

        // The checking tool lists the book as it will read and says what the next start does.
        const Check check = bookcheck(run.replaced);
        EXPECT_EQ(check.listed, expected);
        const bool pending = committed && step < CompactionStep::TemporariesRemoved;
        EXPECT_EQ(check.problems.contains(QStringLiteral("次の起動で完了します")), pending)
            << check.problems.toStdString();

        // An import and a merge that take the folder as their source copy that same book.
        const QString copy = run.app.file(QStringLiteral("copy"));
        QDir().mkpath(copy);
        booktransfer::importBook(run.replaced, copy);
        EXPECT_EQ(bookContents(copy), expected);
        const QString empty = run.app.file(QStringLiteral("empty"));
        QDir().mkpath(empty);
        const QString merged = run.app.file(QStringLiteral("merged"));
        QDir().mkpath(merged);
        BookMerge merge(run.replaced, empty, merged, BookMerge::Policy::Both);
        EXPECT_TRUE(merge.run());
        EXPECT_EQ(bookContents(merged), expected);

        // Reading changed nothing; the next open finishes the job and shows the same book.
        EXPECT_EQ(run.app.entries(QStringLiteral("T")), filesAfterKill);
        EXPECT_EQ(bookContents(run.replaced), expected);
        const Check afterOpen = bookcheck(run.replaced);
        EXPECT_EQ(afterOpen.exitCode, 0) << afterOpen.problems.toStdString();
        EXPECT_EQ(afterOpen.listed, expected);
        // The copies leave the book folder only once it holds the merge; until then the merge
        // can run again.
        if (action == Action::Conflict) {
            EXPECT_EQ(conflictcopies::find(run.replaced).size(), 1u);
            EXPECT_EQ(conflictcopies::find(run.replaced)[0].files().size(), 4);
            EXPECT_EQ(run.journal(), journalBefore);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ImportMergeCompaction, KilledReplacement,
                         ::testing::Values(Action::Import, Action::Merge, Action::Compact,
                                           Action::Conflict),
                         [](const auto& info) { return std::string(nameOf(info.param)); });

} // namespace
