// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// What the dictionary readers hand to the index builder: one (key, meaning) pair per item, the
// meaning's text kept once in a shared pool. Internal to core/dictionary.
namespace dictionaryindex {

// Edict: a Japanese entry under one of its English glosses; Japanese: an entry's English glosses
// under its Japanese headword or reading.
enum class Kind : std::uint8_t { Edict = 0, Wordnet = 1, BaseForm = 2, Japanese = 3 };
enum class PartOfSpeech : std::uint8_t { Noun = 0, Verb = 1, Adjective = 2, Adverb = 3 };

// A key and its text are both places in the pool. The key's first bytes are kept beside it, so
// that sorting half a million items seldom has to look into the pool.
struct Item {
    std::uint64_t keyPrefix; // the key's first 8 bytes, big-endian, zero-filled
    std::uint32_t keyOffset; // interned: equal keys have equal offsets
    std::uint32_t keyLength;
    std::uint32_t rank;  // smaller first
    std::uint32_t order; // then by this
    std::uint32_t textOffset;
    std::uint32_t textLength;
    Kind kind;
    PartOfSpeech pos;
};

class Collector {
public:
    // The pool offset of text, stored once however often it is added.
    std::pair<std::uint32_t, std::uint32_t> intern(std::string_view text);
    // The pool offset of a text seldom repeated, stored without looking for an equal one.
    std::pair<std::uint32_t, std::uint32_t> store(std::string_view text);
    // Room for what files of this many bytes are expected to give.
    void reserve(std::size_t inputBytes);
    void add(std::string_view key, Kind kind, PartOfSpeech pos, std::uint32_t rank,
             std::uint32_t order, std::pair<std::uint32_t, std::uint32_t> text);
    std::string_view keyOf(const Item& item) const {
        return std::string_view(pool).substr(item.keyOffset, item.keyLength);
    }

    std::string pool;
    std::vector<Item> items;
    QStringList notes;
    std::function<void(int)> progress;
    const std::atomic<bool>* cancel = nullptr;
    bool cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }
    void report(int percent) const {
        if (progress)
            progress(percent);
    }

private:
    // An open-addressing table of the pool's texts: no allocation per text, and nothing to free
    // one by one when the build ends.
    struct Slot {
        std::uint32_t offset;
        std::uint32_t length; // Empty when unused
        std::uint64_t hash;
    };
    static constexpr std::uint32_t Empty = 0xffffffffU;
    void grow(std::size_t slotCount);
    std::vector<Slot> m_slots;
    std::size_t m_used = 0;
};

// Sentences for the notes.
QString damagedNote(const QString& path, int skippedLines);
QString unreadableNote(const QString& path);

// Progress runs from first to last percent while the reader goes through its files.
void readEdict(const QString& path, Collector& out, int firstPercent, int lastPercent);
void readWordnet(const QStringList& indexFiles, const QStringList& dataFiles,
                 const QStringList& exceptionFiles, Collector& out, int firstPercent,
                 int lastPercent);

// ASCII letters lowered, runs of blanks made one; other characters through QString::toLower.
std::string normalisedKey(const char* begin, const char* end);

} // namespace dictionaryindex
