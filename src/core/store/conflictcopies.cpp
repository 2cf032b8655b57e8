// SPDX-License-Identifier: GPL-3.0-or-later
#include "conflictcopies.h"

#include "book.h"
#include "core/files/failure.h"
#include "core/journal/bookjournal.h"
#include "core/store/book.h"
#include "core/text/cp932.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>

namespace conflictcopies {

namespace {

const QStringList BookFiles = {bookfile::Words, bookfile::Meanings, bookfile::Examples};

QString bookFileOf(const QString& base) {
    for (const QString& f : BookFiles + QStringList{bookjournal::FileName})
        if (f.chopped(4) == base)
            return f;
    return {};
}

QByteArrayView trimmedRecord(QByteArrayView v) {
    while (!v.isEmpty() && (v.back() == ' ' || v.back() == '\0'))
        v.chop(1);
    return v;
}

// A word of one side: its record texts without their padding, seen in the side's records.
struct Side {
    QByteArrayView meaning, example;
    bool operator==(const Side& o) const { return meaning == o.meaning && example == o.example; }
};

constexpr std::size_t NoEntry = std::size_t(-1);

// One side's entries in file order. A spelling may be registered more than once with different
// meanings, so entries are kept as they are, never folded by spelling: the entries of a spelling
// are chained from the first in file order.
struct BookSide {
    struct Entry {
        QByteArray word;
        Side side;
        std::size_t nextSameSpelling = NoEntry;
    };
    std::unique_ptr<BookRecords> records; // the bytes the sides look at
    std::vector<Entry> entries;
    QHash<QByteArray, std::size_t> firstOfSpelling;

    // The entries of a spelling in file order, into out (emptied first).
    void spelled(const QByteArray& word, std::vector<std::size_t>& out) const {
        out.clear();
        for (std::size_t i = firstOfSpelling.value(word, NoEntry); i != NoEntry;
             i = entries[i].nextSameSpelling)
            out.push_back(i);
    }
    bool holds(const QByteArray& word, const Side& s) const {
        for (std::size_t i = firstOfSpelling.value(word, NoEntry); i != NoEntry;
             i = entries[i].nextSameSpelling)
            if (entries[i].side == s)
                return true;
        return false;
    }
};

BookSide readSide(const QString& folder) {
    BookSide side;
    side.records = std::make_unique<BookRecords>(folder);
    const std::vector<Book::StoredWord> words = readStoredWords(folder);
    side.entries.reserve(words.size());
    side.firstOfSpelling.reserve(qsizetype(words.size()));
    // The last entry of each spelling so far, to chain the next one behind it.
    QHash<QByteArray, std::size_t> lastOfSpelling;
    for (const Book::StoredWord& w : words) {
        const std::size_t at = side.entries.size();
        side.entries.push_back({w.bytes,
                                {trimmedRecord(side.records->meaning(w.recordNo)),
                                 trimmedRecord(side.records->example(w.recordNo))}});
        const auto first = side.firstOfSpelling.constFind(w.bytes);
        if (first == side.firstOfSpelling.cend()) {
            side.firstOfSpelling.insert(w.bytes, at);
        } else {
            // 0 is no entry here: a later entry of a spelling is never the first of the file.
            std::size_t& last = lastOfSpelling[w.bytes];
            side.entries[last ? last : *first].nextSameSpelling = at;
            last = at;
        }
    }
    return side;
}

// Pairs the book's entries with the copy's of the same spelling: equal entries first, the rest by
// their order among that spelling. The index of each book entry's partner in the copy, or -1.
std::vector<qsizetype> pairEntries(const BookSide& book, const BookSide& copy) {
    std::vector<qsizetype> partner(book.entries.size(), -1);
    std::vector<std::size_t> ours, theirs;
    std::vector<bool> taken;
    for (auto it = book.firstOfSpelling.cbegin(); it != book.firstOfSpelling.cend(); ++it) {
        book.spelled(it.key(), ours);
        copy.spelled(it.key(), theirs);
        taken.assign(theirs.size(), false);
        for (const std::size_t b : ours)
            for (std::size_t c = 0; c < theirs.size(); ++c)
                if (!taken[c] && copy.entries[theirs[c]].side == book.entries[b].side) {
                    taken[c] = true;
                    partner[b] = qsizetype(theirs[c]);
                    break;
                }
        std::size_t next = 0;
        for (const std::size_t b : ours) {
            if (partner[b] >= 0)
                continue;
            while (next < theirs.size() && taken[next])
                ++next;
            if (next == theirs.size())
                break;
            taken[next] = true;
            partner[b] = qsizetype(theirs[next]);
        }
    }
    return partner;
}

void moveAside(const QString& bookFolder, const QString& name, const QString& asideFolder) {
    const QString from = bookFolder + u'/' + name;
    QString to = asideFolder + u'/' + name;
    // An earlier merge may have left a copy of the same name there; both are kept.
    for (int n = 2; QFile::exists(to); ++n)
        to = asideFolder + u'/' + QString::number(n) + u'-' + name;
    if (!QFile::rename(from, to))
        throw RuntimeFailure(failure::PathFileAccess, from);
}

// The journal without a torn last line, so that lines added after it start on a line of their own.
QByteArray completeLines(QByteArray journal) {
    journal.truncate(journal.lastIndexOf('\n') + 1);
    return journal;
}

enum class Take { Book, Copy, Ask };

// What the merge knows of how the two sides came apart.
struct History {
    std::optional<bookjournal::Divergence> journals;
    BookSide ancestor;
    bool hasAncestor = false;

