// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <deque>
#include <vector>

class Book;

// One word as an undo step needs it to bring the word back exactly: its spelling, its meaning
// and example as stored, and its check mark.
struct WordState {
    QString word;
    QString meaning;
    QString example;
    bool checked = false;
};

// What one user command did to the book's words: the words as they were and as they became.
// A registration has no words before, a deletion none after; a change of check marks has the
// same words on both sides.
struct EditStep {
    enum class Kind { Register, Modify, Delete, CheckMarks, DeleteChecked };
    Kind kind = Kind::Register;
    std::vector<WordState> before;
    std::vector<WordState> after;
};

// The undo and redo history of word edits on one book, kept while the program runs and shared
// by every window that edits the book. Steps are taken back and forth through the store's own
// operations, so each is committed the way any edit is; words are found by their spelling, never
// by record number, so steps outlive compaction and the reopening of the book in another window.
class WordHistory {
public:
    // The outcome of an undo or redo: the status text, or why nothing changed.
    struct Result {
        bool done = false;
        QString message;
        QString word; // the word the step arrived at, or left when it removed words
    };

    // Starts over when the book is another one than the history was kept for.
    void attach(const QString& bookFolder);
    void clear();
    const QString& bookFolder() const { return m_folder; }

    void record(EditStep step);
    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    Result undo(Book& book);
    Result redo(Book& book);

    // The word at position as a step stores it.
    static WordState stateAt(const Book& book, int position);
    // The checked words of the book with their records.
    static std::vector<WordState> checkedWords(const Book& book);

    // Older steps are dropped beyond this many.
    static constexpr size_t Limit = 1000;

private:
    // Brings the words from one side of the step to the other; raises on a failure of the store.
    static void apply(Book& book, const EditStep& step, bool forward);
    static QString describe(const EditStep& step);

    QString m_folder;
    std::deque<EditStep> m_undo;
    std::deque<EditStep> m_redo;
};

// The history of the book being edited in this run of the program.
WordHistory& wordHistory();
