// SPDX-License-Identifier: GPL-3.0-or-later
#include "dictionaryindex.h"

#include "core/files/atomicfile.h"
#include "indexitems.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <string_view>

using namespace dictionaryindex;

// The image: a header naming the files it was built from (size and modification time of each)
// and the notes of what could not be read, a checksum of everything after the fixed part, then
// the sorted key table, the references of each key and the text pool.
struct DictionaryIndex::Key {
    quint32 offset;
    quint32 length;
    quint32 firstRef;
    quint32 refCount;
};

struct DictionaryIndex::Ref {
    quint32 offset;
    quint32 lengthKindPos; // length in the low 24 bits, kind in the next 4, part of speech above
    quint32 length() const { return lengthKindPos & 0xffffff; }
    Kind kind() const { return Kind((lengthKindPos >> 24) & 0xf); }
    PartOfSpeech pos() const { return PartOfSpeech(lengthKindPos >> 28); }
};

namespace {

// 02: verbs' glosses and the verbs' exception list are marked as verbs. 03: Japanese headwords.
constexpr char Magic[8] = {'V', 'B', 'D', 'I', 'C', 'T', '0', '3'};
constexpr int FixedHeader = 32; // magic, header size, counts, checksum
constexpr int RefsPerKind = 10;

quint64 checksum(const char* data, qsizetype size) {
    quint64 h = 0x9e3779b97f4a7c15ULL ^ quint64(size);
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        quint64 w;
        std::memcpy(&w, data + i, 8);
        h = (h ^ (w * 0xff51afd7ed558ccdULL)) * 0xc4ceb9fe1a85ec53ULL;
        h ^= h >> 29;
    }
    for (; i < size; ++i)
        h = (h ^ quint8(data[i])) * 0x100000001b3ULL;
    return h;
}

