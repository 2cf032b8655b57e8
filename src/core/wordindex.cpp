#include "wordindex.h"

#include "collation.h"
#include "likepattern.h"

#include <QCollatorSortKey>
#include <QHash>

#include <algorithm>

namespace {

struct Slot {
    IndexEntry entry;
    QCollatorSortKey key;
};

// Order of the index: collation key, then character code so equal keys are in a fixed order.
bool slotLess(const Slot& a, const Slot& b) {
    const int byKey = a.key.compare(b.key);
    if (byKey != 0)
        return byKey < 0;
    return QStringView(a.entry.word).compare(QStringView(b.entry.word)) < 0;
}

Slot makeSlot(IndexEntry entry) {
    QCollatorSortKey key = collation::sortKey(entry.word);
    return Slot{std::move(entry), std::move(key)};
}

} // namespace

struct WordIndex::Slots {
    std::vector<Slot> items;

    int lowerBoundOf(const Slot& probe) const {
        auto it = std::lower_bound(items.begin(), items.end(), probe, slotLess);
        return int(it - items.begin());
    }
    int lowerBoundOfKey(const QCollatorSortKey& key) const {
        auto it = std::lower_bound(items.begin(), items.end(), key,
                                   [](const Slot& s, const QCollatorSortKey& k) { return s.key.compare(k) < 0; });
        return int(it - items.begin());
    }
};

WordIndex::WordIndex() : d(std::make_unique<Slots>()) {}
WordIndex::~WordIndex() = default;
WordIndex::WordIndex(WordIndex&&) noexcept = default;
WordIndex& WordIndex::operator=(WordIndex&&) noexcept = default;

void WordIndex::assign(std::vector<IndexEntry> entries) {
    d->items.clear();
    d->items.reserve(entries.size());
    for (IndexEntry& e : entries)
        d->items.push_back(makeSlot(std::move(e)));
    std::sort(d->items.begin(), d->items.end(), slotLess);
}

void WordIndex::clear() { d->items.clear(); }

int WordIndex::size() const { return int(d->items.size()); }

const IndexEntry& WordIndex::at(int position) const { return d->items.at(size_t(position)).entry; }

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
    return int(std::count_if(d->items.begin(), d->items.end(), [](const Slot& s) { return s.entry.checkMark; }));
}

int WordIndex::insert(IndexEntry entry) {
    Slot slot = makeSlot(std::move(entry));
    const int position = d->lowerBoundOf(slot);
    d->items.insert(d->items.begin() + position, std::move(slot));
    return position;
}

void WordIndex::removeAt(int position) { d->items.erase(d->items.begin() + position); }

int WordIndex::rename(int position, const QString& word) {
    IndexEntry entry = at(position);
    entry.word = word;
    removeAt(position);
    return insert(std::move(entry));
}

int WordIndex::find(const QString& text) const {
    if (d->items.empty())
        return -1;
    const QCollatorSortKey key = collation::sortKey(text);
    int position = d->lowerBoundOfKey(key);
    if (position >= size() || d->items[size_t(position)].key.compare(key) != 0)
        return -1;
    // Among words the comparison holds equal, the one spelled exactly as typed wins.
    for (int p = position; p < size() && d->items[size_t(p)].key.compare(key) == 0; ++p)
        if (d->items[size_t(p)].entry.word == text)
            return p;
    return position;
}

int WordIndex::lowerBound(const QString& text) const {
    return d->lowerBoundOfKey(collation::sortKey(text));
}

int WordIndex::positionOfRecord(qint32 recordNo) const {
    for (int p = 0; p < size(); ++p)
        if (d->items[size_t(p)].entry.recordNo == recordNo)
            return p;
    return -1;
}

std::vector<int> WordIndex::filterByInitial(const QString& rangeStart, const QString& rangeEnd) const {
    const LikePattern range(u'[' + rangeStart + u'-' + rangeEnd + u']', collation::Mode::Text);
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
