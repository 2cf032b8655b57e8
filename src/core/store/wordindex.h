// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/text/collation.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

// One word of the open book: the headword, its record in the meaning and example files and its
// check mark.
struct IndexEntry {
    QString word;
    qint32 recordNo = 0;
    bool checkMark = false;
};

// All words of a book in memory, kept sorted. The main window's order is the case-insensitive
// Japanese text order, ties by character code so the order is the same at every size; the
// translation editor orders by UTF-16 code unit (capitals before small letters, no locale rules).
// Look-ups, pattern matches and the palette filter compare the way the order does. Check marks
// belong to their entries and follow them through every re-sort.
class WordIndex {
public:
    enum class Order { Collation, Ordinal };

    explicit WordIndex(Order order = Order::Collation);
    ~WordIndex();
    WordIndex(WordIndex&&) noexcept;
    WordIndex& operator=(WordIndex&&) noexcept;

    Order order() const;
    // How pattern characters and look-ups compare characters in this order.
    collation::Mode compareMode() const {
        return order() == Order::Ordinal ? collation::Mode::Binary : collation::Mode::Text;
    }

    // Replaces the contents and sorts them.
    void assign(std::vector<IndexEntry> entries);
    void clear();

    int size() const;
    bool isEmpty() const { return size() == 0; }
    // The highest valid position, -1 when empty.
    int upperIndex() const { return size() - 1; }
    const IndexEntry& at(int position) const;
    void setCheckMark(int position, bool checked);
    void setRecordNo(int position, qint32 recordNo);
    void clearCheckMarks();
    int checkedCount() const;

    // Adds an entry at its sorted place and returns that place.
    int insert(IndexEntry entry);
    void removeAt(int position);
    // Removes every entry for which drop(entry) is true, keeping the order of the rest.
    void removeIf(const std::function<bool(const IndexEntry&)>& drop);
    // Gives the entry at position a new spelling and returns its new place.
    int rename(int position, const QString& word);

    // The exact look-up: the position of a word equal to text in the index's comparison (in the
    // case-insensitive order the same spelling preferred), -1 when there is none.
    int find(const QString& text) const;
    // The first position whose word sorts at or after text (size() when none).
    int lowerBound(const QString& text) const;
    // The first position holding recordNo, -1 when none.
    int positionOfRecord(qint32 recordNo) const;
    // Positions of the words whose first character lies in the palette range start..end.
    std::vector<int> filterByInitial(const QString& rangeStart, const QString& rangeEnd) const;

    // Sorted entries, for writing the word file.
    std::vector<IndexEntry> entries() const;

private:
    struct Slots;
    std::unique_ptr<Slots> d;
};
