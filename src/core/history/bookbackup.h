// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

// One backup of a book: the copy of its three files taken before an operation replaced or
// rewrote the book.
struct BookBackup {
    QString folder; // the backup's own folder
    QDateTime when;
    int wordCount = 0;
    QString operation;
};

// The backups of the books, under backup/<book>/<yyyyMMdd-HHmmss>/ in the application folder.
// A backup is written into a temporary folder beside the others, synced, and renamed into place,
// so a backup is there whole or not at all; a failure leaves nothing behind and raises the
// RuntimeFailure that caused it.
class BookBackups {
public:
    explicit BookBackups(QString appFolder, int kept = 10);

    static inline const QString FolderName = QStringLiteral("backup");
    // The description file inside each backup: operation and word count.
    static inline const QString InfoFile = QStringLiteral("backup.vtd");

    // Copies the book's files (those that exist) and keeps only the newest backups of the book.
    // wordCount < 0: counted from the words file.
    BookBackup create(const QString& bookName, const QString& bookFolder, const QString& operation,
                      int wordCount = -1);
    // The book's backups, newest first.
    std::vector<BookBackup> list(const QString& bookName) const;
    // Backs up the book as it is, then replaces its files with the backup's as one set.
    void restore(const BookBackup& backup, const QString& bookName, const QString& bookFolder);

    QString bookFolderOf(const QString& bookName) const;

    // Removes what backups a kill interrupted left behind, for every book: such a folder is no
    // backup, and each holds a whole copy of its book.
    static void removeInterrupted(const QString& appFolder);

private:
    BookBackup write(const QString& bookName, const QString& bookFolder, const QString& operation,
                     int wordCount = -1);
    void prune(const QString& bookName);

    QString m_appFolder;
    int m_kept;
};
