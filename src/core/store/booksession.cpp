// SPDX-License-Identifier: GPL-3.0-or-later
#include "booksession.h"

#include "core/store/book.h"
#include "core/store/bookmanifest.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace {

// Entries the index holds equal to a word sit next to each other; a handful covers them all.
constexpr int SpellingWindow = 32;

} // namespace

FileStamp FileStamp::of(const QString& path) {
    struct stat st {};
    // Something else in the file's place (a folder) counts as no file.
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    return {true, qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
            quint64(st.st_ino), quint64(st.st_dev)};
}

BookStamp BookStamp::of(const QString& folder) {
    const auto path = [&](const QString& name) { return folder + u'/' + name; };
    return {FileStamp::of(path(bookfile::Words)), FileStamp::of(path(bookfile::Meanings)),
            FileStamp::of(path(bookfile::Examples))};
}

int BookSession::addReloadListener(std::function<void(const ReloadReport&)> listener) {
    m_listeners.push_back({++m_lastListenerKey, std::move(listener)});
    return m_lastListenerKey;
}

void BookSession::removeReloadListener(int key) {
    std::erase_if(m_listeners, [key](const auto& l) { return l.first == key; });
}

bool BookSession::changedOnDisk() const {
    return BookStamp::of(m_book.folder()) != m_stamp;
}

void BookSession::opened() {
    m_stamp = BookStamp::of(m_book.folder());
    m_edits.clear();
    m_journal.clear();
}

void BookSession::written(bool complete) {
    m_stamp = BookStamp::of(m_book.folder());
    if (!QFileInfo(m_book.folder()).isDir()) {
        m_journal.clear();
        return;
    }
    try {
        if (complete) {
            writeJournal();
            bookmanifest::endWrite(m_book.folder());
        } else {
            m_journal.clear();
            if (m_stamp == m_stampBefore)
                bookmanifest::putBack(m_book.folder(), m_manifestBefore);
        }
    } catch (const std::exception&) {
        // Left "writing" by this machine: taken as this program's own change next time.
    }
}

// A set another machine's sync left mixed is not written over; the manifest says "writing" before
// any file changes, so a crash from here on is known as this program's own.
void BookSession::beginWriting() {
    if (!QFileInfo(m_book.folder()).isDir())
        return;
    bookmanifest::requireWhole(m_book.folder());
    m_stampBefore = BookStamp::of(m_book.folder());
    m_manifestBefore = bookmanifest::saved(m_book.folder());
    bookmanifest::beginWrite(m_book.folder());
}

void BookSession::record(SessionEdit edit) {
    switch (edit.kind) {
    case SessionEdit::Kind::Register:
        journal(bookjournal::Operation::Register, edit.after);
        break;
    case SessionEdit::Kind::Modify:
        // A word spelled anew is another word: the old one is gone, the new one came.
        if (edit.before.word == edit.after.word) {
            journal(bookjournal::Operation::Modify, edit.after);
        } else {
            journal(bookjournal::Operation::Delete, edit.before);
            journal(bookjournal::Operation::Register, edit.after);
        }
        break;
    case SessionEdit::Kind::Delete:
        journal(bookjournal::Operation::Delete, edit.before);
        break;
    }
    if (!m_replaying)
        m_edits.push_back(std::move(edit));
}

void BookSession::recordCompaction() {
    journal(bookjournal::Operation::Compaction, {});
}

void BookSession::journal(bookjournal::Operation operation, const SessionWord& word) {
    const bool deletes = operation == bookjournal::Operation::Delete ||
                         operation == bookjournal::Operation::Compaction;
    m_journal.push_back({QDateTime::currentSecsSinceEpoch(), bookmanifest::thisHost(), 0, operation,
                         deletes ? 0 : bookjournal::textHash(word.meaning),
                         deletes ? 0 : bookjournal::textHash(word.example), word.word});
}

// After the files changed and before the manifest calls them whole, so a journal never names a
// generation whose files were not written. The journal only helps a later merge: a journal that
// cannot be written never fails the change the book already holds.
void BookSession::writeJournal() {
    if (!bookmanifest::kept())
        m_journal.clear();
    if (m_journal.empty())
        return;
    const std::vector<bookjournal::Entry> entries = std::move(m_journal);
    m_journal.clear();
    try {
        const quint64 generation = bookmanifest::generation(m_book.folder());
        QByteArray lines;
        for (bookjournal::Entry e : entries) {
            e.generation = generation;
            lines += bookjournal::line(e);
        }
        bookjournal::append(m_book.folder() + u'/' + bookjournal::FileName, lines);
    } catch (const std::exception&) {
    }
}