template <typename T> void put(QByteArray& out, T value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

void putText(QByteArray& out, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    put<quint32>(out, quint32(utf8.size()));
    out.append(utf8);
}

// Reads the header's variable part without ever reading past end.
class HeaderReader {
public:
    HeaderReader(const char* begin, const char* end) : m_pos(begin), m_end(end) {}
    template <typename T> bool get(T& value) {
        if (m_end - m_pos < qsizetype(sizeof value))
            return false;
        std::memcpy(&value, m_pos, sizeof value);
        m_pos += sizeof value;
        return true;
    }
    bool getText(QString& text) {
        quint32 length = 0;
        if (!get(length) || quint64(m_end - m_pos) < length)
            return false;
        text = QString::fromUtf8(m_pos, length);
        m_pos += length;
        return true;
    }

private:
    const char* m_pos;
    const char* m_end;
};

struct Stamp {
    QString path;
    qint64 size;
    qint64 modified;
    bool operator==(const Stamp&) const = default;
};

QList<Stamp> stampsOf(const DictionaryFiles& files) {
    QList<Stamp> stamps;
    for (const QString& path : files.all()) {
        const QFileInfo info(path);
        stamps.append({path, info.size(), info.lastModified().toMSecsSinceEpoch()});
    }
    return stamps;
}

QByteArray imageOf(Collector& c, const QList<Stamp>& stamps) {
    std::stable_sort(c.items.begin(), c.items.end(), [&c](const Item& a, const Item& b) {
        if (a.keyOffset != b.keyOffset) {
            if (a.keyPrefix != b.keyPrefix)
                return a.keyPrefix < b.keyPrefix;
            return c.keyOf(a) < c.keyOf(b);
        }
        if (a.kind != b.kind)
            return a.kind < b.kind;
        if (a.rank != b.rank)
            return a.rank < b.rank;
        return a.order < b.order;
    });
    std::vector<DictionaryIndex::Ref> refs;
    std::vector<DictionaryIndex::Key> keys;
    refs.reserve(c.items.size());
    for (std::size_t i = 0; i < c.items.size();) {
        const std::uint32_t keyOffset = c.items[i].keyOffset;
        std::size_t end = i;
        while (end < c.items.size() && c.items[end].keyOffset == keyOffset)
            ++end;
        DictionaryIndex::Key k{keyOffset, c.items[i].keyLength, quint32(refs.size()), 0};
        for (std::size_t j = i; j < end;) {
            const Kind kind = c.items[j].kind;
            int kept = 0;
            const std::size_t firstOfKind = refs.size();
            for (; j < end && c.items[j].kind == kind; ++j) {
                const Item& item = c.items[j];
                const bool seen =
                    std::any_of(refs.begin() + qsizetype(firstOfKind), refs.end(),
                                [&](const auto& r) { return r.offset == item.textOffset; });
                if (seen || kept == RefsPerKind)
                    continue;
                refs.push_back({item.textOffset, item.textLength | (quint32(kind) << 24) |
                                                     (quint32(item.pos) << 28)});
                ++kept;
            }
        }
        k.refCount = quint32(refs.size()) - k.firstRef;
        keys.push_back(k);
        i = end;
    }
    QByteArray variable;
    put<quint32>(variable, quint32(stamps.size()));
    for (const Stamp& s : stamps) {
        putText(variable, s.path);
        put<qint64>(variable, s.size);
        put<qint64>(variable, s.modified);
    }
    put<quint32>(variable, quint32(c.notes.size()));
    for (const QString& note : c.notes)
        putText(variable, note);
    while ((FixedHeader + variable.size()) % 8 != 0)
        variable.append('\0');

    QByteArray image;
    image.reserve(
        FixedHeader + variable.size() +
        qsizetype(keys.size() * sizeof(keys[0]) + refs.size() * sizeof(refs[0]) + c.pool.size()));
    image.append(Magic, sizeof Magic);
    put<quint32>(image, quint32(FixedHeader + variable.size()));
    put<quint32>(image, quint32(keys.size()));
    put<quint32>(image, quint32(refs.size()));
    put<quint32>(image, quint32(c.pool.size()));
    put<quint64>(image, 0); // checksum, below
    image.append(variable);
    image.append(reinterpret_cast<const char*>(keys.data()),
                 qsizetype(keys.size() * sizeof(keys[0])));
    image.append(reinterpret_cast<const char*>(refs.data()),
                 qsizetype(refs.size() * sizeof(refs[0])));
    image.append(c.pool.data(), qsizetype(c.pool.size()));
    const quint64 sum = checksum(image.constData() + FixedHeader, image.size() - FixedHeader);
    std::memcpy(image.data() + 24, &sum, sizeof sum);
    return image;
}

// The rules by which WordNet finds a base form from a regular inflection.
constexpr std::pair<std::string_view, std::string_view> Endings[] = {
    {"s", ""},      {"ses", "s"}, {"xes", "x"}, {"zes", "z"}, {"ches", "ch"}, {"shes", "sh"},
    {"men", "man"}, {"ies", "y"}, {"es", "e"},  {"es", ""},   {"ed", "e"},    {"ed", ""},
    {"ing", "e"},   {"ing", ""},  {"er", ""},   {"est", ""},  {"er", "e"},    {"est", "e"},
};

} // namespace

namespace dictionaryindex {

std::pair<std::uint32_t, std::uint32_t> Collector::intern(std::string_view text) {
    if (2 * (m_used + 1) > m_slots.size())
        grow(1024);
    const std::uint64_t hash = std::hash<std::string_view>()(text);
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        Slot& slot = m_slots[i];
        if (slot.length == Empty) {
            slot = {std::uint32_t(pool.size()), std::uint32_t(text.size()), hash};
            pool += text;
            ++m_used;
            return {slot.offset, slot.length};
        }
        if (slot.hash == hash && slot.length == text.size() &&
            std::string_view(pool).substr(slot.offset, slot.length) == text)
            return {slot.offset, slot.length};
    }
}

std::pair<std::uint32_t, std::uint32_t> Collector::store(std::string_view text) {
    const auto offset = std::uint32_t(pool.size());
    pool += text;
    return {offset, std::uint32_t(text.size())};
}

void Collector::reserve(std::size_t inputBytes) {
    // The installed dictionaries give about one item and one text for every 40 bytes read.
    items.reserve(inputBytes / 40);
    pool.reserve(inputBytes);
    std::size_t slotCount = 1024;
    while (slotCount < inputBytes / 20)
        slotCount *= 2;
    if (slotCount > m_slots.size())
        grow(slotCount);
}

