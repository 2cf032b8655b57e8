// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class Book;
class QFileSystemWatcher;
class QTimer;
struct EditConflict;

// Keeps a window's open book in step with its files while the window is idle: watches the folder
// and the files and looks again every second besides (a watcher misses changes on some folders),
// reads the book again when another program changed it, asks the user about a word both sides
// changed, and reports each reload for the status line. The store checks the files before every
// write on its own; this only makes the change show without waiting for one.
class BookFollower : public QObject {
    Q_OBJECT
public:
    BookFollower(Book& book, QObject* parent = nullptr);
    ~BookFollower() override;

    // The status text after the book was read again with `reapplied` of this program's edits.
    static QString reloadMessage(int reapplied);
    // Asks which version of a word both sides changed to keep; true keeps this program's.
    static bool askKeepMine(const EditConflict& conflict);
    // Looks at the files now.
    void check();

signals:
    // The book was read again; every position may have moved.
    void reloaded(const QString& message);

private:
    void watch();

    Book& m_book;
    QFileSystemWatcher* m_watcher;
    QTimer* m_settle;
    QTimer* m_poll;
    int m_listenerKey = 0;
};
