// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/review/reviewstore.h"

#include "core/files/atomicfile.h"
#include "core/review/linefields.h"
#include "core/store/book.h"
#include "core/store/wordindex.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// Version 1 files, written before FSRS, have no stability and difficulty; they are read as
// entries without an FSRS memory. Version 2 adds both, in thousandths.
const QByteArray HeaderV1 = "VerbantaReview\t1\t";
const QByteArray Header = "VerbantaReview\t2\t";
const QByteArray Trailer = "end\t";
constexpr int EntryFieldsV1 = 11;
constexpr int EntryFields = 13;

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
    const bool v1 = bytes.startsWith(HeaderV1);
    if ((!v1 && !bytes.startsWith(Header)) || !bytes.endsWith('\n'))
        return false;
    const int integers = (v1 ? EntryFieldsV1 : EntryFields) - 1;
    qsizetype start = bytes.indexOf('\n');
    const auto offset =
        linefields::integer(QByteArrayView(bytes).sliced(Header.size(), start - Header.size()));
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
    // The file lists the entries in the index's order, so each is matched to its word as it is
    // read: a word that is the next one of the index (or a few further on, past words never
    // reviewed) shares the index's string, and the matching holds without a second pass.
    const int words = index.size();
    m_slotOfPosition.assign(size_t(words), -1);
    int position = 0;
    bool allMatched = true;
    bool anyFsrsMemory = false;
    QHash<qint32, int> positionOf; // by record number, built on the first word not found near
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
        auto spelt = [&](int p) {
            const IndexEntry& w = index.at(p);
            return w.recordNo == e.recordNo && m_slotOfPosition[size_t(p)] < 0 &&
                   (escaped ? w.word == e.word : spells(wordField, w.word));
        };
        if (escaped) {
            auto word = linefields::unescaped(wordField);
            if (!word)
                return false;
            e.word = std::move(*word);
        }
        int at = -1;
        for (int p = position; p < std::min(words, position + 8) && at < 0; ++p)
            if (spelt(p))
                at = p;
        if (at < 0 && words > 0) {
            if (positionOf.isEmpty()) {
                positionOf.reserve(words);
                for (int p = 0; p < words; ++p)
                    positionOf.insert(index.at(p).recordNo, p);
            }
            const auto it = positionOf.constFind(e.recordNo);
            if (it != positionOf.cend() && spelt(*it))
                at = *it;
        }
        if (at >= 0) {
            e.word = index.at(at).word;
            m_slotOfPosition[size_t(at)] = int(m_entries.size());
            position = at + 1;
        } else {
            allMatched = false;
            if (!escaped)
                e.word = QString::fromUtf8(wordField);
        }
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
    // Entries whose words were not all found are matched to the book in full afterwards.
    if (!allMatched)
        m_slotOfPosition.clear();
    m_anyFsrsMemory = anyFsrsMemory;
    return *count == qint64(m_entries.size());
}

QByteArray ReviewStore::stateBytes() const {
    QByteArray out;
    out.reserve(qsizetype(m_entries.size()) * 64 + 64);
    out += Header + QByteArray::number(m_logSize) + '\n';
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
    for (int slot : order) {
        const ReviewEntry& e = m_entries[size_t(slot)];
        const qint64 n[EntryFields - 1] = {e.recordNo,
                                           julianOf(e.schedule.due),
                                           e.schedule.intervalDays,
                                           e.schedule.easeMillis,
                                           e.schedule.repetitions,
                                           e.schedule.lapses,
                                           e.lastGrade,
                                           e.lastTime,
                                           e.failStreak,
                                           julianOf(e.introduced),
                                           std::llround(e.schedule.stability * 1000),
                                           std::llround(e.schedule.difficulty * 1000)};
        char line[EntryFields * 21];
        char* end = line;
        for (qint64 v : n) {
            end = std::to_chars(end, line + sizeof line, v).ptr;
            *end++ = '\t';
        }
        out.append(line, end - line);
        linefields::appendEscaped(out, e.word);
        out += '\n';
    }
    out += Trailer + QByteArray::number(qint64(m_entries.size())) + '\n';
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

bool ReviewStore::sameWord(const ReviewEntry& e, const IndexEntry& w) {
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
    reconcile(index);
    struct Due {
        qint64 day;
        int position;
    };
    std::vector<Due> due;
    std::vector<std::pair<qint32, int>> fresh; // record number, position
    const int n = index.size();
    // Every entry has its word after the matching, so the words' pass sees them all.
    qint64 begunToday = 0;
    for (int p = 0; p < n; ++p) {
        const int slot = m_slotOfPosition[size_t(p)];
        if (slot < 0) {
            fresh.emplace_back(index.at(p).recordNo, p);
            continue;
        }
        const ReviewEntry& e = m_entries[size_t(slot)];
        if (e.schedule.due.isValid() && e.schedule.due <= today)
            due.push_back({e.schedule.due.toJulianDay(), p});
        begunToday += e.introduced == today;
    }
    // Positions were collected in order, so ordering by day alone keeps the book's order within
    // a day; due days span a few months at most, which a count per day sorts in two passes.
    sortByDay(due);
    const size_t newCount =
        std::min(fresh.size(), size_t(std::max<qint64>(0, newPerDay - begunToday)));
    std::partial_sort(fresh.begin(), fresh.begin() + qsizetype(newCount), fresh.end());
    std::vector<ReviewItem> items;
    items.reserve(due.size() + newCount);
    for (const Due& d : due) {
        const IndexEntry& w = index.at(d.position);
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
