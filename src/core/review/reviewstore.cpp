// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/review/reviewstore.h"

#include "core/files/atomicfile.h"
#include "core/review/linefields.h"
#include "core/store/book.h"
#include "core/store/wordindex.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// Versions 1 and 2 were text, a line per entry: version 1 files, written before FSRS, have no
// stability and difficulty and are read as entries without an FSRS memory; version 2 adds both,
// in thousandths. Both are still read; the next write turns them into version 3.
const QByteArray HeaderV1 = "VerbantaReview\t1\t";
const QByteArray HeaderV2 = "VerbantaReview\t2\t";
const QByteArray Trailer = "end\t";
constexpr int EntryFieldsV1 = 11;
constexpr int EntryFields = 13;

// Version 3 is binary, because reading the numbers of a large book's text file took longer than
// everything else of opening its review. All numbers are little-endian.
//   header:  "VerbantaReviewB\0", version (u32, 3), record size (u32, 64), the log bytes the state
//            accounts for (i64), entry count (u64), UTF-16 units of the words (u64), 16 bytes of
//            zeros (the header fills 64 bytes, so records never straddle the check's stripes);
//   records: one of RecordSize bytes per entry, in the index's order (see StateRecord);
//   words:   each entry's word in UTF-16, one after the other, in the records' order;
//   check:   a 64-bit hash of every byte before it, so a torn or damaged file is never taken
//            for a sound one.
const QByteArray Magic("VerbantaReviewB\0", 16);
constexpr quint32 BinaryVersion = 3;
constexpr qsizetype HeaderSize = 64;
constexpr qsizetype RecordSize = 64;
constexpr qsizetype CheckSize = 8;

// The fields of a record at their byte offsets.
namespace at {
constexpr int RecordNo = 0, Due = 4, Interval = 8, Ease = 12, Repetitions = 16, Lapses = 20,
              LastTime = 24, Introduced = 32, FailStreak = 36, LastGrade = 40, WordLength = 44,
              Stability = 48, Difficulty = 56;
} // namespace at

template <typename T> T readLe(const char* p) {
    return qFromLittleEndian<T>(p);
}
template <typename T> void writeLe(char* p, T v) {
    qToLittleEndian<T>(v, p);
}
double readDouble(const char* p) {
    return std::bit_cast<double>(readLe<quint64>(p));
}

// A 64-bit hash of a file's bytes, given in parts: four lanes of 8-byte words, each mixed by
// multiplying and rotating, so the lanes run side by side; a single flipped bit changes about half
// of the result's bits. The constants and steps are XXH64's. Every part but the last is a whole
// number of 32-byte stripes, so a large file can be hashed a block at a time while the block is
// still in the cache for reading.
class Checksum {
public:
    void addStripes(const char* p, qsizetype size) {
        Q_ASSERT(size % 32 == 0);
        for (const char* const end = p + size; p < end; p += 32) {
            m_v1 = round(m_v1, readLe<quint64>(p));
            m_v2 = round(m_v2, readLe<quint64>(p + 8));
            m_v3 = round(m_v3, readLe<quint64>(p + 16));
            m_v4 = round(m_v4, readLe<quint64>(p + 24));
        }
        m_size += quint64(size);
    }
    quint64 finish(const char* p, qsizetype size) {
        const qsizetype whole = size - size % 32;
        addStripes(p, whole);
        p += whole;
        const char* const end = p + size % 32;
        const auto merge = [](quint64 acc, quint64 lane) {
            return (acc ^ round(0, lane)) * P1 + P4;
        };
        quint64 h =
            std::rotl(m_v1, 1) + std::rotl(m_v2, 7) + std::rotl(m_v3, 12) + std::rotl(m_v4, 18);
        h = merge(merge(merge(merge(h, m_v1), m_v2), m_v3), m_v4);
        h += m_size + quint64(end - p);
        for (; end - p >= 8; p += 8)
            h = std::rotl(h ^ round(0, readLe<quint64>(p)), 27) * P1 + P4;
        if (end - p >= 4) {
            h = std::rotl(h ^ (quint64(readLe<quint32>(p)) * P1), 23) * P2 + P3;
            p += 4;
        }
        for (; p < end; ++p)
            h = std::rotl(h ^ (quint64(uchar(*p)) * P5), 11) * P1;
        h ^= h >> 33;
        h *= P2;
        h ^= h >> 29;
        h *= P3;
        h ^= h >> 32;
        return h;
    }

private:
    static constexpr quint64 P1 = 11400714785074694791ull, P2 = 14029467366897019727ull,
                             P3 = 1609587929392839161ull, P4 = 9650029242287828579ull,
                             P5 = 2870177450012600261ull;
    static quint64 round(quint64 acc, quint64 input) {
        return std::rotl(acc + input * P2, 31) * P1;
    }
    quint64 m_v1 = P1 + P2, m_v2 = P2, m_v3 = 0, m_v4 = 0 - P1;
    quint64 m_size = 0;
};

