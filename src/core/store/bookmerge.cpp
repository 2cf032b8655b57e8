// SPDX-License-Identifier: GPL-3.0-or-later
#include "booktransfer.h"
#include "core/store/storedtext.h"
#include "core/text/cp932.h"

#include <algorithm>

using storedtext::trimmedRight;

BookMerge::BookMerge(const QString& folderA, const QString& folderB, const QString& targetFolder,
                     Policy policy, TransferHook hook)
    : m_a(sortedEntries(folderA)), m_b(sortedEntries(folderB)), m_recordsA(folderA),
      m_recordsB(folderB), m_writer(targetFolder, std::move(hook)), m_policy(policy) {}

std::vector<BookMerge::Entry> BookMerge::sortedEntries(const QString& folder) {
    std::vector<Book::StoredWord> stored = readStoredWords(folder);
    std::vector<Entry> entries;
    entries.reserve(stored.size());
    for (Book::StoredWord& w : stored) {
        QString word = Book::wordFromBytes(w.bytes);
        // The first four code units, in order, decide most comparisons without a call; a word
        // never holds U+0000, so a shorter word's zeros sort first, as the full comparison does.
        quint64 key = 0;
        for (qsizetype i = 0; i < 4; ++i)
            key = key << 16 | (i < word.size() ? word.at(i).unicode() : 0u);
        entries.push_back({std::move(word), std::move(w.bytes), w.recordNo, key});
    }
    const auto byCode = [](const Entry& x, const Entry& y) {
        return x.key != y.key ? x.key < y.key : x.word < y.word;
    };
    if (!std::is_sorted(entries.begin(), entries.end(), byCode))
        std::stable_sort(entries.begin(), entries.end(), byCode);
    return entries;
}

void BookMerge::emitEntry(Side side) {
    const Entry& e = side == Side::A ? m_a[m_posA++] : m_b[m_posB++];
    const BookRecords& records = side == Side::A ? m_recordsA : m_recordsB;
    m_writer.add(QByteArrayView(e.bytes), records.meaning(e.recordNo), records.example(e.recordNo));
}

bool BookMerge::run() {
    if (m_pending)
        return false;
    while (m_posA < m_a.size() && m_posB < m_b.size()) {
        const Entry& a = m_a[m_posA];
        const Entry& b = m_b[m_posB];
        const int order = a.key != b.key ? (a.key < b.key ? -1 : 1)
                                         : QString::compare(a.word, b.word, Qt::CaseSensitive);
        if (order < 0) {
            emitEntry(Side::A);
        } else if (order > 0) {
            emitEntry(Side::B);
        } else if (m_policy == Policy::Ask) {
            m_duplicate = {a.word,
                           trimmedRight(cp932::decode(m_recordsA.meaning(a.recordNo))),
                           trimmedRight(cp932::decode(m_recordsA.example(a.recordNo))),
                           b.word,
                           trimmedRight(cp932::decode(m_recordsB.meaning(b.recordNo))),
                           trimmedRight(cp932::decode(m_recordsB.example(b.recordNo)))};
            m_pending = true;
            return false;
        } else {
            ++m_duplicates;
            if (m_policy == Policy::Both) {
                emitEntry(Side::A);
                emitEntry(Side::B);
            } else if (m_policy == Policy::AOnly) {
                emitEntry(Side::A);
                ++m_posB;
            } else {
                ++m_posA;
                emitEntry(Side::B);
            }
        }
    }
    while (m_posA < m_a.size())
        emitEntry(Side::A);
    while (m_posB < m_b.size())
        emitEntry(Side::B);
    m_writer.commit();
    return true;
}

void BookMerge::take(Side side, const QString& meaning, const QString& example) {
    if (!m_pending)
        return;
    // The word goes across as it is stored; only what the user may have typed is checked.
    const Entry& taken = side == Side::A ? m_a[m_posA] : m_b[m_posB];
    const QString refusal = Book::refusalFor(QStringLiteral("-"), meaning, example);
    if (!refusal.isEmpty())
        throw WordRefused(refusal);
    m_writer.add(QByteArrayView(taken.bytes), cp932::encodeField(meaning, bookfile::MeaningSize),
                 cp932::encodeField(example, bookfile::ExampleSize));
    ++m_posA;
    ++m_posB;
    ++m_duplicates;
    m_pending = false;
    m_duplicate = {};
}
