// SPDX-License-Identifier: GPL-3.0-or-later
#include "splitversions.h"

#include "core/files/diskio.h"
#include "core/store/book.h"
#include "core/store/bookmanifest.h"
#include "core/store/conflictcopies.h"

#include <QDir>
#include <QFile>
#include <array>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace splitversions {

namespace {

const std::array<QString, 3>& bookNames() {
    static const std::array<QString, 3> n{bookfile::Words, bookfile::Meanings, bookfile::Examples};
    return n;
}

using Files = std::array<QString, 3>; // a version's file for each book file; empty: it has none

// The version's file i among the candidates: the only one with the time its manifest names, or
// failing that the only one with its hash. Nothing when that is not one file.
std::optional<QString> choose(const QString& folder, const bookmanifest::Description& version,
                              int i, const QStringList& candidates) {
    if (!version.has(i))
        return QString();
    QStringList byTime, byHash;
    for (const QString& c : candidates)
        switch (version.fit(i, folder + u'/' + c)) {
        case bookmanifest::Description::Fit::ByTime:
            byTime << c;
            break;
        case bookmanifest::Description::Fit::ByHash:
            byHash << c;
            break;
        case bookmanifest::Description::Fit::No:
            break;
        }
    if (byTime.size() == 1)
        return byTime[0];
    if (byTime.isEmpty() && byHash.size() == 1)
        return byHash[0];
    return std::nullopt;
}

// A copy of a file both versions kept, with the original's time to the nanosecond, so that the
// manifest still knows it; written beside and renamed, like every new file.
void copyKeepingTime(const QString& from, const QString& to) {
    const QString partial = to + QStringLiteral(".part");
    diskio::removeIfPresent(partial);
    diskio::copyFile(from, partial);
    struct stat st {};
    if (::stat(QFile::encodeName(from).constData(), &st) == 0) {
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        ::utimensat(AT_FDCWD, QFile::encodeName(partial).constData(), times, 0);
    }
    diskio::rename(partial, to, to);
}

} // namespace

Outcome reassemble(const QString& folder) {
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    QStringList manifestCopies;
    for (const QString& n : names)
        if (conflictcopies::manifestCopyMark(n))
            manifestCopies << n;
    if (manifestCopies.isEmpty() || !names.contains(bookmanifest::FileName))
        return Outcome::Untouched;

    std::array<QStringList, 3> candidates;
    for (const QString& n : names) {
        const std::optional<conflictcopies::CopyName> copy = conflictcopies::recognise(n);
        for (int i = 0; i < 3; ++i)
            if (n == bookNames()[size_t(i)] || (copy && copy->bookFile == bookNames()[size_t(i)]))
                candidates[size_t(i)] << n;
    }
    const auto pair = [&](const QString& manifest) -> std::optional<Files> {
        const auto version = bookmanifest::Description::read(folder + u'/' + manifest);
        if (!version)
            return std::nullopt;
        Files files;
        for (int i = 0; i < 3; ++i) {
            const std::optional<QString> file = choose(folder, *version, i, candidates[size_t(i)]);
            if (!file)
                return std::nullopt;
            files[size_t(i)] = *file;
        }
        return files;
    };

    const std::optional<Files> book = pair(bookmanifest::FileName);
    if (!book)
        return Outcome::Untouched;
    struct Other {
        QString mark;
        Files files;
    };
    std::vector<Other> others;
    for (const QString& manifest : manifestCopies) {
        const std::optional<Files> files = pair(manifest);
        if (!files || *files == *book)
            continue; // only the manifest was copied, or its version cannot be told
        // The mark of its words copy, where it has one, so its files group with that copy: a
        // tool may stamp a version's copies with another machine's mark than its manifest's.
        QString mark = *conflictcopies::manifestCopyMark(manifest);
        for (int i = 0; i < 3; ++i)
            if (!(*files)[size_t(i)].isEmpty() && (*files)[size_t(i)] != bookNames()[size_t(i)]) {
                mark = conflictcopies::recognise((*files)[size_t(i)])->version;
                break;
            }
        others.push_back({mark, *files});
    }
    if (others.empty())
        return Outcome::Untouched;
    // A file under a book name that is no version's would have no place once moved: then the
    // folder is left as it is, for the user and the tool to settle.
    for (int i = 0; i < 3; ++i) {
        const QString& name = bookNames()[size_t(i)];
        if (!names.contains(name) || (*book)[size_t(i)] == name)
            continue;
        bool someones = false;
        for (const Other& o : others)
            someones = someones || o.files[size_t(i)] == name;
        if (!someones)
            return Outcome::Untouched;
    }

    bool changed = false;
    // First every other version's files take its mark, so that the book's names are free for the
    // book's version; a file the book's version keeps too is copied, not taken from it.
    for (Other& o : others)
        for (int i = 0; i < 3; ++i) {
            QString& file = o.files[size_t(i)];
            const QString marked =
                bookNames()[size_t(i)].chopped(4) + o.mark + QStringLiteral(".vtd");
            if (file.isEmpty() || file == marked)
                continue;
            if (QFile::exists(folder + u'/' + marked))
                return changed ? Outcome::Reassembled : Outcome::Untouched;
            bool shared = file == (*book)[size_t(i)];
            for (const Other& p : others)
                shared = shared || (&p != &o && p.files[size_t(i)] == file);
            if (shared)
                copyKeepingTime(folder + u'/' + file, folder + u'/' + marked);
            else
                diskio::rename(folder + u'/' + file, folder + u'/' + marked, folder + u'/' + file);
            file = marked;
            changed = true;
        }
    for (int i = 0; i < 3; ++i) {
        const QString& file = (*book)[size_t(i)];
        const QString& name = bookNames()[size_t(i)];
        if (file.isEmpty() || file == name || QFile::exists(folder + u'/' + name))
            continue;
        diskio::rename(folder + u'/' + file, folder + u'/' + name, folder + u'/' + file);
        changed = true;
    }
    if (changed)
        syncFolder(folder);
    return changed ? Outcome::Reassembled : Outcome::Untouched;
}

} // namespace splitversions