// Whether the UTF-16 word of a version 3 file spells text.
bool spellsUtf16(const char* utf16, qsizetype length, const QString& text) {
    if (text.size() != length)
        return false;
    if constexpr (std::endian::native == std::endian::little)
        return std::memcmp(utf16, text.constData(), size_t(length) * 2) == 0;
    for (qsizetype i = 0; i < length; ++i)
        if (readLe<quint16>(utf16 + 2 * i) != text[i].unicode())
            return false;
    return true;
}

QString utf16Word(const char* utf16, qsizetype length) {
    QString word(length, Qt::Uninitialized);
    for (qsizetype i = 0; i < length; ++i)
        word[i] = QChar(readLe<quint16>(utf16 + 2 * i));
    return word;
}

// Asks for the string of an index word to be brought into the cache ahead of its use. The index's
// strings lie wherever they were allocated, so going through a large book in its order or in
// due order misses the cache on nearly every word; asked for early, the misses overlap.
inline void prefetchWord(const QString& word) {
    __builtin_prefetch(word.constData(), 1);
}

// Matches the entries of a state file to the index's words as they are read. The file lists the
// entries in the index's order, so an entry's word is the next one of the index (or a few further
// on, past words never reviewed) and shares the index's string; the others are looked up by
// record number. Entries matched so need no second pass.
class InOrderMatcher {
public:
    InOrderMatcher(const WordIndex& index, std::vector<int>& slotOfPosition)
        : m_index(index), m_words(index.size()), m_slotOfPosition(slotOfPosition) {
        m_slotOfPosition.assign(size_t(m_words), -1);
    }
    // The index position of the entry of recordNo whose word spells (a test of the index's
    // word), now given slot; -1 when it is not found.
    template <typename Spells> int place(qint32 recordNo, Spells&& spells, int slot) {
        if (m_position + Ahead < m_words)
            prefetchWord(m_index.at(m_position + Ahead).word);
        auto fits = [&](int p) {
            const IndexEntry& w = m_index.at(p);
            return w.recordNo == recordNo && m_slotOfPosition[size_t(p)] < 0 && spells(w.word);
        };
        int found = -1;
        for (int p = m_position; p < std::min(m_words, m_position + 8) && found < 0; ++p)
            if (fits(p))
                found = p;
        if (found < 0 && m_words > 0) {
            if (m_positionOf.isEmpty()) {
                m_positionOf.reserve(m_words);
                for (int p = 0; p < m_words; ++p)
                    m_positionOf.insert(m_index.at(p).recordNo, p);
            }
            const auto it = m_positionOf.constFind(recordNo);
            if (it != m_positionOf.cend() && fits(*it))
                found = *it;
        }
        if (found < 0) {
            m_allMatched = false;
            return -1;
        }
        m_slotOfPosition[size_t(found)] = slot;
        m_position = found + 1;
        return found;
    }
    // Entries whose words were not all found are matched to the book in full afterwards.
    void finish() {
        if (!m_allMatched)
            m_slotOfPosition.clear();
    }

private:
    static constexpr int Ahead = 16;
    const WordIndex& m_index;
    const int m_words;
    std::vector<int>& m_slotOfPosition;
    int m_position = 0;
    bool m_allMatched = true;
    QHash<qint32, int> m_positionOf; // by record number, built on the first word not found near
};

QDate dayOf(qint64 julian) {
    return julian == 0 ? QDate() : QDate::fromJulianDay(julian);
}

qint64 julianOf(QDate day) {
    return day.isValid() ? day.toJulianDay() : 0;
}

// Whether a word field of the state file, UTF-8 without escapes, spells text.
bool spells(QByteArrayView utf8, QStringView text) {
    const qsizetype n = std::min(utf8.size(), text.size());
    qsizetype i = 0;
    while (i < n && uchar(utf8[i]) < 0x80 && text[i].unicode() == uchar(utf8[i]))
        ++i;
    if (i == utf8.size())
        return i == text.size();
    if (uchar(utf8[i]) < 0x80)
        return false;
    return QtPrivate::compareStrings(QUtf8StringView(utf8.sliced(i)), text.sliced(i)) == 0;
}

// The log bytes from offset on; the whole log when offset lies past its end (a log replaced by
// a shorter one cannot be matched to the state).
QByteArray logTail(const QString& path, qint64 offset, qint64* size) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *size = 0;
        return {};
    }
    *size = file.size();
    if (offset > *size)
        offset = *size;
    file.seek(offset);
    return file.readAll();
}

} // namespace