    // Which side's version of a word the two sides hold differently to take; a side without the
    // word (nullptr) taken means the word goes.
    Take decide(const QByteArray& word, const Side* mine, const Side* theirs) const {
        if (journals) {
            const QString shown = Book::wordFromBytes(word);
            bool mineChanged = false;
            bool theirsChanged = false;
            for (const auto* changes : {&journals->onlyFirst, &journals->onlySecond}) {
                const auto it = changes->constFind(shown);
                if (it == changes->cend())
                    continue;
                mineChanged = mineChanged || leftAs(*it, mine);
                theirsChanged = theirsChanged || leftAs(*it, theirs);
            }
            if (mineChanged != theirsChanged)
                return mineChanged ? Take::Book : Take::Copy;
            if (mineChanged)
                return mine && theirs ? Take::Ask : mine ? Take::Book : Take::Copy;
            // Neither journal explains the difference (a change from before journals): decided
            // as without them.
        } else if (hasAncestor) {
            if (mine && theirs) {
                if (ancestor.holds(word, *theirs))
                    return Take::Book;
                if (ancestor.holds(word, *mine))
                    return Take::Copy;
                return Take::Ask;
            }
            const Side* present = mine ? mine : theirs;
            // Still as both sides had it: the side without it deleted it.
            if (ancestor.holds(word, *present))
                return mine ? Take::Copy : Take::Book;
            return mine ? Take::Book : Take::Copy;
        }
        if (mine && theirs)
            return Take::Ask;
        return mine ? Take::Book : Take::Copy;
    }

