#pragma once

#include <QList>
#include <QString>

// The list of books (DirInfo.vtd): each book's name, which is also its folder's name, and the
// language set it uses, in the order the books were created.
struct BookEntry {
    QString name;
    QString setName;

    bool operator==(const BookEntry&) const = default;
};

namespace booklist {
inline const QString File = QStringLiteral("DirInfo.vtd");

// An empty list when the file does not exist.
QList<BookEntry> read(const QString& appFolder);
// Writes the list; an empty list removes the file.
void write(const QString& appFolder, const QList<BookEntry>& books);
} // namespace booklist

// Why a name cannot become a book or set name (a folder or file name kept in quoted fields), or
// an empty string when it can. what is the kind of name, for the message: "ﾌﾞｯｸ名", "言語ｾｯﾄ名".
QString refusalForName(const QString& name, const QString& what);