BookSession::ReloadReport BookSession::reloadIfChanged() {
    if (m_replaying || !m_book.isOpen())
        return {};
    const BookStamp now = BookStamp::of(m_book.folder());
    // Without a word file there is no other version to read, only this program's to write.
    if (now == m_stamp || !now.words.exists)
        return {};
    const std::vector<SessionWord> checked = checkedWords();
    std::vector<SessionEdit> edits = std::move(m_edits);
    try {
        m_book.open();
    } catch (...) {
        m_edits = std::move(edits);
        throw;
    }
    m_edits = std::move(edits);
    ReloadReport report;
    report.reloaded = true;
    m_replaying = true;
    try {
        for (const SessionEdit& edit : m_edits)
            replay(edit, report);
    } catch (...) {
        m_replaying = false;
        throw;
    }
    m_replaying = false;
    written();
    checkAgain(checked);
    const auto listeners = m_listeners;
    for (const auto& l : listeners)
        l.second(report);
    return report;
}

// An edit the files already show is left alone; one whose word is there as this program found it
// is made again; anything else meets another program's change of the same word and is asked.
void BookSession::replay(const SessionEdit& edit, ReloadReport& report) {
    switch (edit.kind) {
    case SessionEdit::Kind::Register: {
        if (find(edit.after) >= 0)
            return;
        const int other = findSpelling(edit.after.word);
        if (other < 0) {
            m_book.registerWord(edit.after.word, edit.after.meaning, edit.after.example);
            ++report.reapplied;
            return;
        }
        ++report.conflicts;
        if (keepMine({edit.after, false, wordAt(other), true}))
            m_book.modifyWord(other, edit.after.word, edit.after.meaning, edit.after.example);
        return;
    }
    case SessionEdit::Kind::Modify: {
        if (find(edit.after) >= 0)
            return;
        const int p = find(edit.before);
        if (p >= 0) {
            m_book.modifyWord(p, edit.after.word, edit.after.meaning, edit.after.example);
            ++report.reapplied;
            return;
        }
        const int other = findSpelling(edit.before.word);
        ++report.conflicts;
        if (!keepMine({edit.after, false, other >= 0 ? wordAt(other) : SessionWord{}, other >= 0}))
            return;
        if (other >= 0)
            m_book.modifyWord(other, edit.after.word, edit.after.meaning, edit.after.example);
        else
            m_book.registerWord(edit.after.word, edit.after.meaning, edit.after.example);
        return;
    }
    case SessionEdit::Kind::Delete: {
        const int p = find(edit.before);
        if (p >= 0) {
            m_book.deleteWord(p);
            ++report.reapplied;
            return;
        }
        const int other = findSpelling(edit.before.word);
        if (other < 0)
            return;
        ++report.conflicts;
        if (keepMine({edit.before, true, wordAt(other), true}))
            m_book.deleteWord(other);
        return;
    }
    }
}

std::vector<SessionWord> BookSession::checkedWords() const {
    std::vector<SessionWord> words;
    const WordIndex& index = m_book.index();
    for (int p = 0; p < index.size(); ++p)
        if (index.at(p).checkMark)
            words.push_back(wordAt(p));
    return words;
}

// The mark goes on the same word only: a word the other side changed or deleted is not the one the
// user marked, and a mark decides what "delete checked" removes.
void BookSession::checkAgain(const std::vector<SessionWord>& words) {
    for (const SessionWord& word : words) {
        const int p = find(word);
        if (p >= 0)
            m_book.index().setCheckMark(p, true);
    }
}

int BookSession::findSpelling(const QString& word) const {
    const WordIndex& index = m_book.index();
    const int first = index.lowerBound(word);
    for (int p = first; p < index.size() && p < first + SpellingWindow; ++p)
        if (index.at(p).word == word)
            return p;
    return -1;
}

int BookSession::find(const SessionWord& word) const {
    const WordIndex& index = m_book.index();
    const int first = index.lowerBound(word.word);
    for (int p = first; p < index.size() && p < first + SpellingWindow; ++p)
        if (index.at(p).word == word.word && wordAt(p) == word)
            return p;
    return -1;
}

SessionWord BookSession::wordAt(int position) const {
    const IndexEntry& e = m_book.index().at(position);
    // Records keep their padding; the stored form drops it as an edit does.
    return {e.word, Book::storedWord(m_book.meaning(e.recordNo)),
            Book::storedWord(m_book.example(e.recordNo))};
}

bool BookSession::keepMine(const EditConflict& conflict) {
    return !m_resolver || m_resolver(conflict);
}
