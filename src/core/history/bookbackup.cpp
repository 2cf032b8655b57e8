// SPDX-License-Identifier: GPL-3.0-or-later
#include "bookbackup.h"

#include "core/files/atomicfile.h"
#include "core/files/diskio.h"
#include "core/files/failure.h"
#include "core/settings/textrecord.h"
#include "core/store/book.h"
#include "core/store/booktransfer.h"

#include <QDir>
#include <QFile>

namespace {

const QString StampFormat = QStringLiteral("yyyyMMdd-HHmmss");
const QString TemporaryPrefix = QStringLiteral(".tmp-");

int countWords(const QString& wordsFile) {
    QFile file(wordsFile);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return int(Book::parseWordFile(file.readAll()).size());
}

// Removes the temporary folders of interrupted backups in one book's backup folder.
void removeTemporaryFolders(const QString& root) {
    const QDir dir(root);
    for (const QString& name :
         dir.entryList({TemporaryPrefix + u'*'}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot))
        QDir(dir.filePath(name)).removeRecursively();
}

} // namespace

BookBackups::BookBackups(QString appFolder, int kept)
    : m_appFolder(std::move(appFolder)), m_kept(std::max(kept, 1)) {}

QString BookBackups::bookFolderOf(const QString& bookName) const {
    return m_appFolder + u'/' + FolderName + u'/' + bookName;
}

void BookBackups::removeInterrupted(const QString& appFolder) {
    const QDir backups(appFolder + u'/' + FolderName);
    for (const QString& book : backups.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        removeTemporaryFolders(backups.filePath(book));
}

BookBackup BookBackups::create(const QString& bookName, const QString& bookFolder,
                               const QString& operation, int wordCount) {
    BookBackup backup = write(bookName, bookFolder, operation, wordCount);
    prune(bookName);
    return backup;
}

BookBackup BookBackups::write(const QString& bookName, const QString& bookFolder,
                              const QString& operation, int wordCount) {
    const QString root = bookFolderOf(bookName);
    if (!QDir().mkpath(root))
        throw RuntimeFailure(failure::PathFileAccess, root);
    // What an interrupted backup left is no backup.
    removeTemporaryFolders(root);
    const QDir rootDir(root);

    BookBackup backup;
    backup.when = QDateTime::currentDateTime();
    const QString stamp = backup.when.toString(StampFormat);
    // Backups of one second are numbered after the newest of them, never into a gap that pruning
    // left, so the order of the names stays the order they were taken in.
    int last = 0;
    for (const QString& other :
         rootDir.entryList({stamp + u'*'}, QDir::Dirs | QDir::NoDotAndDotDot))
        last =
            std::max(last, other.size() > stamp.size() ? other.mid(stamp.size() + 1).toInt() : 1);
    const QString name = last == 0 ? stamp : stamp + u'-' + QString::number(last + 1);
    const QString temporary = root + u'/' + TemporaryPrefix + name;
    if (!QDir().mkdir(temporary))
        throw RuntimeFailure(failure::PathFileAccess, temporary);
    backup.folder = root + u'/' + name;
    backup.operation = operation;
    try {
        for (const QString& file : {bookfile::Words, bookfile::Meanings, bookfile::Examples}) {
            const QString source = bookFolder + u'/' + file;
            if (QFileInfo::exists(source))
                diskio::copyFile(source, temporary + u'/' + file);
        }
        backup.wordCount =
            wordCount >= 0 ? wordCount : countWords(temporary + u'/' + bookfile::Words);
        writeFileAtomically(
            temporary + u'/' + InfoFile,
            TextRecordWriter().addString(operation).addInt(backup.wordCount).endRecord().bytes());
        syncFolder(temporary);
        diskio::rename(temporary, backup.folder, temporary);
        syncFolder(root);
    } catch (...) {
        QDir(temporary).removeRecursively();
        throw;
    }
    return backup;
}

std::vector<BookBackup> BookBackups::list(const QString& bookName) const {
    std::vector<BookBackup> backups;
    const QString root = bookFolderOf(bookName);
    QStringList names = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    // Newest first: by time stamp, then by the number that tells backups of one second apart.
    const auto order = [](const QString& name) {
        const int n =
            name.size() > StampFormat.size() ? name.mid(StampFormat.size() + 1).toInt() : 1;
        return std::pair(name.left(StampFormat.size()), n);
    };
    std::sort(names.begin(), names.end(),
              [&](const QString& a, const QString& b) { return order(a) > order(b); });
    for (const QString& name : names) {
        BookBackup b;
        b.folder = root + u'/' + name;
        b.when = QDateTime::fromString(name.left(StampFormat.size()), StampFormat);
        if (!b.when.isValid())
            continue;
        try {
            TextRecordReader info = TextRecordReader::fromFile(b.folder + u'/' + InfoFile);
            b.operation = info.readString();
            b.wordCount = info.readInt32();
        } catch (const RuntimeFailure&) {
            continue; // not a backup this program wrote whole
        }
        backups.push_back(std::move(b));
    }
    return backups;
}

void BookBackups::prune(const QString& bookName) {
    const std::vector<BookBackup> backups = list(bookName);
    for (size_t i = size_t(m_kept); i < backups.size(); ++i) {
        // The description goes first: a folder without it is no longer listed.
        QFile::remove(backups[i].folder + u'/' + InfoFile);
        QDir(backups[i].folder).removeRecursively();
    }
}

void BookBackups::restore(const BookBackup& backup, const QString& bookName,
                          const QString& bookFolder) {
    if (!QFileInfo::exists(backup.folder + u'/' + InfoFile))
        throw RuntimeFailure(failure::PathNotFound, backup.folder);
    // The present state is kept first; old backups are pruned only once the chosen one, which may
    // be the oldest, has been read.
    write(bookName, bookFolder, QStringLiteral("バックアップから戻す前"));
    booktransfer::importBook(backup.folder, bookFolder);
    prune(bookName);
}