void Collector::grow(std::size_t slotCount) {
    std::vector<Slot> old = std::move(m_slots);
    m_slots.assign(std::max<std::size_t>(slotCount, old.size() * 2), Slot{0, Empty, 0});
    const std::size_t mask = m_slots.size() - 1;
    for (const Slot& slot : old) {
        if (slot.length == Empty)
            continue;
        std::size_t i = slot.hash & mask;
        while (m_slots[i].length != Empty)
            i = (i + 1) & mask;
        m_slots[i] = slot;
    }
}

void Collector::add(std::string_view key, Kind kind, PartOfSpeech pos, std::uint32_t rank,
                    std::uint32_t order, std::pair<std::uint32_t, std::uint32_t> text) {
    if (key.empty())
        return;
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < 8; ++i)
        prefix = (prefix << 8) | (i < key.size() ? std::uint8_t(key[i]) : 0);
    const auto [keyOffset, keyLength] = intern(key);
    items.push_back(
        {prefix, keyOffset, keyLength, rank, order, text.first, text.second, kind, pos});
}

QString damagedNote(const QString& path, int skippedLines) {
    return QStringLiteral("辞書ファイル %1 の一部が壊れているか途中で切れています"
                          "（%2 行を読み飛ばしました）。読めた分だけを使います。")
        .arg(QDir::toNativeSeparators(path))
        .arg(skippedLines);
}

QString unreadableNote(const QString& path) {
    return QStringLiteral("辞書ファイル %1 を読めませんでした（壊れているか、形式が違います）。")
        .arg(QDir::toNativeSeparators(path));
}

std::string normalisedKey(const char* begin, const char* end) {
    std::string key;
    key.reserve(std::size_t(end - begin));
    bool ascii = true;
    for (const char* p = begin; p != end; ++p) {
        char c = *p;
        if ((unsigned char)c >= 0x80)
            ascii = false;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (!key.empty() && key.back() != ' ')
                key += ' ';
            continue;
        }
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        key += c;
    }
    if (!key.empty() && key.back() == ' ')
        key.pop_back();
    if (!ascii)
        key = QString::fromUtf8(key.data(), qsizetype(key.size())).toLower().toUtf8().toStdString();
    return key;
}

} // namespace dictionaryindex

DictionaryIndex DictionaryIndex::build(const DictionaryFiles& files, const Progress& progress,
                                       const std::atomic<bool>* cancel) {
    const QList<Stamp> stamps = stampsOf(files);
    Collector c;
    c.progress = progress;
    c.cancel = cancel;
    qint64 inputBytes = 0;
    for (const Stamp& s : stamps)
        inputBytes += std::max<qint64>(0, s.size);
    c.reserve(std::size_t(inputBytes));
    c.report(0);
    if (files.hasEdict())
        readEdict(files.edict, c, 0, files.hasWordnet() ? 55 : 90);
    if (files.hasWordnet() || !files.wordnetExceptions.isEmpty())
        readWordnet(files.wordnetIndex, files.wordnetData, files.wordnetExceptions, c,
                    files.hasEdict() ? 55 : 0, 90);
    DictionaryIndex index;
    if (c.cancelled())
        return index;
    index.attach(imageOf(c, stamps));
    c.report(100);
    return index;
}

