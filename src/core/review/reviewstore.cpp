#include "core/review/reviewstore.h"

#include "core/atomicfile.h"
#include "core/book.h"
#include "core/review/linefields.h"
#include "core/wordindex.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <algorithm>

namespace {

const QByteArray Header = "VerbantaReview\t1\t";
const QByteArray Trailer = "end\t";
constexpr int EntryFields = 11;

QDate dayOf(qint64 julian) {
    return julian == 0 ? QDate() : QDate::fromJulianDay(julian);
}

qint64 julianOf(QDate day) {
    return day.isValid() ? day.toJulianDay() : 0;
}

QDate localDay(qint64 time) {
    return QDateTime::fromSecsSinceEpoch(time).date();
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
    m_logIncluded = 0;
    QFile file(statePath());
    bool fromWholeLog = true;
    if (file.exists()) {
        QByteArray bytes;
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
        file.close();
        if (readState(bytes)) {
            fromWholeLog = false;
        } else {
            // Kept for whoever wants to look into it; the log still holds every answer.
            const QString aside = bookfile::SetAsidePrefix +
                                  QDateTime::currentDateTime().toString(u"yyyyMMddHHmmss") + u'-' +
                                  FileName;
            QDir(m_folder).rename(FileName, aside);
            report.setAside = aside;
            m_entries.clear();
            m_logIncluded = 0;
        }
    }
    rebuildRecordMap();
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
    reconcile(index);
    return report;
}

bool ReviewStore::readState(const QByteArray& bytes) {
    if (!bytes.startsWith(Header) || !bytes.endsWith('\n'))
        return false;
    qsizetype start = bytes.indexOf('\n');
    const auto offset =
        linefields::integer(QByteArrayView(bytes).sliced(Header.size(), start - Header.size()));
    if (!offset || *offset < 0)
        return false;
    m_logIncluded = *offset;
    ++start;
    while (start < bytes.size()) {
        const qsizetype eol = bytes.indexOf('\n', start);
        const QByteArrayView line(bytes.constData() + start, eol - start);
        start = eol + 1;
        if (line.startsWith(Trailer)) {
            const auto count = linefields::integer(line.sliced(Trailer.size()));
            return count && *count == qint64(m_entries.size()) && start == bytes.size();
        }
        QByteArrayView f[EntryFields];
        if (!linefields::split(line, f, EntryFields))
            return false;
        qint64 n[EntryFields - 1];
        for (int k = 0; k < EntryFields - 1; ++k) {
            const auto v = linefields::integer(f[k]);
            if (!v)
                return false;
            n[k] = *v;
        }
        const auto word = linefields::unescaped(f[EntryFields - 1]);
        if (!word || n[2] < 0 || n[3] < sm2::MinimumEaseMillis || n[4] < 0 || n[5] < 0 ||
            n[6] < 0 || n[6] > 4)
            return false;
        ReviewEntry e;
        e.word = *word;
        e.recordNo = qint32(n[0]);
        e.schedule.due = dayOf(n[1]);
        e.schedule.intervalDays = int(n[2]);
        e.schedule.easeMillis = int(n[3]);
        e.schedule.repetitions = int(n[4]);
        e.schedule.lapses = int(n[5]);
        e.lastGrade = int(n[6]);
        e.lastTime = n[7];
        e.failStreak = int(n[8]);
        e.introduced = dayOf(n[9]);
        m_entries.push_back(std::move(e));
    }
    return false; // no trailer: cut short
}

QByteArray ReviewStore::stateBytes() const {
    QByteArray out;
    out.reserve(qsizetype(m_entries.size()) * 64 + 64);
    out += Header + QByteArray::number(m_logSize) + '\n';
    for (const ReviewEntry& e : m_entries) {
        const qint64 n[EntryFields - 1] = {e.recordNo,
                                           julianOf(e.schedule.due),
                                           e.schedule.intervalDays,
                                           e.schedule.easeMillis,
                                           e.schedule.repetitions,
                                           e.schedule.lapses,
                                           e.lastGrade,
                                           e.lastTime,
                                           e.failStreak,
                                           julianOf(e.introduced)};
        for (qint64 v : n) {
            out += QByteArray::number(v);
            out += '\t';
        }
        linefields::appendEscaped(out, e.word);
        out += '\n';
    }
    out += Trailer + QByteArray::number(qint64(m_entries.size())) + '\n';
    return out;
}

void ReviewStore::rebuildRecordMap() {
    m_byRecord.clear();
    m_byRecord.reserve(qsizetype(m_entries.size()));
    for (int slot = 0; slot < int(m_entries.size()); ++slot)
        m_byRecord.insert(m_entries[size_t(slot)].recordNo, slot);
    m_byWordValid = false;
}

int ReviewStore::slotOf(const QString& word, qint32 recordNo) const {
    const auto it = m_byRecord.constFind(recordNo);
    if (it != m_byRecord.cend() && m_entries[size_t(*it)].word == word)
        return *it;
    if (!m_byWordValid) {
        m_byWord.clear();
        for (int slot = 0; slot < int(m_entries.size()); ++slot)
            m_byWord.insert(m_entries[size_t(slot)].word, slot);
        m_byWordValid = true;
    }
    return m_byWord.value(word, -1);
}

const ReviewEntry* ReviewStore::find(const QString& word, qint32 recordNo) const {
    const int slot = slotOf(word, recordNo);
    return slot < 0 ? nullptr : &m_entries[size_t(slot)];
}

ReviewEntry& ReviewStore::apply(const LoggedAnswer& a) {
    int slot = slotOf(a.word, a.recordNo);
    const QDate today = localDay(a.time);
    if (slot < 0) {
        ReviewEntry fresh;
        fresh.word = a.word;
        fresh.recordNo = a.recordNo;
        fresh.introduced = today;
        slot = int(m_entries.size());
        m_entries.push_back(std::move(fresh));
        m_byRecord.insert(a.recordNo, slot);
        if (m_byWordValid)
            m_byWord.insert(a.word, slot);
    }
    ReviewEntry& e = m_entries[size_t(slot)];
    if (e.recordNo != a.recordNo) {
        m_byRecord.insert(a.recordNo, slot);
        e.recordNo = a.recordNo;
    }
    e.schedule = sm2::answer(e.schedule, a.grade, today);
    e.lastGrade = int(a.grade);
    e.lastTime = a.time;
    e.failStreak = a.grade == Grade::Again ? e.failStreak + 1 : 0;
    return e;
}

void ReviewStore::reconcile(const WordIndex& index) {
    std::vector<char> matched(m_entries.size(), 0);
    std::vector<int> unmatched; // index positions without an entry of the same word and record
    const int n = index.size();
    for (int p = 0; p < n; ++p) {
        const IndexEntry& w = index.at(p);
        const auto it = m_byRecord.constFind(w.recordNo);
        if (it != m_byRecord.cend() && !matched[size_t(*it)] &&
            m_entries[size_t(*it)].word == w.word)
            matched[size_t(*it)] = 1;
        else
            unmatched.push_back(p);
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
            m_entries[size_t(*it)].recordNo = w.recordNo;
            byWord.erase(it);
        }
    }
    // Words without an entry are simply new; only entries that moved or went change the state.
    if (left > 0) {
        std::vector<ReviewEntry> kept;
        kept.reserve(m_entries.size());
        for (size_t slot = 0; slot < m_entries.size(); ++slot)
            if (matched[slot])
                kept.push_back(std::move(m_entries[slot]));
        m_entries = std::move(kept);
        rebuildRecordMap();
        m_dirty = true;
    }
}

std::vector<ReviewItem> ReviewStore::queue(const WordIndex& index, QDate today,
                                           int newPerDay) const {
    struct Due {
        qint64 day;
        int position;
    };
    std::vector<Due> due;
    std::vector<std::pair<qint32, int>> fresh; // record number, position
    const int n = index.size();
    for (int p = 0; p < n; ++p) {
        const IndexEntry& w = index.at(p);
        const auto it = m_byRecord.constFind(w.recordNo);
        if (it == m_byRecord.cend() || m_entries[size_t(*it)].word != w.word) {
            fresh.emplace_back(w.recordNo, p);
            continue;
        }
        const Schedule& s = m_entries[size_t(*it)].schedule;
        if (s.due.isValid() && s.due <= today)
            due.push_back({s.due.toJulianDay(), p});
    }
    std::sort(due.begin(), due.end(), [](const Due& a, const Due& b) {
        return a.day != b.day ? a.day < b.day : a.position < b.position;
    });
    const auto begunToday =
        std::count_if(m_entries.begin(), m_entries.end(),
                      [&](const ReviewEntry& e) { return e.introduced == today; });
    const size_t newCount =
        std::min(fresh.size(), size_t(std::max<qint64>(0, newPerDay - qint64(begunToday))));
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