ReviewStore::ReviewStore(QString bookFolder) : m_folder(std::move(bookFolder)) {}

ReviewStore::LoadReport ReviewStore::load(const WordIndex& index) {
    LoadReport report;
    m_entries.clear();
    m_slotOfPosition.clear();
    m_logIncluded = 0;
    m_anyFsrsMemory = false;
    QFile file(statePath());
    bool fromWholeLog = true;
    if (file.exists()) {
        // Mapped rather than copied: the file of a large book runs to megabytes.
        QByteArray copy;
        QByteArrayView bytes;
        if (file.open(QIODevice::ReadOnly)) {
            if (const uchar* mapped = file.size() > 0 ? file.map(0, file.size()) : nullptr)
                bytes = QByteArrayView(mapped, file.size());
            else
                bytes = copy = file.readAll();
        }
        const bool sound = readState(bytes, index);
        file.close();
        if (sound) {
            fromWholeLog = false;
        } else {
            // Kept for whoever wants to look into it; the log still holds every answer.
            const QString aside = bookfile::SetAsidePrefix +
                                  QDateTime::currentDateTime().toString(u"yyyyMMddHHmmss") + u'-' +
                                  FileName;
            QDir(m_folder).rename(FileName, aside);
            report.setAside = aside;
            m_entries.clear();
            m_slotOfPosition.clear();
            m_logIncluded = 0;
            m_anyFsrsMemory = false;
        }
    }
    rebuildRecordMap();
    loadSchedule(report, file.exists() || QFile::exists(logPath()));
    qint64 logSize = 0;
    const QByteArray tail = logTail(logPath(), fromWholeLog ? 0 : m_logIncluded, &logSize);
    if (m_logIncluded > logSize)
        m_logIncluded = 0;
    const answerlog::Parsed parsed = answerlog::parse(tail);
    report.damagedLogLines = parsed.damagedLines;
    for (const LoggedAnswer& a : parsed.answers)
        apply(a);
    // Only whole lines count: a torn last line is cut away before the next answer is logged.
    const qsizetype lastEnd = tail.lastIndexOf('\n') + 1;
    m_logSize = logSize - (tail.size() - lastEnd);
    // A state rebuilt from the log, or one that had to follow the book, is written at the next
    // flush even when no answer follows.
    m_dirty = !parsed.answers.empty();
    // A state file read in the index's order has just been matched to it.
    if (!m_slotOfPosition.empty() && parsed.answers.empty())
        return report;
    reconcile(index);
    return report;
}

bool ReviewStore::readState(QByteArrayView bytes, const WordIndex& index) {
    return bytes.startsWith(Magic) ? readBinaryState(bytes, index) : readTextState(bytes, index);
}

