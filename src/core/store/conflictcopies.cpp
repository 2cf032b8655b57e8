// SPDX-License-Identifier: GPL-3.0-or-later
#include "conflictcopies.h"

#include "core/files/failure.h"
#include "core/store/book.h"
#include "core/text/cp932.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <map>

namespace conflictcopies {

namespace {

const QStringList BookFiles = {bookfile::Words, bookfile::Meanings, bookfile::Examples};

QString bookFileOf(const QString& base) {
    for (const QString& f : BookFiles)
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

} // namespace

std::optional<CopyName> recognise(const QString& fileName) {
    // Syncthing puts its mark between the name and the extension.
    static const QRegularExpression syncthing(
        QStringLiteral("^(words|means|reis)(\\.sync-conflict-\\d{8}-\\d{6}-[0-9A-Z]{7})\\.vtd$"));
    // Nextcloud and Dropbox put theirs in parentheses before the extension: "(conflicted copy
    // 2026-12-08 123456)", "(conflict copy ...)", "(Machine's conflicted copy 2026-12-08)";
    // Dropbox adds " (1)" when the name is taken already.
    static const QRegularExpression parenthesised(
        QStringLiteral("^(words|means|reis)( \\([^()]*\\bconflict(?:ed)? copy\\b[^()]*\\)(?: "
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
    for (const QString& n : {words, meanings, examples})
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
        if (copy->bookFile == bookfile::Words)
            v.words = name;
        else if (copy->bookFile == bookfile::Meanings)
            v.meanings = name;
        else
            v.examples = name;
    }
    std::vector<Version> versions;
    for (auto& [key, v] : byVersion)
        versions.push_back(std::move(v));
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
    for (const auto& [name, asBook] : files)
        if (!name.isEmpty() &&
            !QFile::copy(bookFolder + u'/' + name, copyFolder.path() + u'/' + asBook))
            throw RuntimeFailure(failure::PathFileAccess, bookFolder + u'/' + name);

    const BookSide book = readSide(bookFolder);
    const BookSide copy = readSide(copyFolder.path());
    const BookSide ancestor = ancestorFolder.isEmpty() ? BookSide{} : readSide(ancestorFolder);
    const auto unchangedSince = [&](const QByteArray& word, const Side& s) {
        const auto it = ancestor.words.constFind(word);
        return it != ancestor.words.cend() && *it == s;
    };

    MergeReport report;
    BookWriter writer(bookFolder, std::move(hook));
    const auto write = [&](const QByteArray& word, const Side& s) {
        writer.add(QByteArrayView(word), s.meaning, s.example);
    };
    for (const QByteArray& word : book.order) {
        const Side& mine = book.words.value(word);
        const auto other = copy.words.constFind(word);
        if (other == copy.words.cend()) {
            if (unchangedSince(word, mine))
                ++report.deleted; // the other machine deleted it
            else
                write(word, mine);
            continue;
        }
        if (*other == mine || unchangedSince(word, *other)) {
            write(word, mine);
        } else if (unchangedSince(word, mine)) {
            write(word, *other);
            ++report.changed;
        } else {
            const QString shown = Book::wordFromBytes(word);
            const BookMerge::Duplicate both{
                shown, cp932::decode(mine.meaning),   cp932::decode(mine.example),
                shown, cp932::decode(other->meaning), cp932::decode(other->example)};
            const bool takeCopy = askBoth(both) == BookMerge::Side::B;
            write(word, takeCopy ? *other : mine);
            report.changed += takeCopy;
            ++report.asked;
        }
    }
    for (const QByteArray& word : copy.order) {
        if (book.words.contains(word))
            continue;
        const Side& theirs = copy.words.value(word);
        if (unchangedSince(word, theirs)) {
            ++report.deleted; // this machine deleted it
            continue;
        }
        write(word, theirs);
        ++report.added;
    }
    report.written = writer.count();
    writer.commit();

    if (!QDir().mkpath(asideFolder))
        throw RuntimeFailure(failure::PathNotFound, asideFolder);
    for (const QString& name : version.files())
        moveAside(bookFolder, name, asideFolder);
    return report;
}

} // namespace conflictcopies
