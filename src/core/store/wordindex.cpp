// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordindex.h"

#include "core/text/collation.h"
#include "core/text/likepattern.h"

#include <QHash>
#include <algorithm>
#include <string>
#include <string_view>

namespace {

struct Slot {
    IndexEntry entry;
    quint32 keyOffset;
    quint32 keyLength;
};

} // namespace

// The entries with their collation keys. Keys live end to end in one arena, so sorting and
// searching compare plain bytes without an allocation per word. The ordinal order needs no keys:
// it compares the words themselves.
struct WordIndex::Slots {
    explicit Slots(Order o) : order(o) {}

    const Order order;
    std::vector<Slot> items;
    std::string arena;

    bool ordinal() const { return order == Order::Ordinal; }

    std::string_view keyOf(const Slot& s) const {
        return {arena.data() + s.keyOffset, s.keyLength};
    }

    Slot makeSlot(IndexEntry entry) {
        if (ordinal())
            return Slot{std::move(entry), 0, 0};
        const size_t offset = arena.size();
        collation::appendSortKey(entry.word, arena);
        return Slot{std::move(entry), quint32(offset), quint32(arena.size() - offset)};
    }

    // Order of the index: collation key, then character code so equal keys are in a fixed order.
    bool less(const Slot& a, const Slot& b) const {
        if (ordinal())
            return QStringView(a.entry.word).compare(QStringView(b.entry.word)) < 0;
        const int byKey = keyOf(a).compare(keyOf(b));
        if (byKey != 0)
            return byKey < 0;
        return QStringView(a.entry.word).compare(QStringView(b.entry.word)) < 0;
    }

    int lowerBoundOf(const Slot& probe) const {
        auto it = std::lower_bound(items.begin(), items.end(), probe,
                                   [this](const Slot& a, const Slot& b) { return less(a, b); });
        return int(it - items.begin());
    }
    int lowerBoundOfKey(std::string_view key) const {
        auto it =
            std::lower_bound(items.begin(), items.end(), key,
                             [this](const Slot& s, std::string_view k) { return keyOf(s) < k; });
        return int(it - items.begin());
    }
    int lowerBoundOfWord(QStringView word) const {
        auto it =
            std::lower_bound(items.begin(), items.end(), word, [](const Slot& s, QStringView w) {
                return QStringView(s.entry.word).compare(w) < 0;
            });
        return int(it - items.begin());
    }
    // Drops the keys of entries that are gone, once the arena is mostly garbage.
    void compactArena() {
        size_t live = 0;
        for (const Slot& s : items)
            live += s.keyLength;
        if (arena.size() < 4096 || arena.size() < 2 * live)
            return;
        std::string fresh;
        fresh.reserve(live);
        for (Slot& s : items) {
            const size_t offset = fresh.size();
            fresh.append(keyOf(s));
            s.keyOffset = quint32(offset);
        }
        arena.swap(fresh);
    }
};

WordIndex::WordIndex(Order order) : d(std::make_unique<Slots>(order)) {}
WordIndex::~WordIndex() = default;
WordIndex::WordIndex(WordIndex&&) noexcept = default;
WordIndex& WordIndex::operator=(WordIndex&&) noexcept = default;

WordIndex::Order WordIndex::order() const {
    return d->order;
}

void WordIndex::assign(std::vector<IndexEntry> entries) {
    d->items.clear();
    d->arena.clear();
    d->items.reserve(entries.size());
    d->arena.reserve(entries.size() * 24);
    for (IndexEntry& e : entries)
        d->items.push_back(d->makeSlot(std::move(e)));
    std::sort(d->items.begin(), d->items.end(),
              [this](const Slot& a, const Slot& b) { return d->less(a, b); });
    // Lay the words out in memory in index order: a pattern search reads them one after the
    // other, and scattered strings would cost a cache miss each.
    // All copies are made before the originals go, or the allocator would hand the freed,
    // scattered blocks straight back.
    std::vector<QString> packed;
    packed.reserve(d->items.size());
    for (const Slot& slot : d->items)
        packed.emplace_back(slot.entry.word.constData(), slot.entry.word.size());
    for (size_t i = 0; i < packed.size(); ++i)
        d->items[i].entry.word = std::move(packed[i]);
}