bool ReviewStore::readBinaryState(QByteArrayView bytes, const WordIndex& index) {
    const qsizetype size = bytes.size();
    if (size < HeaderSize + CheckSize)
        return false;
    const char* const file = bytes.data();
    const qint64 logIncluded = readLe<qint64>(file + 24);
    const quint64 count = readLe<quint64>(file + 32);
    const quint64 wordUnits = readLe<quint64>(file + 40);
    const quint64 room = quint64(size - HeaderSize - CheckSize);
    if (readLe<quint32>(file + 16) != BinaryVersion || readLe<quint32>(file + 20) != RecordSize ||
        logIncluded < 0 || count > room / quint64(RecordSize) || wordUnits > room / 2 ||
        count * quint64(RecordSize) + wordUnits * 2 != room)
        return false;
    for (int k = 48; k < HeaderSize; ++k)
        if (file[k] != 0)
            return false;
    m_logIncluded = logIncluded;
    m_entries.reserve(size_t(count));
    InOrderMatcher matcher(index, m_slotOfPosition);
    bool anyFsrsMemory = false;
    const char* record = file + HeaderSize;
    const char* word = record + count * RecordSize;
    const char* const wordsEnd = word + wordUnits * 2;
    // Each block of records is hashed just before it is read, while it is in the cache; the
    // entries read before the check fails are dropped with the rest.
    Checksum check;
    check.addStripes(file, HeaderSize);
    constexpr quint64 Block = 512;
    for (quint64 k = 0; k < count; ++k, record += RecordSize) {
        if (k % Block == 0)
            check.addStripes(record, qsizetype(std::min(Block, count - k)) * RecordSize);
        const qint32 due = readLe<qint32>(record + at::Due);
        const qint32 introduced = readLe<qint32>(record + at::Introduced);
        const qint32 interval = readLe<qint32>(record + at::Interval);
        const qint32 ease = readLe<qint32>(record + at::Ease);
        const qint32 repetitions = readLe<qint32>(record + at::Repetitions);
        const qint32 lapses = readLe<qint32>(record + at::Lapses);
        const qint32 lastGrade = readLe<qint32>(record + at::LastGrade);
        const qint32 failStreak = readLe<qint32>(record + at::FailStreak);
        const quint32 length = readLe<quint32>(record + at::WordLength);
        const double stability = readDouble(record + at::Stability);
        const double difficulty = readDouble(record + at::Difficulty);
        // The check sum vouches for the bytes, not for the program that wrote them.
        if (due < 0 || introduced < 0 || interval < 0 || ease < sm2::MinimumEaseMillis ||
            repetitions < 0 || lapses < 0 || lastGrade < 0 || lastGrade > 4 || failStreak < 0 ||
            !(stability >= 0 && stability < 1e12) || !(difficulty >= 0 && difficulty <= 10) ||
            quint64(wordsEnd - word) / 2 < length)
            return false;
        anyFsrsMemory |= stability > 0;
        // The entry's place is fetched ahead: sharing the index's string raises its reference
        // count by a locked instruction, which waits for the stores before it to reach the cache.
        if (m_entries.size() + 4 < m_entries.capacity()) {
            const char* const place =
                reinterpret_cast<const char*>(m_entries.data() + m_entries.size() + 4);
            __builtin_prefetch(place, 1);
            __builtin_prefetch(place + sizeof(ReviewEntry) - 1, 1);
        }
        ReviewEntry e;
        e.recordNo = readLe<qint32>(record + at::RecordNo);
        const int p = matcher.place(
            e.recordNo, [&](const QString& w) { return spellsUtf16(word, length, w); },
            int(m_entries.size()));
        e.word = p >= 0 ? index.at(p).word : utf16Word(word, length);
        word += 2 * qsizetype(length);
        e.schedule.due = dayOf(due);
        e.schedule.intervalDays = interval;
        e.schedule.easeMillis = ease;
        e.schedule.repetitions = repetitions;
        e.schedule.lapses = lapses;
        e.schedule.stability = stability;
        e.schedule.difficulty = difficulty;
        e.lastGrade = lastGrade;
        e.lastTime = readLe<qint64>(record + at::LastTime);
        e.failStreak = failStreak;
        e.introduced = dayOf(introduced);
        m_entries.push_back(std::move(e));
    }
    if (word != wordsEnd ||
        check.finish(word - wordUnits * 2, qsizetype(wordUnits) * 2) != readLe<quint64>(wordsEnd))
        return false;
    matcher.finish();
    m_anyFsrsMemory = anyFsrsMemory;
    return true;
}

