// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/wordindex.h"

#include <QStringList>

// A sorted word index of the given words, with record numbers 1..n in the order given.
inline WordIndex indexOf(const QStringList& words,
                         WordIndex::Order order = WordIndex::Order::Collation) {
    std::vector<IndexEntry> entries;
    qint32 recordNo = 1;
    for (const QString& w : words)
        entries.push_back({w, recordNo++, false});
    WordIndex index(order);
    index.assign(std::move(entries));
    return index;
}
