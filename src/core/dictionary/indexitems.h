// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

// What the dictionary readers hand to the index builder: one (key, meaning) pair per item, the
// meaning's text kept once in a shared pool. Internal to core/dictionary.
namespace dictionaryindex {

enum class Kind : std::uint8_t { Edict = 0, Wordnet = 1, BaseForm = 2 };
enum class PartOfSpeech : std::uint8_t { Noun = 0, Verb = 1, Adjective = 2, Adverb = 3 };

struct Item {
    std::string key; // lower-case UTF-8
    Kind kind;
    PartOfSpeech pos;
    std::uint32_t rank;  // smaller first
    std::uint32_t order; // then by this
    std::uint32_t textOffset;
    std::uint32_t textLength;
};

class Collector {
public:
    // The pool offset of text, stored once however often it is added.
    std::pair<std::uint32_t, std::uint32_t> intern(const std::string& text);
    void add(std::string key, Kind kind, PartOfSpeech pos, std::uint32_t rank, std::uint32_t order,
             std::pair<std::uint32_t, std::uint32_t> text);

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
    std::unordered_map<std::string, std::uint32_t> m_interned;
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