bool ReviewStore::readTextState(QByteArrayView bytes, const WordIndex& index) {
    const bool v1 = bytes.startsWith(HeaderV1);
    if ((!v1 && !bytes.startsWith(HeaderV2)) || !bytes.endsWith('\n'))
        return false;
    const int integers = (v1 ? EntryFieldsV1 : EntryFields) - 1;
    qsizetype start = bytes.indexOf('\n');
    const auto offset =
        linefields::integer(QByteArrayView(bytes).sliced(HeaderV2.size(), start - HeaderV2.size()));
    if (!offset || *offset < 0)
        return false;
    m_logIncluded = *offset;
    ++start;
    // The trailer gives the count, so the entries take one allocation of the right size.
    const qsizetype lastLine = bytes.lastIndexOf('\n', bytes.size() - 2) + 1;
    const QByteArrayView last = bytes.sliced(lastLine, bytes.size() - 1 - lastLine);
    const auto count =
        last.startsWith(Trailer) ? linefields::integer(last.sliced(Trailer.size())) : std::nullopt;
    if (!count || *count < 0 || *count > bytes.size() / 16)
        return false;
    m_entries.reserve(size_t(*count));
    InOrderMatcher matcher(index, m_slotOfPosition);
    bool anyFsrsMemory = false;
    const char* const text = bytes.data();
    const char* const entriesEnd = text + lastLine;
    for (const char* line = text + start; line < entriesEnd;) {
        // Left uninitialised: clearing it for every line costs more than reading the line.
        qint64 n[EntryFields - 1];
        const char* const wordStart = linefields::leadingIntegers(line, entriesEnd, n, integers);
        if (v1)
            n[10] = n[11] = 0;
        if (!wordStart)
            return false;
        // The word runs to the line's end; words are short, so one pass finds the end and any
        // escape or stray tab.
        const char* wordEnd = wordStart;
        bool escaped = false, tab = false;
        for (; *wordEnd != '\n'; ++wordEnd) {
            escaped |= *wordEnd == '\\';
            tab |= *wordEnd == '\t';
        }
        line = wordEnd + 1;
        const QByteArrayView wordField(wordStart, wordEnd - wordStart);
        if (n[2] < 0 || n[3] < sm2::MinimumEaseMillis || n[4] < 0 || n[5] < 0 || n[6] < 0 ||
            n[6] > 4 || n[10] < 0 || n[11] < 0 || n[11] > 10000 || tab)
            return false;
        anyFsrsMemory |= n[10] > 0;
        // Built here and moved in: constructing it in place would clear it byte by byte first.
        ReviewEntry e;
        e.recordNo = qint32(n[0]);
        if (escaped) {
            auto word = linefields::unescaped(wordField);
            if (!word)
                return false;
            e.word = std::move(*word);
        }
        const int found = matcher.place(
            e.recordNo,
            [&](const QString& w) { return escaped ? w == e.word : spells(wordField, w); },
            int(m_entries.size()));
        if (found >= 0)
            e.word = index.at(found).word;
        else if (!escaped)
            e.word = QString::fromUtf8(wordField);
        e.schedule.due = dayOf(n[1]);
        e.schedule.intervalDays = int(n[2]);
        e.schedule.easeMillis = int(n[3]);
        e.schedule.repetitions = int(n[4]);
        e.schedule.lapses = int(n[5]);
        e.lastGrade = int(n[6]);
        e.lastTime = n[7];
        e.failStreak = int(n[8]);
        e.introduced = dayOf(n[9]);
        e.schedule.stability = double(n[10]) / 1000;
        e.schedule.difficulty = double(n[11]) / 1000;
        m_entries.push_back(std::move(e));
    }
    matcher.finish();
    m_anyFsrsMemory = anyFsrsMemory;
    return *count == qint64(m_entries.size());
}

QByteArray ReviewStore::stateBytes() const {
    // In the index's order when it is known, which is the order the next reading goes through.
    std::vector<int> order;
    order.reserve(m_entries.size());
    std::vector<char> listed(m_entries.size(), 0);
    for (int slot : m_slotOfPosition)
        if (slot >= 0 && !listed[size_t(slot)]) {
            listed[size_t(slot)] = 1;
            order.push_back(slot);
        }
    for (size_t slot = 0; slot < m_entries.size(); ++slot)
        if (!listed[slot])
            order.push_back(int(slot));
    qsizetype wordUnits = 0;
    for (const ReviewEntry& e : m_entries)
        wordUnits += e.word.size();
    const qsizetype count = qsizetype(m_entries.size());
    QByteArray out(HeaderSize + count * RecordSize + wordUnits * 2 + CheckSize, '\0');
    char* const file = out.data();
    std::memcpy(file, Magic.constData(), size_t(Magic.size()));
    writeLe<quint32>(file + 16, BinaryVersion);
    writeLe<quint32>(file + 20, quint32(RecordSize));
    writeLe<qint64>(file + 24, m_logSize);
    writeLe<quint64>(file + 32, quint64(count));
    writeLe<quint64>(file + 40, quint64(wordUnits));
    char* record = file + HeaderSize;
    char* word = record + count * RecordSize;
    for (int slot : order) {
        const ReviewEntry& e = m_entries[size_t(slot)];
        writeLe<qint32>(record + at::RecordNo, e.recordNo);
        writeLe<qint32>(record + at::Due, qint32(julianOf(e.schedule.due)));
        writeLe<qint32>(record + at::Interval, e.schedule.intervalDays);
        writeLe<qint32>(record + at::Ease, e.schedule.easeMillis);
        writeLe<qint32>(record + at::Repetitions, e.schedule.repetitions);
        writeLe<qint32>(record + at::Lapses, e.schedule.lapses);
        writeLe<qint64>(record + at::LastTime, e.lastTime);
        writeLe<qint32>(record + at::Introduced, qint32(julianOf(e.introduced)));
        writeLe<qint32>(record + at::FailStreak, e.failStreak);
        writeLe<qint32>(record + at::LastGrade, e.lastGrade);
        writeLe<quint32>(record + at::WordLength, quint32(e.word.size()));
        writeLe<quint64>(record + at::Stability, std::bit_cast<quint64>(e.schedule.stability));
        writeLe<quint64>(record + at::Difficulty, std::bit_cast<quint64>(e.schedule.difficulty));
        record += RecordSize;
        for (QChar c : e.word) {
            writeLe<quint16>(word, c.unicode());
            word += 2;
        }
    }
    Checksum check;
    check.addStripes(file, HeaderSize + count * RecordSize);
    const char* const words = file + HeaderSize + count * RecordSize;
    writeLe<quint64>(word, check.finish(words, word - words));
    return out;
}

