// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/journal/bookjournal.h"

#include <QString>
#include <exception>
#include <functional>
#include <vector>

class Book;

// What one of a book's files is on disk: enough to tell that another program (a sync tool, a
// restore by hand, a second copy of this program) replaced or changed it.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    qint64 mtimeNs = 0;
    quint64 inode = 0;
    quint64 device = 0;
    bool operator==(const FileStamp&) const = default;
    static FileStamp of(const QString& path);
};

// The stamps of a book's three files.
struct BookStamp {
    FileStamp words;
    FileStamp meanings;
    FileStamp examples;
    bool operator==(const BookStamp&) const = default;
    static BookStamp of(const QString& folder);
};

// A word with its meaning and example, trailing spaces dropped, as an edit left or found it.
struct SessionWord {
    QString word;
    QString meaning;
    QString example;
    bool operator==(const SessionWord&) const = default;
};

// One edit this program made to the book while it had it open.
struct SessionEdit {
    enum class Kind { Register, Modify, Delete };
    Kind kind = Kind::Register;
    SessionWord before; // Modify, Delete
    SessionWord after;  // Register, Modify
};

// An edit of this program that meets a word another program changed too: both versions, for the
// user to choose between.
struct EditConflict {
    SessionWord mine;
    bool mineDeletes = false;
    SessionWord onDisk;
    bool onDiskExists = false;
};

// Keeps an open book in step with its files when something else replaces them. The book is
// stamped whenever this program reads or writes it; before every write the stamp is compared
// with the files, and when they changed the book is read again and this program's own edits
// since it opened the book are applied again on top, so neither side's words are lost and no
// word list is ever written over another version of the book.
class BookSession {
public:
    explicit BookSession(Book& book) : m_book(book) {}

    // Asked once per conflict; true keeps this program's version. Without one, this program's
    // version is kept.
    using Resolver = std::function<bool(const EditConflict&)>;
    void setResolver(Resolver resolver) { m_resolver = std::move(resolver); }

    struct ReloadReport {
        bool reloaded = false;
        int reapplied = 0; // own edits the files did not have, applied again
        int conflicts = 0; // edits that met another program's change of the same word
    };
    // Told after the book was read again: every position may have moved.
    int addReloadListener(std::function<void(const ReloadReport&)> listener);
    void removeReloadListener(int key);

    // True when the files are no longer the ones this program last read or wrote.
    bool changedOnDisk() const;
    // Reads the book again and applies this session's edits again when the files changed.
    ReloadReport reloadIfChanged();
    const std::vector<SessionEdit>& edits() const { return m_edits; }

    // For the store itself. Every write of the store runs inside an Operation: the outermost one
    // catches up with the files first and stamps them when it ends, so the writes inside it never
    // take each other for another program's.
    class Operation {
    public:
        explicit Operation(BookSession& session)
            : m_session(session), m_uncaught(std::uncaught_exceptions()) {
            if (m_session.m_depth == 0) {
                m_session.reloadIfChanged();
                m_session.beginWriting();
            }
            ++m_session.m_depth;
        }
        ~Operation() {
            if (--m_session.m_depth == 0)
                m_session.written(std::uncaught_exceptions() == m_uncaught);
        }
        Operation(const Operation&) = delete;
        Operation& operator=(const Operation&) = delete;

    private:
        BookSession& m_session;
        int m_uncaught;
    };
    void opened();
    // complete: the operation ended without an exception, so the manifest may call the files
    // whole; a failed one leaves it "writing", which the next open or write of this machine takes
    // as its own interrupted change.
    void written(bool complete = false);
    // True inside an operation of the store.
    bool writing() const { return m_depth > 0; }
    // Every edit the files take, this program's own again after a reload included, goes into the
    // book's change journal once the operation that made it is complete.
    void record(SessionEdit edit);
    void recordCompaction();
    bool replaying() const { return m_replaying; }
    // The position of the entry holding exactly this word, meaning and example, or -1.
    int find(const SessionWord& word) const;
    // The position of the first entry spelled as word, or -1.
    int findSpelling(const QString& word) const;
    SessionWord wordAt(int position) const;
    // Asks the resolver; true keeps this program's version.
    bool keepMine(const EditConflict& conflict);

private:
    void beginWriting();
    void journal(bookjournal::Operation operation, const SessionWord& word);
    void writeJournal();
    void replay(const SessionEdit& edit, ReloadReport& report);
    // Check marks are never stored: they live in the index for the session, so the words checked
    // before a reload are checked again after it.
    std::vector<SessionWord> checkedWords() const;
    void checkAgain(const std::vector<SessionWord>& words);

    Book& m_book;
    BookStamp m_stamp;
    // The files and manifest before the write under way: a write that failed without changing a
    // file gets its manifest back.
    BookStamp m_stampBefore;
    QByteArray m_manifestBefore;
    std::vector<SessionEdit> m_edits;
    std::vector<bookjournal::Entry> m_journal; // of the operation under way
    bool m_replaying = false;
    int m_depth = 0;
    Resolver m_resolver;
    std::vector<std::pair<int, std::function<void(const ReloadReport&)>>> m_listeners;
    int m_lastListenerKey = 0;
};
