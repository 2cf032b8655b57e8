// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/wordindex.h"

#include <QString>
#include <functional>
#include <vector>

class PrintSurface;

// The word list laid out on a print surface: the headword at the left margin, its meaning and
// example wrapped in a second column, and an optional header with the book name, the page number
// and a rule.

struct PrintFontChoice {
    QString name;
    double size = 11;
    bool bold = false;
    bool italic = false;
};

struct WordListPrintSettings {
    double rightMargin = 10; // millimetres
    double leftMargin = 10;
    int spacing = 15; // between the longest word and the meaning column, millimetres
    int gapLines = 1; // empty lines after each word
    bool checkedOnly = false;
    bool header = true;
    int ruleWidth = 3; // pixels
    PrintFontChoice wordFont;
    PrintFontChoice meaningFont;
    QString bookName;
};

// Reads a word's meaning and example record, as stored.
struct PrintRecords {
    std::function<QString(qint32)> meaning;
    std::function<QString(qint32)> example;
};

// Prints the words in order. Returns true when the document was sent; false when it was
// cancelled: checked-only found no checked word (the user is told), or a step failed (reported
// in its own error box).
bool printWordList(PrintSurface& surface, const WordListPrintSettings& settings,
                   const std::vector<IndexEntry>& words, const PrintRecords& records);