void ReviewStore::rebuildRecordMap() {
    m_byRecordValid = false;
}

const QHash<qint32, int>& ReviewStore::byRecord() const {
    if (!m_byRecordValid) {
        m_byRecord.clear();
        m_byRecord.reserve(qsizetype(m_entries.size()));
        for (int slot = 0; slot < int(m_entries.size()); ++slot)
            m_byRecord.insert(m_entries[size_t(slot)].recordNo, slot);
        m_byRecordValid = true;
    }
    return m_byRecord;
}

int ReviewStore::slotOf(const QString& word, qint32 recordNo) const {
    // Exactly: a book may hold the same word twice (a merge keeps both copies), each with a
    // history of its own. Words that moved are found by spelling when the state is matched to
    // the book, and the state file is written then, before any answer names the new record.
    const auto it = byRecord().constFind(recordNo);
    return it != m_byRecord.cend() && m_entries[size_t(*it)].word == word ? *it : -1;
}

const ReviewEntry* ReviewStore::find(const QString& word, qint32 recordNo) const {
    const int slot = slotOf(word, recordNo);
    return slot < 0 ? nullptr : &m_entries[size_t(slot)];
}

ReviewEntry& ReviewStore::apply(const LoggedAnswer& a) {
    int slot = slotOf(a.word, a.recordNo);
    const QDate today = m_days.dayOf(a.time);
    if (slot < 0) {
        ReviewEntry fresh;
        fresh.word = a.word;
        fresh.recordNo = a.recordNo;
        fresh.introduced = today;
        slot = int(m_entries.size());
        m_entries.push_back(std::move(fresh));
        m_slotOfPosition.clear();
        if (m_byRecordValid)
            m_byRecord.insert(a.recordNo, slot);
    }
    ReviewEntry& e = m_entries[size_t(slot)];
    if (m_schedule.method == ScheduleMethod::Fsrs) {
        const int elapsed = e.lastGrade > 0 ? int(m_days.dayOf(e.lastTime).daysTo(today)) : 0;
        e.schedule = fsrs::answer(e.schedule, a.grade, std::max(0, elapsed), today, m_schedule.w,
                                  m_retention);
    } else if (!sm2::isDrill(e.schedule, e.lastGrade, today)) {
        e.schedule = sm2::answer(e.schedule, a.grade, today);
    }
    e.lastGrade = int(a.grade);
    e.lastTime = a.time;
    e.failStreak = a.grade == Grade::Again ? e.failStreak + 1 : 0;
    return e;
}

inline bool ReviewStore::sameWord(const ReviewEntry& e, const IndexEntry& w) {
    // Matched entries share the index's string, so most checks end at the pointer.
    return e.recordNo == w.recordNo &&
           (e.word.constData() == w.word.constData() || e.word == w.word);
}

bool ReviewStore::stillMatched(const WordIndex& index) const {
    const int n = index.size();
    if (m_slotOfPosition.size() != size_t(n))
        return false;
    size_t matched = 0;
    for (int p = 0; p < n; ++p) {
        const int slot = m_slotOfPosition[size_t(p)];
        if (slot < 0)
            continue;
        if (size_t(slot) >= m_entries.size() || !sameWord(m_entries[size_t(slot)], index.at(p)))
            return false;
        ++matched;
    }
    // Every entry has its word, so the words without one are still new.
    return matched == m_entries.size();
}