    // Whether a side holds the word as a change in a journal left it.
    static bool leftAs(const bookjournal::LastChange& change, const Side* side) {
        if (change.deleted)
            return side == nullptr;
        return side && change.meaningHash == bookjournal::textHash(cp932::decode(side->meaning)) &&
               change.exampleHash == bookjournal::textHash(cp932::decode(side->example));
    }
};

} // namespace

std::optional<CopyName> recognise(const QString& fileName) {
    // Syncthing puts its mark between the name and the extension.
    static const QRegularExpression syncthing(QStringLiteral(
        "^(words|means|reis|ChangeJournal)(\\.sync-conflict-\\d{8}-\\d{6}-[0-9A-Z]{7})\\.vtd$"));
    // Nextcloud and Dropbox put theirs in parentheses before the extension: "(conflicted copy
    // 2026-12-08 123456)", "(conflict copy ...)", "(Machine's conflicted copy 2026-12-08)";
    // Dropbox adds " (1)" when the name is taken already.
    static const QRegularExpression parenthesised(
        QStringLiteral(
            "^(words|means|reis|ChangeJournal)( \\([^()]*\\bconflict(?:ed)? copy\\b[^()]*\\)(?: "
            "\\(\\d+\\))?)\\.vtd$"),
        QRegularExpression::CaseInsensitiveOption);
    for (const QRegularExpression* re : {&syncthing, &parenthesised}) {
        const QRegularExpressionMatch m = re->match(fileName);
        if (m.hasMatch())
            return CopyName{bookFileOf(m.captured(1)), m.captured(2)};
    }
    return std::nullopt;
}

std::optional<QString> manifestCopyMark(const QString& fileName) {
    static const QRegularExpression manifestCopy(
        QStringLiteral(
            "^manifest(\\.sync-conflict-\\d{8}-\\d{6}-[0-9A-Z]{7}| \\([^()]*\\bconflict(?:ed)? "
            "copy\\b[^()]*\\)(?: \\(\\d+\\))?)\\.vtm$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = manifestCopy.match(fileName);
    return m.hasMatch() ? std::optional<QString>(m.captured(1)) : std::nullopt;
}

QStringList Version::files() const {
    QStringList names;
    for (const QString& n : {words, meanings, examples, journal})
        if (!n.isEmpty())
            names << n;
    return names + unsure;
}

namespace {

// How far apart a tool's stamps on the files of one version can lie: it handles them one after
// the other, and a second can turn over in between.
constexpr qint64 StampTolerance = 5;

// What a copy's mark says of its version: the machine (Syncthing's device tag, the user in a
// Nextcloud mark) and the time, when the mark carries one to the second.
struct Stamp {
    QString machine;
    QDateTime time;
};

Stamp stampOf(const QString& version) {
    static const QRegularExpression syncthing(
        QStringLiteral("^\\.sync-conflict-(\\d{8})-(\\d{6})-([0-9A-Z]{7})$"));
    static const QRegularExpression timed(
        QStringLiteral("^(.*)(\\d{4}-\\d{2}-\\d{2}) (\\d{6})(.*)$"));
    // Read as UTC: only the distance between stamps matters, and local time has gaps.
    const auto at = [](const QString& date, const char* dateFormat, const QString& time) {
        return QDateTime(QDate::fromString(date, QLatin1String(dateFormat)),
                         QTime::fromString(time, QStringLiteral("HHmmss")), Qt::UTC);
    };
    if (const auto m = syncthing.match(version); m.hasMatch())
        return {QStringLiteral("syncthing ") + m.captured(3),
                at(m.captured(1), "yyyyMMdd", m.captured(2))};
    if (const auto m = timed.match(version); m.hasMatch())
        return {m.captured(1) + m.captured(4), at(m.captured(2), "yyyy-MM-dd", m.captured(3))};
    return {version, {}};
}

struct Copy {
    QString name;
    QString bookFile;
    QString version;
    Stamp stamp;
};

QString& slotOf(Version& v, const QString& bookFile) {
    if (bookFile == bookjournal::FileName)
        return v.journal;
    if (bookFile == bookfile::Words)
        return v.words;
    if (bookFile == bookfile::Meanings)
        return v.meanings;
    return v.examples;
}

} // namespace

std::vector<Version> find(const QString& bookFolder) {
    std::vector<Copy> copies;
    const QStringList names = QDir(bookFolder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names)
        if (const std::optional<CopyName> copy = recognise(name))
            copies.push_back({name, copy->bookFile, copy->version, stampOf(copy->version)});
    // Per machine by time; copies without a time to the second group by their whole mark.
    std::stable_sort(copies.begin(), copies.end(), [](const Copy& a, const Copy& b) {
        if (a.stamp.machine != b.stamp.machine)
            return a.stamp.machine < b.stamp.machine;
        return a.stamp.time < b.stamp.time;
    });
    std::vector<Version> grouped;
    std::vector<QString> machineOf;
    const Copy* previous = nullptr;
    for (const Copy& c : copies) {
        const bool sameVersion =
            previous && previous->stamp.machine == c.stamp.machine &&
            (c.stamp.time.isValid()
                 ? previous->stamp.time.isValid() &&
                       previous->stamp.time.secsTo(c.stamp.time) <= StampTolerance
                 : previous->version == c.version);
        if (!sameVersion) {
            grouped.push_back({});
            grouped.back().version = c.version;
            machineOf.push_back(c.stamp.machine);
        }
        QString& slot = slotOf(grouped.back(), c.bookFile);
        if (slot.isEmpty())
            slot = c.name;
        else
            grouped.back().unsure << c.name;
        previous = &c;
    }
    // A version missing a file that another group of the same machine holds alone may have lost
    // it to a slow handling: the two cannot be put together safely, nor taken apart.
    for (std::size_t i = 0; i < grouped.size(); ++i)
        for (std::size_t j = 0; j < grouped.size(); ++j) {
            Version& v = grouped[i];
            const Version& o = grouped[j];
            if (i == j || machineOf[i] != machineOf[j] || !o.words.isEmpty() || v.words.isEmpty())
                continue;
            if ((v.meanings.isEmpty() && !o.meanings.isEmpty()) ||
                (v.examples.isEmpty() && !o.examples.isEmpty()))
                v.unsure << o.files();
        }
    std::vector<Version> versions;
    std::vector<QString> strayJournals;
    for (Version& v : grouped) {
        if (v.files() == QStringList{v.journal} && v.unsure.isEmpty())
            strayJournals.push_back(v.journal);
        else
            versions.push_back(std::move(v));
    }
    if (strayJournals.size() == 1 && versions.size() == 1 && versions[0].journal.isEmpty())
        versions[0].journal = strayJournals[0];
    std::sort(versions.begin(), versions.end(),
              [](const Version& a, const Version& b) { return a.files() < b.files(); });
    return versions;
}

MergeReport merge(const QString& bookFolder, const Version& version, const QString& asideFolder,
                  const AskBoth& askBoth, const QString& ancestorFolder, TransferHook hook) {
    if (!version.usable())
        throw RuntimeFailure(failure::FileNotFound,
                             bookFolder + u'/' +
                                 (version.words.isEmpty() ? version.version : version.meanings));
    // The copy's files are read under the book's own names, from a folder of their own, outside
    // the book folder so that a kill leaves nothing there that a sync tool would spread.
    QTemporaryDir copyFolder;
    if (!copyFolder.isValid())
        throw RuntimeFailure(failure::PathFileAccess, bookFolder);
    const std::pair<QString, QString> files[] = {{version.words, bookfile::Words},
                                                 {version.meanings, bookfile::Meanings},
                                                 {version.examples, bookfile::Examples}};
    // Linked rather than copied where the system allows: the copies are only read.
    for (const auto& [name, asBook] : files)
        if (!name.isEmpty() &&
            !QFile::link(QFileInfo(bookFolder + u'/' + name).absoluteFilePath(),
                         copyFolder.path() + u'/' + asBook) &&
            !QFile::copy(bookFolder + u'/' + name, copyFolder.path() + u'/' + asBook))
            throw RuntimeFailure(failure::PathFileAccess, bookFolder + u'/' + name);

    const BookSide book = readSide(bookFolder);
    const BookSide copy = readSide(copyFolder.path());
    const QString journalPath = bookFolder + u'/' + bookjournal::FileName;
    const QByteArray bookJournal = completeLines(bookjournal::read(journalPath));
    History history;
    if (!version.journal.isEmpty()) {
        history.journals = bookjournal::diverged(
            bookJournal, bookjournal::read(bookFolder + u'/' + version.journal));
    } else if (!ancestorFolder.isEmpty()) {
        history.ancestor = readSide(ancestorFolder);
        history.hasAncestor = true;
    }

    MergeReport report;
    BookWriter writer(bookFolder, std::move(hook));
    const auto write = [&](const QByteArray& word, const Side& s) {
        writer.add(QByteArrayView(word), s.meaning, s.example);
    };
    const auto decideAndWrite = [&](const QByteArray& word, const Side* mine, const Side* theirs) {
        if (mine && theirs && *mine == *theirs) {
            write(word, *mine);
            return;
        }
        Take take = history.decide(word, mine, theirs);
        if (take == Take::Ask) {
            const QString shown = Book::wordFromBytes(word);
            const BookMerge::Duplicate both{
                shown, cp932::decode(mine->meaning),   cp932::decode(mine->example),
                shown, cp932::decode(theirs->meaning), cp932::decode(theirs->example)};
            take = askBoth(both) == BookMerge::Side::B ? Take::Copy : Take::Book;
            ++report.asked;
        }
        const Side* taken = take == Take::Book ? mine : theirs;
        if (!taken) {
            ++report.deleted;
            return;
        }
        write(word, *taken);
        if (take == Take::Copy)
            ++(mine ? report.changed : report.added);
    };
    const std::vector<qsizetype> partner = pairEntries(book, copy);
    std::vector<bool> copyPaired(copy.entries.size(), false);
    for (std::size_t i = 0; i < book.entries.size(); ++i) {
        const BookSide::Entry& e = book.entries[i];
        if (partner[i] >= 0)
            copyPaired[std::size_t(partner[i])] = true;
        decideAndWrite(e.word, &e.side,
                       partner[i] >= 0 ? &copy.entries[std::size_t(partner[i])].side : nullptr);
    }
    for (std::size_t i = 0; i < copy.entries.size(); ++i)
        if (!copyPaired[i])
            decideAndWrite(copy.entries[i].word, nullptr, &copy.entries[i].side);
    report.written = writer.count();
    writer.commit();

    // The book's journal takes the other side's changes, so that a later divergence is measured
    // from this merge; a kill before this leaves the old journal, and the merge can run again,
    // and one during it leaves at most a torn last line, which readers pass over.
    if (history.journals && !history.journals->secondsOwnLines.isEmpty())
        bookjournal::append(journalPath, history.journals->secondsOwnLines);

    if (!QDir().mkpath(asideFolder))
        throw RuntimeFailure(failure::PathNotFound, asideFolder);
    for (const QString& name : version.files())
        moveAside(bookFolder, name, asideFolder);
    // The tool's copies of the manifest describe versions that are one book now, whose own
    // manifest the merge wrote: left in the folder they would only pile up.
    for (const QString& name : QDir(bookFolder).entryList(QDir::Files))
        if (manifestCopyMark(name))
            moveAside(bookFolder, name, asideFolder);
    return report;
}

} // namespace conflictcopies
