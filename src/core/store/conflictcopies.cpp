// SPDX-License-Identifier: GPL-3.0-or-later
#include "conflictcopies.h"

#include "book.h"
#include "core/files/failure.h"
#include "core/journal/bookjournal.h"
#include "core/store/book.h"
#include "core/text/cp932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <map>

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

// A word of one side: its stored bytes and record texts without their padding.
struct Side {
    QByteArray meaning, example;
    bool operator==(const Side& o) const { return meaning == o.meaning && example == o.example; }
};

struct BookSide {
    std::vector<QByteArray> order; // stored words in file order
    QHash<QByteArray, Side> words;
};

BookSide readSide(const QString& folder) {
    BookSide side;
    const BookRecords records(folder);
    for (const Book::StoredWord& w : readStoredWords(folder)) {
        if (side.words.contains(w.bytes))
            continue; // a repeated line names the same word; the first one is the one shown
        side.order.push_back(w.bytes);
        side.words.insert(w.bytes, {trimmedRecord(records.meaning(w.recordNo)).toByteArray(),
                                    trimmedRecord(records.example(w.recordNo)).toByteArray()});
    }
    return side;
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
            const auto it = ancestor.words.constFind(word);
            const bool known = it != ancestor.words.cend();
            if (mine && theirs) {
                if (known && *it == *theirs)
                    return Take::Book;
                if (known && *it == *mine)
                    return Take::Copy;
                return Take::Ask;
            }
            const Side* present = mine ? mine : theirs;
            // Still as both sides had it: the side without it deleted it.
            if (known && *it == *present)
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

QStringList Version::files() const {
    QStringList names;
    for (const QString& n : {words, meanings, examples, journal})
        if (!n.isEmpty())
            names << n;
    return names;
}

std::vector<Version> find(const QString& bookFolder) {
    std::map<QString, Version> byVersion;
    const QStringList names = QDir(bookFolder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names) {
        const std::optional<CopyName> copy = recognise(name);
        if (!copy)
            continue;
        Version& v = byVersion[copy->version];
        v.version = copy->version;
        if (copy->bookFile == bookjournal::FileName)
            v.journal = name;
        else if (copy->bookFile == bookfile::Words)
            v.words = name;
        else if (copy->bookFile == bookfile::Meanings)
            v.meanings = name;
        else
            v.examples = name;
    }
    std::vector<Version> versions;
    std::vector<QString> strayJournals;
    for (auto& [key, v] : byVersion) {
        if (v.files() == QStringList{v.journal})
            strayJournals.push_back(v.journal);
        else
            versions.push_back(std::move(v));
    }
    if (strayJournals.size() == 1 && versions.size() == 1 && versions[0].journal.isEmpty())
        versions[0].journal = strayJournals[0];
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
    for (const QByteArray& word : book.order) {
        const auto other = copy.words.constFind(word);
        decideAndWrite(word, &book.words.find(word).value(),
                       other == copy.words.cend() ? nullptr : &other.value());
    }
    for (const QByteArray& word : copy.order)
        if (!book.words.contains(word))
            decideAndWrite(word, nullptr, &copy.words.find(word).value());
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
    return report;
}

} // namespace conflictcopies