void ReviewStore::reconcile(const WordIndex& index) {
    if (stillMatched(index))
        return;
    const int n = index.size();
    m_slotOfPosition.assign(size_t(n), -1);
    std::vector<char> matched(m_entries.size(), 0);
    std::vector<int> unmatched; // index positions without an entry of the same word and record
    // The state file lists the entries in the index's order, so most words are the entry after
    // the last one matched; the others are looked up by record number.
    size_t next = 0;
    for (int p = 0; p < n; ++p) {
        const IndexEntry& w = index.at(p);
        int slot = -1;
        if (next < m_entries.size() && !matched[next] && sameWord(m_entries[next], w)) {
            slot = int(next);
        } else {
            const auto it = byRecord().constFind(w.recordNo);
            if (it != m_byRecord.cend() && !matched[size_t(*it)] &&
                sameWord(m_entries[size_t(*it)], w))
                slot = *it;
        }
        if (slot < 0) {
            unmatched.push_back(p);
            continue;
        }
        matched[size_t(slot)] = 1;
        m_slotOfPosition[size_t(p)] = slot;
        next = size_t(slot) + 1;
    }
    const auto left = std::count(matched.begin(), matched.end(), 0);
    if (left > 0 && !unmatched.empty()) {
        QHash<QString, int> byWord;
        byWord.reserve(qsizetype(left));
        for (int slot = 0; slot < int(m_entries.size()); ++slot)
            if (!matched[size_t(slot)])
                byWord.insert(m_entries[size_t(slot)].word, slot);
        for (int p : unmatched) {
            const IndexEntry& w = index.at(p);
            const auto it = byWord.find(w.word);
            if (it == byWord.end())
                continue;
            matched[size_t(*it)] = 1;
            m_slotOfPosition[size_t(p)] = *it;
            m_entries[size_t(*it)].recordNo = w.recordNo;
            m_entries[size_t(*it)].word = w.word;
            byWord.erase(it);
        }
    }
    // Words without an entry are simply new; only entries that moved or went change the state.
    if (left > 0) {
        std::vector<int> newSlot(m_entries.size(), -1);
        std::vector<ReviewEntry> kept;
        kept.reserve(m_entries.size());
        for (size_t slot = 0; slot < m_entries.size(); ++slot)
            if (matched[slot]) {
                newSlot[slot] = int(kept.size());
                kept.push_back(std::move(m_entries[slot]));
            }
        m_entries = std::move(kept);
        for (int& slot : m_slotOfPosition)
            if (slot >= 0)
                slot = newSlot[size_t(slot)];
        rebuildRecordMap();
        m_dirty = true;
    }
}

namespace {

template <typename Due> void sortByDay(std::vector<Due>& due) {
    if (due.empty())
        return;
    const auto [low, high] = std::minmax_element(
        due.begin(), due.end(), [](const Due& a, const Due& b) { return a.day < b.day; });
    const qint64 first = low->day;
    const qint64 span = high->day - first + 1;
    if (span > 100000) {
        std::stable_sort(due.begin(), due.end(),
                         [](const Due& a, const Due& b) { return a.day < b.day; });
        return;
    }
    std::vector<qsizetype> start(size_t(span) + 1, 0);
    for (const Due& d : due)
        ++start[size_t(d.day - first) + 1];
    for (size_t k = 1; k < start.size(); ++k)
        start[k] += start[k - 1];
    std::vector<Due> sorted(due.size());
    for (const Due& d : due)
        sorted[size_t(start[size_t(d.day - first)]++)] = d;
    due = std::move(sorted);
}

} // namespace

std::vector<ReviewItem> ReviewStore::queue(const WordIndex& index, QDate today, int newPerDay) {
    struct Due {
        qint64 day;
        int position;
    };
    const int n = index.size();
    std::vector<Due> due;
    std::vector<std::pair<qint32, int>> fresh; // record number, position
    qint64 begunToday = 0;
    // Whether the last matching still holds is checked in the same pass that collects the due
    // words, which reads every entry once rather than twice; when it no longer holds, the entries
    // are matched again and collected anew.
    const auto collect = [&] {
        due.clear();
        fresh.clear();
        begunToday = 0;
        if (m_slotOfPosition.size() != size_t(n))
            return false;
        due.reserve(m_entries.size());
        size_t matched = 0;
        for (int p = 0; p < n; ++p) {
            const int slot = m_slotOfPosition[size_t(p)];
            const IndexEntry& w = index.at(p);
            if (slot < 0) {
                fresh.emplace_back(w.recordNo, p);
                continue;
            }
            if (size_t(slot) >= m_entries.size())
                return false;
            const ReviewEntry& e = m_entries[size_t(slot)];
            if (!sameWord(e, w))
                return false;
            ++matched;
            if (e.schedule.due.isValid() && e.schedule.due <= today)
                due.push_back({e.schedule.due.toJulianDay(), p});
            begunToday += e.introduced == today;
        }
        // Every entry has its word, so the words without one are still new.
        return matched == m_entries.size();
    };
    if (!collect()) {
        reconcile(index);
        collect();
    }
    // Positions were collected in order, so ordering by day alone keeps the book's order within
    // a day; due days span a few months at most, which a count per day sorts in two passes.
    sortByDay(due);
    const size_t newCount =
        std::min(fresh.size(), size_t(std::max<qint64>(0, newPerDay - begunToday)));
    std::partial_sort(fresh.begin(), fresh.begin() + qsizetype(newCount), fresh.end());
    std::vector<ReviewItem> items;
    items.reserve(due.size() + newCount);
    // The index's entries are fetched a stage before their strings: both miss in due order.
    constexpr size_t Ahead = 16;
    for (size_t k = 0; k < due.size(); ++k) {
        if (k + 2 * Ahead < due.size())
            __builtin_prefetch(&index.at(due[k + 2 * Ahead].position));
        if (k + Ahead < due.size())
            prefetchWord(index.at(due[k + Ahead].position).word);
        // The item's place is fetched too: the word's reference count is raised by a locked
        // instruction, which waits for the stores before it.
        if (k + Ahead < due.size())
            __builtin_prefetch(items.data() + k + Ahead, 1);
        const IndexEntry& w = index.at(due[k].position);
        items.push_back({w.word, w.recordNo, false});
    }
    for (size_t k = 0; k < newCount; ++k) {
        const IndexEntry& w = index.at(fresh[k].second);
        items.push_back({w.word, w.recordNo, true});
    }
    return items;
}

