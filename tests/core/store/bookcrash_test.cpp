// SPDX-License-Identifier: GPL-3.0-or-later
// Kills a process editing a 10,000-word book (and taking edits back) at random moments and checks
// what the next open finds: every edit finished before the kill is there, the one under way is
// there entirely or not at all, and nothing else changed. The seed is printed; VERBANTA_CRASH_SEED
// replays a run and VERBANTA_CRASH_TRIALS sets how many kills it makes.
#include "core/store/book.h"
#include "core/store/storedtext.h"
#include "support/bookbuilder.h"
#include "support/tempappfolder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <chrono>
#include <gtest/gtest.h>
#include <iostream>
#include <random>
#include <thread>

namespace {

struct Texts {
    QString meaning;
    QString example;
    bool operator==(const Texts&) const = default;
};
using Contents = QHash<QString, Texts>;

// What the book holds, as the program opens it.
Contents contentsOf(const QString& folder) {
    Book book(folder);
    book.open();
    Contents out;
    for (int p = 0; p < book.index().size(); ++p) {
        const IndexEntry& e = book.index().at(p);
        EXPECT_FALSE(out.contains(e.word)) << "twice: " << e.word.toStdString();
        out.insert(e.word, {storedtext::trimmedRight(book.meaning(e.recordNo)),
                            storedtext::trimmedRight(book.example(e.recordNo))});
    }
    return out;
}

// Applies one edit line of the worker ("B" and its fields) to the expected contents.
void apply(Contents& c, const QStringList& f) {
    if (f[1] == "R") {
        c.insert(f[2], {f[3], f[4]});
    } else if (f[1] == "M") {
        c.remove(f[2]);
        c.insert(f[3], {f[4], f[5]});
    } else if (f[1] == "D") {
        c.remove(f[2]);
    } else if (f[1] == "X") {
        for (int i = 2; i < f.size(); ++i)
            c.remove(f[i]);
    } else if (f[1] == "A") {
        for (int i = 2; i + 2 < f.size(); i += 3)
            c.insert(f[i], {f[i + 1], f[i + 2]});
    }
}

unsigned seedToUse() {
    bool ok = false;
    const unsigned given = qEnvironmentVariable("VERBANTA_CRASH_SEED").toUInt(&ok);
    return ok ? given : std::random_device{}();
}

int trialsToRun() {
    bool ok = false;
    const int given = qEnvironmentVariableIntValue("VERBANTA_CRASH_TRIALS", &ok);
    return ok && given > 0 ? given : 60;
}

TEST(BookCrash, EveryFinishedEditSurvivesAKill) {
    const unsigned seed = seedToUse();
    std::cout << "crash test seed: " << seed << " (VERBANTA_CRASH_SEED=" << seed << " replays it)"
              << std::endl;
    RecordProperty("seed", std::to_string(seed));
    std::mt19937 random(seed);

    TempAppFolder app;
    const QString folder = app.file(QStringLiteral("book"));
    Contents expected;
    {
        BookBuilder b(folder);
        for (int i = 1; i <= 10000; ++i) {
            const QString w = QStringLiteral("w%1").arg(i, 5, 10, QLatin1Char('0'));
            const Texts t{QStringLiteral("意味:") + w, QStringLiteral("例:") + w};
            b.add(w, t.meaning, t.example);
            expected.insert(w, t);
        }
        b.write();
    }

    const int trials = trialsToRun();
    int finishedEdits = 0;
    int killedMidEdit = 0;
    int killedMidCompaction = 0;
    for (int trial = 0; trial < trials; ++trial) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", trial " + std::to_string(trial));
        QProcess child;
        child.start(QStringLiteral(CRASH_CHILD_PATH),
                    {folder, QString::number(seed + unsigned(trial))});
        ASSERT_TRUE(child.waitForStarted());
        QByteArray output;
        while (!output.contains("ready\n")) {
            ASSERT_TRUE(child.waitForReadyRead(30000))
                << child.readAllStandardError().toStdString();
            output += child.readAllStandardOutput();
        }
        // Anywhere from before the first edit to well into a compaction.
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 40000));
        child.kill();
        ASSERT_TRUE(child.waitForFinished(30000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit)
            << "the worker stopped by itself: " << child.readAllStandardError().toStdString();
        output += child.readAllStandardOutput();

        QStringList pending;
        const QStringList lines = QString::fromUtf8(output).split(u'\n', Qt::SkipEmptyParts);
        for (const QString& line : lines) {
            if (line == "ready")
                continue;
            if (line == "D") {
                apply(expected, pending);
                pending.clear();
                ++finishedEdits;
            } else {
                pending = line.split(u'\t');
            }
        }
        Contents after = expected;
        if (!pending.isEmpty()) {
            apply(after, pending);
            ++killedMidEdit;
            killedMidCompaction += pending[1] == "C";
        }
        const Contents found = contentsOf(folder);
        if (found != expected && found != after) {
            int shown = 0;
            for (auto it = found.cbegin(); it != found.cend() && shown < 10; ++it)
                if (expected.value(it.key()) != it.value() && after.value(it.key()) != it.value()) {
                    ADD_FAILURE() << "word " << it.key().toStdString() << ": "
                                  << it.value().meaning.toStdString() << " / "
                                  << it.value().example.toStdString();
                    ++shown;
                }
            for (auto it = expected.cbegin(); it != expected.cend() && shown < 10; ++it)
                if (!found.contains(it.key()) && after.contains(it.key())) {
                    ADD_FAILURE() << "missing: " << it.key().toStdString();
                    ++shown;
                }
            FAIL() << "the book after the kill is neither the one before the last edit nor the "
                      "one after it (last edit: "
                   << pending.join(u' ').toStdString() << ")";
        }
        expected = found;
        for (const QString& name :
             {bookfile::MeaningsTemp, bookfile::ExamplesTemp, bookfile::WordsTemp})
            EXPECT_FALSE(QFile::exists(folder + u'/' + name)) << name.toStdString();
        EXPECT_TRUE(app.entries(QStringLiteral("book")).filter(bookfile::SetAsidePrefix).isEmpty());
    }
    std::cout << trials << " kills, " << finishedEdits << " edits finished before them, "
              << killedMidEdit << " kills in the middle of an edit, " << killedMidCompaction
              << " of them in a compaction" << std::endl;
    EXPECT_GT(killedMidEdit, 0);
}

} // namespace
