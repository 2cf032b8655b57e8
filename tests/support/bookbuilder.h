// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// Writes a book's files directly, the way a book on disk looks, so tests start from known bytes.
struct BookWord {
    QString word;
    QString meaning;
    QString example;
};

class BookBuilder {
public:
    explicit BookBuilder(QString folder) : m_folder(std::move(folder)) {}

    BookBuilder& add(const QString& word, const QString& meaning = {},
                     const QString& example = {}) {
        m_words.push_back({word, meaning, example});
        return *this;
    }
    // Words get record numbers 1..n in the order they were added; the word file lists them in
    // that order too unless a different line order is given.
    void write(bool withExamples = true) const;

private:
    QString m_folder;
    std::vector<BookWord> m_words;
};

// The book as the store reads it after an open (which finishes interrupted renames): one
// "word|meaning|example" per word, in the store's order, trailing blanks of the records left out.
QStringList bookContents(const QString& folder);