void WordIndex::clear() {
    d->items.clear();
    d->arena.clear();
}

int WordIndex::size() const {
    return int(d->items.size());
}

const IndexEntry& WordIndex::at(int position) const {
    return d->items.at(size_t(position)).entry;
}

void WordIndex::setCheckMark(int position, bool checked) {
    d->items.at(size_t(position)).entry.checkMark = checked;
}

void WordIndex::setRecordNo(int position, qint32 recordNo) {
    d->items.at(size_t(position)).entry.recordNo = recordNo;
}

void WordIndex::removeIf(const std::function<bool(const IndexEntry&)>& drop) {
    std::erase_if(d->items, [&](const Slot& s) { return drop(s.entry); });
}

void WordIndex::clearCheckMarks() {
    for (Slot& s : d->items)
        s.entry.checkMark = false;
}

int WordIndex::checkedCount() const {
    return int(std::count_if(d->items.begin(), d->items.end(),
                             [](const Slot& s) { return s.entry.checkMark; }));
}

int WordIndex::insert(IndexEntry entry) {
    d->compactArena();
    Slot slot = d->makeSlot(std::move(entry));
    const int position = d->lowerBoundOf(slot);
    d->items.insert(d->items.begin() + position, std::move(slot));
    return position;
}

void WordIndex::removeAt(int position) {
    d->items.erase(d->items.begin() + position);
}

int WordIndex::rename(int position, const QString& word) {
    IndexEntry entry = at(position);
    entry.word = word;
    removeAt(position);
    return insert(std::move(entry));
}

int WordIndex::find(const QString& text) const {
    if (d->items.empty())
        return -1;
    if (d->ordinal()) {
        const int position = d->lowerBoundOfWord(text);
        return position < size() && d->items[size_t(position)].entry.word == text ? position : -1;
    }
    std::string key;
    collation::appendSortKey(text, key);
    const int position = d->lowerBoundOfKey(key);
    if (position >= size() || d->keyOf(d->items[size_t(position)]) != key)
        return -1;
    // Among words the comparison holds equal, the one spelled exactly as typed wins.
    for (int p = position; p < size() && d->keyOf(d->items[size_t(p)]) == key; ++p)
        if (d->items[size_t(p)].entry.word == text)
            return p;
    return position;
}

int WordIndex::lowerBound(const QString& text) const {
    if (d->ordinal())
        return d->lowerBoundOfWord(text);
    std::string key;
    collation::appendSortKey(text, key);
    return d->lowerBoundOfKey(key);
}

int WordIndex::positionOfRecord(qint32 recordNo) const {
    for (int p = 0; p < size(); ++p)
        if (d->items[size_t(p)].entry.recordNo == recordNo)
            return p;
    return -1;
}

std::vector<int> WordIndex::filterByInitial(const QString& rangeStart,
                                            const QString& rangeEnd) const {
    const LikePattern range(u'[' + rangeStart + u'-' + rangeEnd + u']', compareMode());
    // Books have few distinct initials; test each once.
    QHash<char16_t, bool> initialMatches;
    std::vector<int> positions;
    for (int p = 0; p < size(); ++p) {
        const QString& word = d->items[size_t(p)].entry.word;
        if (word.isEmpty())
            continue;
        const char16_t initial = word[0].unicode();
        auto hit = initialMatches.constFind(initial);
        bool matches;
        if (hit != initialMatches.constEnd()) {
            matches = *hit;
        } else {
            const qsizetype length = word[0].isHighSurrogate() && word.size() > 1 ? 2 : 1;
            matches = range.matches(QStringView(word).left(length));
            if (length == 1)
                initialMatches.insert(initial, matches);
        }
        if (matches)
            positions.push_back(p);
    }
    return positions;
}

std::vector<IndexEntry> WordIndex::entries() const {
    std::vector<IndexEntry> out;
    out.reserve(d->items.size());
    for (const Slot& s : d->items)
        out.push_back(s.entry);
    return out;
}