bool DictionaryIndex::attach(QByteArray image) {
    *this = DictionaryIndex();
    if (image.size() < FixedHeader || std::memcmp(image.constData(), Magic, sizeof Magic) != 0)
        return false;
    const char* base = image.constData();
    quint32 headerSize, keys, refs, pool;
    quint64 sum;
    std::memcpy(&headerSize, base + 8, 4);
    std::memcpy(&keys, base + 12, 4);
    std::memcpy(&refs, base + 16, 4);
    std::memcpy(&pool, base + 20, 4);
    std::memcpy(&sum, base + 24, 8);
    const quint64 expected =
        quint64(headerSize) + quint64(keys) * sizeof(Key) + quint64(refs) * sizeof(Ref) + pool;
    if (headerSize < FixedHeader || headerSize % 8 != 0 || expected != quint64(image.size()))
        return false;
    if (checksum(base + FixedHeader, image.size() - FixedHeader) != sum)
        return false;
    HeaderReader header(base + FixedHeader, base + headerSize);
    quint32 stampCount = 0, noteCount = 0;
    if (!header.get(stampCount))
        return false;
    for (quint32 i = 0; i < stampCount; ++i) {
        QString path;
        qint64 size, modified;
        if (!header.getText(path) || !header.get(size) || !header.get(modified))
            return false;
    }
    if (!header.get(noteCount))
        return false;
    QStringList notes;
    for (quint32 i = 0; i < noteCount; ++i) {
        QString note;
        if (!header.getText(note))
            return false;
        notes << note;
    }
    m_image = std::move(image);
    m_notes = notes;
    base = m_image.constData();
    m_keys = reinterpret_cast<const Key*>(base + headerSize);
    m_refs = reinterpret_cast<const Ref*>(base + headerSize + keys * sizeof(Key));
    m_pool = base + headerSize + keys * sizeof(Key) + refs * sizeof(Ref);
    m_keyCount = keys;
    m_refCount = refs;
    m_poolSize = pool;
    return true;
}

DictionaryIndex::OpenResult DictionaryIndex::open(const QString& cacheFile,
                                                  const DictionaryFiles& files,
                                                  DictionaryIndex* out) {
    QFile file(cacheFile);
    if (!file.open(QIODevice::ReadOnly))
        return OpenResult::Missing;
    DictionaryIndex index;
    if (!index.attach(file.readAll()))
        return OpenResult::Damaged;
    // The stamps sit right after the fixed header; they were checked by attach.
    HeaderReader header(index.m_image.constData() + FixedHeader,
                        reinterpret_cast<const char*>(index.m_keys));
    quint32 stampCount = 0;
    header.get(stampCount);
    QList<Stamp> stamps;
    for (quint32 i = 0; i < stampCount; ++i) {
        Stamp s;
        header.getText(s.path);
        header.get(s.size);
        header.get(s.modified);
        stamps.append(s);
    }
    if (stamps != stampsOf(files))
        return OpenResult::Stale;
    *out = std::move(index);
    return OpenResult::Opened;
}

DictionaryIndex::Loaded DictionaryIndex::openOrBuild(const DictionaryFiles& files,
                                                     const QString& cacheFile,
                                                     const Progress& progress,
                                                     const std::atomic<bool>* cancel) {
    Loaded loaded;
    if (files.isEmpty())
        return loaded;
    loaded.cache = open(cacheFile, files, &loaded.index);
    if (loaded.cache == OpenResult::Opened)
        return loaded;
    loaded.index = build(files, progress, cancel);
    if (cancel && cancel->load()) {
        loaded.cancelled = true;
        return loaded;
    }
    try {
        QDir().mkpath(QFileInfo(cacheFile).absolutePath());
        writeFileAtomically(cacheFile, loaded.index.image());
    } catch (...) {
        // Without a cache the index is built again next time; the suggestions work all the same.
    }
    return loaded;
}

int DictionaryIndex::keyCount() const {
    return int(m_keyCount);
}

QByteArray DictionaryIndex::text(const Ref& ref) const {
    if (quint64(ref.offset) + ref.length() > m_poolSize)
        return {};
    return QByteArray::fromRawData(m_pool + ref.offset, ref.length());
}

const DictionaryIndex::Key* DictionaryIndex::find(const QByteArray& key) const {
    const std::string_view wanted(key.constData(), std::size_t(key.size()));
    const Key* end = m_keys + m_keyCount;
    auto keyText = [this](const Key& k) {
        if (quint64(k.offset) + k.length > m_poolSize)
            return std::string_view();
        return std::string_view(m_pool + k.offset, k.length);
    };
    const Key* found = std::lower_bound(
        m_keys, end, wanted, [&](const Key& k, std::string_view w) { return keyText(k) < w; });
    if (found == end || keyText(*found) != wanted ||
        quint64(found->firstRef) + found->refCount > m_refCount)
        return nullptr;
    return found;
}

