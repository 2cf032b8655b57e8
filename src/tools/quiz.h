// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>
#include <vector>

class Book;
class WordIndex;

// One word of a quiz: as the main list showed it when the quiz was set up, and how it went.
struct QuizWord {
    QString word;
    qint32 recordNo = 0;
    int position = -1;    // its place in the word index then: a hint, checked before it is used
    bool checked = false; // its check mark when the quiz was set up
    bool missed = false;  // answered wrong or left empty
};

// The words a quiz draws from: the main list at the moment the quiz menu was chosen.
struct QuizSnapshot {
    std::vector<QuizWord> words;
    bool filtered = false; // the list showed one initial only
    int checkedCount = 0;
};

// What a quiz needs of the main window while it runs: the open book (null once it is closed),
// and setting the check mark of a word the main list shows, by its word-index position (false
// when the list does not show that position).
struct QuizHost {
    std::function<Book*()> book;
    std::function<bool(int position, bool checked)> setListedMark;
};

// How the settings window sends a quiz off.
struct QuizSettings {
    bool random = false;
    bool checkedOnly = false;
    int total = -1; // questions to ask; -1 = no limit
};

namespace quiz {

// The word's place in the index now, found by word and record number; -1 when it has gone.
int findWord(const WordIndex& index, const QuizWord& word);

// The meaning-to-word judge: the typed text must be the word exactly, letter case and spaces
// included.
bool wordAnswerIsRight(const QString& answer, const QString& word);
// The word-to-meaning judge: any typed part of the meaning counts, letter case kept; the typed
// text may hold the pattern characters of the search (?, *, #, [a-z]).
bool meaningAnswerIsRight(const QString& answer, const QString& meaning);

// Turns the misses into the main list's check marks: each word still listed gets a mark when it
// was missed and loses it otherwise. Returns how many words were found in the list.
int transferMisses(const QuizSnapshot& snapshot, const QuizHost& host);

} // namespace quiz
