// SPDX-License-Identifier: GPL-3.0-or-later
#include "bookgen.h"
#include "core/files/atomicfile.h"
#include "core/history/bookbackup.h"
#include "core/history/wordhistory.h"
#include "core/store/book.h"
#include "core/store/bookmanifest.h"
#include "core/store/booksession.h"
#include "core/store/incrementalsearch.h"
#include "core/text/cp932.h"
#include "core/store/booktransfer.h"
#include "core/store/conflictcopies.h"
#include "core/journal/bookjournal.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <sys/resource.h>

namespace {

// A private copy of a generated book, for benchmarks that change it.
QString copyOfBook(int n, QTemporaryDir& dir) {
    const QString source = bookgen::book(n);
    for (const QString& name : {bookfile::Words, bookfile::Meanings, bookfile::Examples})
        QFile::copy(source + u'/' + name, dir.path() + u'/' + name);
    return dir.path();
}

double peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

} // namespace

// Read, decode, parse and sort the word file: the book ready to show.
static void BM_OpenBook(benchmark::State& state) {
    const QString folder = bookgen::book(int(state.range(0)));
    for (auto _ : state) {
        auto book = std::make_unique<Book>(folder);
        book->open(/*readOnly=*/true);
        benchmark::DoNotOptimize(book->index().size());
        state.PauseTiming(); // freeing the index is not part of opening
        book.reset();
        state.ResumeTiming();
    }
    state.counters["peak_rss_mb"] = peakRssMb();
}
BENCHMARK(BM_OpenBook)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);

// The same open of a book that carries a manifest, as every book does after its first write:
// the set is checked against it before the words are read.
static void BM_OpenBookWithManifest(benchmark::State& state) {
    QTemporaryDir dir;
    const QString folder = copyOfBook(int(state.range(0)), dir);
    bookmanifest::endWrite(folder);
    if (bookmanifest::check(folder).state != bookmanifest::State::Whole) {
        state.SkipWithError("the manifest does not describe the book");
        return;
    }
    for (auto _ : state) {
        auto book = std::make_unique<Book>(folder);
        book->open(/*readOnly=*/true);
        benchmark::DoNotOptimize(book->index().size());
        state.PauseTiming();
        book.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenBookWithManifest)->Arg(100000)->Unit(benchmark::kMillisecond);

static void BM_PrefixSearch(benchmark::State& state) {
    Book book(bookgen::book(int(state.range(0))));
    book.open(true);
    const QStringList words = bookgen::words(int(state.range(0)));
    int i = 0;
    for (auto _ : state) {
        // A keystroke that extends the text: the search goes on from the last match.
        IncrementalSearch search;
        const QString& word = words[(i++ * 7919) % words.size()];
        benchmark::DoNotOptimize(search.textChanged(book.index(), word.left(4)));
    }
}
BENCHMARK(BM_PrefixSearch)->Arg(200000)->Unit(benchmark::kMicrosecond);

static void BM_PatternSearch(benchmark::State& state) {
    Book book(bookgen::book(int(state.range(0))));
    book.open(true);
    for (auto _ : state) {
        IncrementalSearch search;
        // Text that begins with a wildcard and matches nothing: every character of every word
        // is tested.
        benchmark::DoNotOptimize(search.textChanged(book.index(), QStringLiteral("*!")));
    }
}
BENCHMARK(BM_PatternSearch)->Arg(200000)->Unit(benchmark::kMillisecond);

static void BM_FindWord(benchmark::State& state) {
    Book book(bookgen::book(int(state.range(0))));
    book.open(true);
    const QStringList words = bookgen::words(int(state.range(0)));
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(book.index().find(words[(i++ * 7919) % words.size()].toUpper()));
}
BENCHMARK(BM_FindWord)->Arg(200000)->Unit(benchmark::kMicrosecond);

static void BM_ReadRecord(benchmark::State& state) {
    Book book(bookgen::book(int(state.range(0))));
    book.open(true);
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(book.meaning(1 + (i++ * 7919) % int(state.range(0))));
}
BENCHMARK(BM_ReadRecord)->Arg(100000)->Unit(benchmark::kMicrosecond);

// Index insert, two records written and synced, the word file rewritten atomically.
static void BM_Register(benchmark::State& state) {
    QTemporaryDir dir;
    Book book(copyOfBook(int(state.range(0)), dir));
    book.open();
    int i = 0;
    for (auto _ : state) {
        const int p = book.registerWord(QStringLiteral("newword%1").arg(i++),
                                        QStringLiteral("新しい意味"), QStringLiteral("新しい例文"));
        state.PauseTiming();
        book.index().removeAt(p); // keep the book at its size
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Register)->Arg(100000)->Unit(benchmark::kMillisecond);

// Another machine's version of an open book arrives (a word registered and one modified there);
// timed from the files in place to the book read again with this session's own two edits applied
// on top.
static void BM_DetectExternalChange(benchmark::State& state) {
    const int n = int(state.range(0));
    QTemporaryDir thereDir;
    const QString there = copyOfBook(n, thereDir);
    {
        Book book(there);
        book.open();
        book.registerWord(QStringLiteral("fromthere"), QStringLiteral("向こうの意味"), {});
        book.modifyWord(book.index().size() / 3, book.index().at(book.index().size() / 3).word,
                        QStringLiteral("向こうで直した意味"), {});
        book.writeBack();
    }
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        Book book(copyOfBook(n, dir));
        book.open();
        book.registerWord(QStringLiteral("fromhere"), QStringLiteral("こちらの意味"), {});
        book.modifyWord(book.index().size() / 2, book.index().at(book.index().size() / 2).word,
                        QStringLiteral("こちらで直した意味"), {});
        // As a sync tool brings the folder: the three files, then the manifest that commits them.
        for (const QString& name :
             {bookfile::Words, bookfile::Meanings, bookfile::Examples, bookmanifest::FileName}) {
            QFile::copy(there + u'/' + name, dir.path() + QStringLiteral("/incoming"));
            QFile::remove(dir.path() + u'/' + name);
            QFile::rename(dir.path() + QStringLiteral("/incoming"), dir.path() + u'/' + name);
        }
        state.ResumeTiming();
        const BookSession::ReloadReport report = book.session().reloadIfChanged();
        if (report.reapplied != 2)
            state.SkipWithError("the session's edits were not applied again");
        state.PauseTiming();
        book.close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DetectExternalChange)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);

// Compaction with a tenth of the records deleted, flushed to disk.
static void BM_Compact(benchmark::State& state) {
    const int n = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        Book book(copyOfBook(n, dir));
        book.open();
        for (int p = 0; p < book.index().size(); p += 10)
            book.index().setCheckMark(p, true);
        book.deleteChecked();
        state.ResumeTiming();
        book.compact();
    }
}
BENCHMARK(BM_Compact)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);

