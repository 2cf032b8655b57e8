// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The list of books (DirInfo.vtd): each book's name, which is also its folder's name, and the
// language set it uses, in the order the books were created.
struct BookEntry {
    QString name;
    QString setName;

    bool operator==(const BookEntry&) const = default;
};

// What could be read of a list file, and what was left out and why (one line per entry, for the
// user): a list file names folders and files, so nothing in it is used unchecked.
template <class T> struct ListRead {
    QList<T> items;
    QStringList problems;
};

namespace booklist {
inline const QString File = QStringLiteral("DirInfo.vtd");

// An empty list when the file does not exist. Damaged records and entries with names that could
// not have been typed are left out and reported.
ListRead<BookEntry> read(const QString& appFolder);
// Writes the list; an empty list removes the file.
void write(const QString& appFolder, const QList<BookEntry>& books);
// True when the book's folder exists but resolves to a place outside the application folder (a
// symbolic link that leads elsewhere): such a book is neither opened nor changed.
bool leadsOutside(const QString& appFolder, const QString& name);
// What the user is told about such a book.
QString outsideReason(const QString& name);
} // namespace booklist

// Names that become folder or file names in the application folder.
namespace names {
// Longer new names may not fit the file systems' limits once folder and file names are added.
constexpr int MaxLength = 64;
enum class Kind { Book, Set };

// Why a name cannot be a book or set name, or an empty string when it can: it must stay a plain
// name below the application folder and survive the quoted fields of the list files. Set names
// also may not take the file of one of the program's own files. Names read from files get this.
QString refusal(const QString& name, Kind kind);
// The same for a name the user gives a new book or set, which also has to fit MaxLength.
QString refusalForNew(const QString& name, Kind kind);
// The one form a typed name is kept in from then on: the form it reads back in from the list
// files. Only for names refusal() accepts.
QString stored(const QString& name);
} // namespace names