bool DictionaryIndex::knows(const QByteArray& form, bool verbsOnly) const {
    const Key* k = find(form);
    if (!k)
        return false;
    for (quint32 i = 0; i < k->refCount; ++i)
        if (const Ref& r = m_refs[k->firstRef + i];
            r.kind() != Kind::BaseForm && (!verbsOnly || r.pos() == PartOfSpeech::Verb))
            return true;
    return false;
}

QList<DictionaryIndex::Form> DictionaryIndex::forms(const QString& word) const {
    const QByteArray typed = QByteArray::fromStdString([&] {
        const QByteArray utf8 = word.toUtf8();
        return normalisedKey(utf8.constData(), utf8.constData() + utf8.size());
    }());
    QList<Form> forms;
    auto addForm = [&](const QByteArray& key, bool verbsOnly) {
        if (key.isEmpty() || !knows(key, verbsOnly))
            return;
        for (Form& f : forms)
            if (f.key == key) {
                f.verbsOnly = f.verbsOnly && verbsOnly;
                return;
            }
        forms.append({key, verbsOnly});
    };
    if (typed.isEmpty())
        return {};
    addForm(typed, false);
    // A headword written as the infinitive, "to nod off", is the verb "nod off".
    if (typed.startsWith("to ") && typed.size() > 3)
        addForm(typed.mid(3), true);
    if (const Key* k = find(typed))
        for (quint32 i = 0; i < k->refCount; ++i)
            if (const Ref& r = m_refs[k->firstRef + i]; r.kind() == Kind::BaseForm)
                addForm(text(r), r.pos() == PartOfSpeech::Verb);
    // A verb made with する is in the dictionary under its noun (勉強する -> 勉強).
    static const QByteArray Suru = QStringLiteral("する").toUtf8();
    if (typed.endsWith(Suru) && typed.size() > Suru.size())
        addForm(typed.chopped(Suru.size()), false);
    if (!typed.contains(' '))
        for (const auto& [ending, replacement] : Endings)
            if (typed.size() > qsizetype(ending.size()) + 1 &&
                typed.endsWith(QByteArrayView(ending.data(), qsizetype(ending.size()))))
                addForm(typed.left(typed.size() - qsizetype(ending.size())) +
                            QByteArray(replacement.data(), qsizetype(replacement.size())),
                        false);
    return forms;
}

QStringList DictionaryIndex::baseForms(const QString& word) const {
    QStringList out;
    for (const Form& f : forms(word))
        out << QString::fromUtf8(f.key);
    return out;
}

QList<Suggestion> DictionaryIndex::lookup(const QString& word, int limit) const {
    static const QString partNames[] = {QStringLiteral("n"), QStringLiteral("v"),
                                        QStringLiteral("adj"), QStringLiteral("adv")};
    QList<Suggestion> japanese;
    QList<Suggestion> english;
    for (const Form& form : forms(word)) {
        const Key* k = find(form.key);
        if (!k)
            continue;
        for (quint32 i = 0; i < k->refCount; ++i) {
            const Ref& r = m_refs[k->firstRef + i];
            if (r.kind() == Kind::BaseForm || (form.verbsOnly && r.pos() != PartOfSpeech::Verb))
                continue;
            Suggestion s;
            s.text = QString::fromUtf8(text(r));
            if (s.text.isEmpty())
                continue;
            if (r.kind() == Kind::Edict || r.kind() == Kind::Japanese) {
                s.source = Suggestion::Source::Edict;
                if (!japanese.contains(s))
                    japanese << s;
            } else {
                s.source = Suggestion::Source::Wordnet;
                s.partOfSpeech = partNames[int(r.pos()) & 3];
                if (!english.contains(s))
                    english << s;
            }
        }
    }
    // The Japanese glosses come first, but a few definitions keep their place when both exist.
    const int englishKept = std::min<int>(int(english.size()), std::min(3, limit));
    const int japaneseKept = std::min<int>(int(japanese.size()), limit - englishKept);
    QList<Suggestion> out = japanese.mid(0, japaneseKept);
    out += english.mid(0, limit - japaneseKept);
    return out;
}