// One undo of a deletion: the word, its records and its mark come back through the store.
static void BM_UndoDelete(benchmark::State& state) {
    QTemporaryDir dir;
    Book book(copyOfBook(int(state.range(0)), dir));
    book.open();
    WordHistory history;
    const int middle = book.index().size() / 2;
    for (auto _ : state) {
        state.PauseTiming();
        const WordState word = WordHistory::stateAt(book, middle);
        book.deleteWord(middle);
        history.record({EditStep::Kind::Delete, {word}, {}});
        state.ResumeTiming();
        benchmark::DoNotOptimize(history.undo(book));
    }
}
BENCHMARK(BM_UndoDelete)->Arg(100000)->Unit(benchmark::kMillisecond);

// The backup of a whole book before it is replaced: its three files copied and synced into a
// folder of their own, renamed into place. Read against BM_FloorCopyBooks.
static void BM_BackupBook(benchmark::State& state) {
    const int n = int(state.range(0));
    const QString source = bookgen::book(n);
    QTemporaryDir app;
    BookBackups backups(app.path(), 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(backups.create(QStringLiteral("book"), source, {}, n));
}
BENCHMARK(BM_BackupBook)->Arg(100000)->Unit(benchmark::kMillisecond);

// Two copies of a book of n words, each changed by 1,000 edits while apart (modifications, a few
// deletions and registrations, ten words changed on both sides), merged word by word through
// their change journals as a conflict copy is merged. Read against BM_Merge in bench_tools.
namespace {

struct DivergedCopies {
    QTemporaryDir dir;
    QString here = dir.path() + QStringLiteral("/here");
    QString there = dir.path() + QStringLiteral("/there");
};

// Writes one side: the base book with its edits, and the shared journal with its own lines.
void writeSide(const QString& folder, const QString& base, const QByteArray& sharedJournal,
               const QString& host, int offset) {
    constexpr int Edits = 1000;
    constexpr int Modified = 940;
    constexpr int Deleted = 30;
    constexpr int BothSides = 10;
    QDir().mkpath(folder);
    const std::vector<Book::StoredWord> words = readStoredWords(base);
    const BookRecords records(base);
    // The generated words repeat now and then; edits go to words that appear once.
    QHash<QByteArray, int> seen;
    for (const Book::StoredWord& w : words)
        ++seen[w.bytes];
    std::vector<int> once;
    for (int i = 0; i < int(words.size()); ++i)
        if (seen.value(words[size_t(i)].bytes) == 1)
            once.push_back(i);
    QHash<int, int> edits; // word position -> edit number
    for (int j = 0; j < Modified + Deleted; ++j)
        edits.insert(once.at(size_t(j < BothSides ? 3 * j : 3 * j + offset)), j);
    QByteArray journal = sharedJournal;
    const auto log = [&](bookjournal::Operation op, const QString& word, const QString& meaning) {
        const bool gone = op == bookjournal::Operation::Delete;
        journal +=
            bookjournal::line({1765000000, host, 2, op, gone ? 0 : bookjournal::textHash(meaning),
                               gone ? 0 : bookjournal::textHash(QString()), word});
    };
    BookWriter writer(folder);
    for (int i = 0; i < int(words.size()); ++i) {
        const auto edit = edits.constFind(i);
        const QString word = Book::wordFromBytes(words[size_t(i)].bytes);
        if (edit == edits.cend()) {
            writer.add(QByteArrayView(words[size_t(i)].bytes),
                       records.meaning(words[size_t(i)].recordNo),
                       records.example(words[size_t(i)].recordNo));
        } else if (*edit < Modified) {
            const QString meaning = host + QStringLiteral("で直した意味");
            writer.add(QByteArrayView(words[size_t(i)].bytes), cp932::encode(meaning), {});
            log(bookjournal::Operation::Modify, word, meaning);
        } else {
            log(bookjournal::Operation::Delete, word, {});
        }
    }
    for (int j = Modified + Deleted; j < Edits; ++j) {
        const QString word = host + QString::number(j);
        writer.add(word, cp932::encode(QStringLiteral("新しい意味")), {});
        log(bookjournal::Operation::Register, word, QStringLiteral("新しい意味"));
    }
    writer.commit();
    writeFileAtomically(folder + u'/' + bookjournal::FileName, journal);
}

const DivergedCopies& divergedCopies(int n) {
    static std::map<int, std::unique_ptr<DivergedCopies>> made;
    auto& copies = made[n];
    if (copies)
        return *copies;
    copies = std::make_unique<DivergedCopies>();
    const QString base = bookgen::book(n);
    // The journal of a book whose words were all registered on one machine.
    QByteArray shared;
    const BookRecords records(base);
    for (const Book::StoredWord& w : readStoredWords(base))
        shared += bookjournal::line(
            {1764000000, QStringLiteral("desk"), 1, bookjournal::Operation::Register,
             bookjournal::textHash(cp932::decode(records.meaning(w.recordNo))),
             bookjournal::textHash(cp932::decode(records.example(w.recordNo))),
             Book::wordFromBytes(w.bytes)});
    writeSide(copies->here, base, shared, QStringLiteral("desk"), 1);
    writeSide(copies->there, base, shared, QStringLiteral("laptop"), 2);
    return *copies;
}

} // namespace

static void BM_MergeDiverged(benchmark::State& state) {
    const DivergedCopies& copies = divergedCopies(int(state.range(0)));
    const QString suffix = QStringLiteral(".sync-conflict-20261208-123456-ABCDEF7.vtd");
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        const QString book = dir.path() + QStringLiteral("/book");
        QDir().mkpath(book);
        for (const QString& name :
             {bookfile::Words, bookfile::Meanings, bookfile::Examples, bookjournal::FileName}) {
            QFile::copy(copies.here + u'/' + name, book + u'/' + name);
            QFile::copy(copies.there + u'/' + name, book + u'/' + name.chopped(4) + suffix);
        }
        const std::vector<conflictcopies::Version> versions = conflictcopies::find(book);
        state.ResumeTiming();
        int asked = 0;
        const conflictcopies::MergeReport report =
            conflictcopies::merge(book, versions.at(0), dir.path() + QStringLiteral("/aside"),
                                  [&](const BookMerge::Duplicate&) {
                                      ++asked;
                                      return BookMerge::Side::A;
                                  });
        if (asked != 10 || report.deleted != 60)
            state.SkipWithError("the journals did not tell the sides apart");
    }
}
BENCHMARK(BM_MergeDiverged)->Arg(100000)->Unit(benchmark::kMillisecond);

// The floors the ratios are read against.
static void BM_FloorReadWords(benchmark::State& state) {
    const QString path = bookgen::book(int(state.range(0))) + QStringLiteral("/words.vtd");
    for (auto _ : state) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        QString text = cp932::decode(f.readAll());
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_FloorReadWords)->Arg(100000)->Unit(benchmark::kMillisecond);

static void BM_FloorCopyBooks(benchmark::State& state) {
    const QString source = bookgen::book(int(state.range(0)));
    for (auto _ : state) {
        QTemporaryDir dir;
        for (const QString& name : {bookfile::Meanings, bookfile::Examples}) {
            QFile in(source + u'/' + name);
            in.open(QIODevice::ReadOnly);
            QFile out(dir.path() + u'/' + name);
            out.open(QIODevice::WriteOnly);
            out.write(in.readAll());
            out.flush();
            diskio::sync(out.handle(), out.fileName());
        }
    }
}
BENCHMARK(BM_FloorCopyBooks)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