const ReviewEntry& ReviewStore::answer(const QString& word, qint32 recordNo, Grade grade,
                                       const QDateTime& when, int seconds) {
    const LoggedAnswer logged{when.toSecsSinceEpoch(), word, recordNo, grade, seconds};
    // The choice is written before the book's first answer: a book with answers and without the
    // file would be taken for one reviewed before FSRS came. A book never reviewed gets no file.
    if (!m_scheduleWritten)
        writeSchedule();
    m_logSize = answerlog::append(logPath(), logged);
    const int slot = int(&apply(logged) - m_entries.data());
    // Until the state file is next written the log alone carries the answer.
    if (++m_pendingAnswers >= AnswersPerRewrite)
        flush();
    return m_entries[size_t(slot)];
}

void ReviewStore::flush() {
    if (m_logSize == m_logIncluded && !m_dirty)
        return;
    writeFileAtomically(statePath(), stateBytes());
    m_logIncluded = m_logSize;
    m_pendingAnswers = 0;
    m_dirty = false;
}

void ReviewStore::loadSchedule(LoadReport& report, bool hasHistory) {
    BookSchedule::ReadResult result;
    m_schedule = BookSchedule::read(m_folder, &result);
    m_scheduleWritten = result == BookSchedule::ReadResult::Read;
    if (m_scheduleWritten)
        return;
    if (result == BookSchedule::ReadResult::Damaged) {
        // Kept for whoever wants to look into it; the defaults take its place.
        QString aside;
        for (int n = 1; aside.isEmpty() || QFile::exists(m_folder + u'/' + aside); ++n)
            aside = bookfile::SetAsidePrefix +
                    QDateTime::currentDateTime().toString(u"yyyyMMddHHmmss") +
                    (n > 1 ? QStringLiteral("-%1").arg(n) : QString()) + u'-' +
                    BookSchedule::FileName;
        QDir(m_folder).rename(BookSchedule::FileName, aside);
        report.scheduleSetAside = aside;
    }
    // A book reviewed before FSRS came keeps SM-2 until the learner switches; words that carry an
    // FSRS memory say the book had switched.
    m_schedule.method = hasHistory && !m_anyFsrsMemory ? ScheduleMethod::Sm2 : ScheduleMethod::Fsrs;
    if (result == BookSchedule::ReadResult::Damaged) {
        try {
            writeSchedule();
        } catch (...) {
            // Set aside already; the defaults are used and the next answer writes the file.
        }
    }
}

void ReviewStore::writeSchedule() {
    m_schedule.write(m_folder);
    m_scheduleWritten = true;
}

void ReviewStore::setDesiredRetention(double retention) {
    m_retention = std::clamp(retention, fsrs::MinimumRetention, fsrs::MaximumRetention);
}

void ReviewStore::switchMethod(ScheduleMethod method) {
    if (method == m_schedule.method)
        return;
    for (ReviewEntry& e : m_entries) {
        if (method == ScheduleMethod::Fsrs)
            e.schedule = fsrs::fromSm2(e.schedule, e.lastTime ? m_days.dayOf(e.lastTime) : QDate(),
                                       m_schedule.w, m_retention);
        else
            e.schedule = fsrs::toSm2(e.schedule);
    }
    // The converted state is written before the choice: a state written under the old choice
    // would replay later answers with the other method.
    m_dirty = true;
    flush();
    BookSchedule next = m_schedule;
    next.method = method;
    next.write(m_folder);
    m_schedule = next;
    m_scheduleWritten = true;
}

bool ReviewStore::keepFit(const fsrs::FitReport& fit, QDate day, qint64 answers) {
    if (!fit.better || fit.cancelled)
        return false;
    BookSchedule next = m_schedule;
    next.w = fit.fitted;
    next.fittedOn = day;
    next.answersAtFit = answers;
    next.write(m_folder);
    m_schedule = next;
    m_scheduleWritten = true;
    return true;
}
