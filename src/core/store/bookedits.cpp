// SPDX-License-Identifier: GPL-3.0-or-later
#include "book.h"
#include "core/files/atomicfile.h"
#include "core/files/failure.h"
#include "core/store/booksession.h"
#include "core/store/storedtext.h"
#include "core/store/wordfile.h"
#include "core/text/cp932.h"

#include <QSet>
#include <algorithm>
#include <charconv>

using namespace wordfile;
using storedtext::trimmedRight;

// One text record per word: the word in quotes, its record number. Built straight into bytes:
// this runs after every registration, on books of a hundred thousand words.
void Book::appendWordLine(WordFileBuffer& out, const IndexEntry& e) const {
    // At most two bytes per UTF-16 unit, quotes, comma, eleven digits and CR LF.
    char* p = out.reserve(e.word.size() * 2 + 16);
    *p++ = '"';
    const char16_t* chars = reinterpret_cast<const char16_t*>(e.word.constData());
    const qsizetype length = e.word.size();
    qsizetype i = 0;
    while (i < length && chars[i] < 0x80)
        *p++ = char(chars[i++]);
    if (i < length) {
        const auto raw = m_rawWords.isEmpty() || !e.word.contains(QChar::ReplacementCharacter)
                             ? m_rawWords.cend()
                             : m_rawWords.constFind(rawKey(e.word, e.recordNo));
        const QByteArray rest =
            raw != m_rawWords.cend() ? raw.value() : cp932::encode(e.word.sliced(i));
        if (raw != m_rawWords.cend())
            p -= i; // the kept bytes are the whole word
        p = std::copy(rest.cbegin(), rest.cend(), p);
    }
    *p++ = '"';
    *p++ = ',';
    p = std::to_chars(p, p + 12, e.recordNo).ptr;
    *p++ = '\r';
    *p++ = '\n';
    out.commit(p);
}

QByteArray Book::wordFileBytes(const std::vector<IndexEntry>& entries) const {
    WordFileBuffer out(qsizetype(entries.size()) * 24);
    for (const IndexEntry& e : entries)
        appendWordLine(out, e);
    return out.take();
}

void Book::writeWordFile() {
    const BookSession::Operation operation(*m_session);
    const int count = m_index.size();
    WordFileBuffer out(qsizetype(count) * 24);
    for (int p = 0; p < count; ++p)
        appendWordLine(out, m_index.at(p));
    writeFileAtomically(filePath(bookfile::Words), out.take());
}

std::vector<Book::StoredWord> Book::parseWordFile(const QByteArray& bytes) {
    std::vector<WordLine> lines = parseWordLines(bytes);
    std::vector<StoredWord> words;
    words.reserve(lines.size());
    for (WordLine& line : lines)
        words.push_back({std::move(line.word), line.recordNo});
    return words;
}

QString Book::wordFromBytes(QByteArrayView bytes) {
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    bool ok = true;
    return decodeWord(bytes, ok);
}

QString Book::storedWord(const QString& word) {
    return trimmedRight(word);
}

QString Book::refusalFor(const QString& word, const QString& meaning, const QString& example) {
    if (word.trimmed().isEmpty())
        return QStringLiteral("単語が空です。");
    if (word.contains(u'"'))
        return QStringLiteral("単語にダブルクォーテーション（\"）は使えません。");
    for (QChar c : word)
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("単語に改行やタブなどの制御文字は使えません。");
    const struct {
        const char16_t* label;
        const QString& text;
        int recordSize;
    } fields[] = {{u"単語", word, 0},
                  {u"意味", meaning, bookfile::MeaningSize},
                  {u"用例", example, bookfile::ExampleSize}};
    for (const auto& field : fields) {
        const QString label = QString::fromUtf16(field.label);
        const QString bad = cp932::unencodable(field.text);
        if (!bad.isEmpty())
            return QStringLiteral("%1に保存できない文字が含まれています：%2").arg(label, bad);
        if (field.recordSize == 0)
            continue;
        const QString stored = trimmedRight(field.text);
        // The deletion marker: a record holding only it is dropped as deleted.
        if (stored == bookfile::DeletionMarker)
            return QStringLiteral("%1に「###」だけを登録することはできません（削除の印です）。")
                .arg(label);
        const qsizetype bytes = cp932::encode(stored).size();
        if (bytes > field.recordSize)
            return QStringLiteral("%1が長すぎます（%2バイト）。%1に保存できるのは%3バイト"
                                  "（全角で%4文字）までです。")
                .arg(label)
                .arg(bytes)
                .arg(field.recordSize)
                .arg(field.recordSize / 2);
    }
    return {};
}

qint32 Book::newRecordNumber() const {
    qint32 n = m_nextRecord;
    while (m_usedPastEnd.contains(n))
        ++n;
    return n;
}

void Book::writeRecords(qint32 recordNo, const QString& meaning, const QString& example) {
    m_meanings.write(recordNo, meaning);
    m_examples.write(recordNo, example);
    // The records are on disk before the word file names them: a crash in between leaves the
    // book as it was, with an unused record at the end.
    m_meanings.sync();
    m_examples.sync();
}

int Book::registerWord(const QString& word, const QString& meaning, const QString& example) {
    const QString stored = storedWord(word);
    const QString refusal = refusalFor(stored, meaning, example);
    if (!refusal.isEmpty())
        throw WordRefused(refusal);
    const BookSession::Operation operation(*m_session);
    // A failure anywhere below leaves the old word file in place, which does not name the new
    // number, so the number is only taken for good once the word file names it.
    const qint32 recordNo = newRecordNumber();
    writeRecords(recordNo, meaning, example);
    const int position = m_index.insert({stored, recordNo, false});
    commitWordFile([&] { m_index.removeAt(position); });
    m_nextRecord = recordNo + 1;
    tell({{}, 0, stored, recordNo});
    m_session->record(
        {SessionEdit::Kind::Register, {}, {stored, trimmedRight(meaning), trimmedRight(example)}});
    return position;
}

int Book::findAfterReload(const SessionWord& before, int position, int& sameSpelling) {
    if (m_session->replaying() || !m_session->changedOnDisk())
        return position;
    m_session->reloadIfChanged();
    position = m_session->find(before);
    if (position < 0)
        sameSpelling = m_session->findSpelling(before.word);
    return position;
}

int Book::modifyWord(int position, const QString& word, const QString& meaning,
                     const QString& example) {
    const QString stored = storedWord(word);
    const SessionWord mine{stored, trimmedRight(meaning), trimmedRight(example)};
    SessionWord before = m_session->wordAt(position);
    int other = -1;
    position = findAfterReload(before, position, other);
    if (position < 0) {
        // Another program changed or removed the word this edit started from.
        const bool exists = other >= 0;
        if (!m_session->keepMine(
                {mine, false, exists ? m_session->wordAt(other) : SessionWord{}, exists})) {
            if (exists)
                return other;
            throw WordRefused(
                QStringLiteral("「%1」は別の場所で削除されていたため、変更は登録しませんでした。")
                    .arg(before.word));
        }
        if (!exists)
            return registerWord(word, meaning, example);
        position = other;
        before = m_session->wordAt(other);
    }
    const BookSession::Operation operation(*m_session);
    const IndexEntry old = m_index.at(position);
    // A word read from bytes that are not CP932 may keep its spelling: its bytes are kept.
    const auto raw = stored == old.word ? m_rawWords.constFind(rawKey(old.word, old.recordNo))
                                        : m_rawWords.cend();
    const bool keepsRawWord = raw != m_rawWords.cend();
    const QString refusal =
        refusalFor(keepsRawWord ? QStringLiteral("w") : stored, meaning, example);
    if (!refusal.isEmpty())
        throw WordRefused(refusal);
    const qint32 recordNo = newRecordNumber();
    writeRecords(recordNo, meaning, example);
    if (keepsRawWord)
        m_rawWords.insert(rawKey(stored, recordNo), raw.value());
    int newPosition = m_index.rename(position, stored);
    m_index.setRecordNo(newPosition, recordNo);
    // The commit point: the word file names the new records.
    commitWordFile([&] {
        m_index.setRecordNo(newPosition, old.recordNo);
        m_index.rename(newPosition, old.word);
    });
    m_nextRecord = recordNo + 1;
    tell({old.word, old.recordNo, stored, recordNo});
    markDeletedUnlessUsed({old.recordNo});
    m_session->record({SessionEdit::Kind::Modify, before, mine});
    return newPosition;
}

// Marks records deleted once no word refers to them any more. Only records inside the files are
// marked: a word pointing past the end never makes a file grow. A marker that cannot be written
// changes nothing that matters: compaction drops every record no word uses.
void Book::markDeletedUnlessUsed(const std::vector<qint32>& recordNos) {
    if (recordNos.empty())
        return;
    QSet<qint32> stillUsed;
    if (recordNos.size() == 1) {
        if (m_index.positionOfRecord(recordNos.front()) >= 0)
            stillUsed.insert(recordNos.front());
    } else {
        for (int p = 0; p < m_index.size(); ++p)
            stillUsed.insert(m_index.at(p).recordNo);
    }
    try {
        for (const qint32 r : recordNos) {
            if (stillUsed.contains(r))
                continue;
            if (r >= 1 && r <= m_meanings.recordCount())
                m_meanings.write(r, bookfile::DeletionMarker);
            if (r >= 1 && r <= m_examples.recordCount())
                m_examples.write(r, bookfile::DeletionMarker);
        }
    } catch (const RuntimeFailure&) {
    }
}

void Book::deleteWord(int position) {
    SessionWord before = m_session->wordAt(position);
    int other = -1;
    position = findAfterReload(before, position, other);
    if (position < 0) {
        // Gone already, or changed by another program: then the user says which stays.
        if (other < 0 || !m_session->keepMine({before, true, m_session->wordAt(other), true}))
            return;
        position = other;
        before = m_session->wordAt(other);
    }
    const BookSession::Operation operation(*m_session);
    const IndexEntry entry = m_index.at(position);
    m_index.removeAt(position);
    // The word file goes first: a crash before the records are marked leaves records no word
    // uses, which compaction drops, never a word whose meaning reads "###".
    commitWordFile([&] { m_index.insert(entry); });
    m_deletionsPending = true;
    tell({entry.word, entry.recordNo, {}, 0});
    markDeletedUnlessUsed({entry.recordNo});
    m_session->record({SessionEdit::Kind::Delete, before, {}});
}

int Book::deleteChecked() {
    std::vector<SessionWord> checked;
    for (int p = 0; p < m_index.size(); ++p)
        if (m_index.at(p).checkMark)
            checked.push_back(m_session->wordAt(p));
    if (!m_session->replaying() && m_session->changedOnDisk()) {
        // The marks go with the index that is read again: they are set again on the same words.
        m_session->reloadIfChanged();
        std::vector<SessionWord> found;
        for (const SessionWord& w : checked) {
            int p = m_session->find(w);
            if (p < 0) {
                const int other = m_session->findSpelling(w.word);
                if (other >= 0 && m_session->keepMine({w, true, m_session->wordAt(other), true}))
                    p = other;
            }
            if (p < 0)
                continue;
            // The reload may have set the mark again already; each word is deleted once.
            SessionWord marked = m_session->wordAt(p);
            if (std::find(found.begin(), found.end(), marked) != found.end())
                continue;
            m_index.setCheckMark(p, true);
            found.push_back(std::move(marked));
        }
        checked = std::move(found);
    }
    const BookSession::Operation operation(*m_session);
    std::vector<IndexEntry> before = m_index.entries();
    std::vector<qint32> deletedRecords;
    for (const IndexEntry& e : before)
        if (e.checkMark)
            deletedRecords.push_back(e.recordNo);
    m_index.removeIf([](const IndexEntry& e) { return e.checkMark; });
    m_index.clearCheckMarks();
    commitWordFile([&] { m_index.assign(std::move(before)); });
    m_deletionsPending = true;
    for (const IndexEntry& e : before)
        if (e.checkMark)
            tell({e.word, e.recordNo, {}, 0});
    markDeletedUnlessUsed(deletedRecords);
    for (SessionWord& w : checked)
        m_session->record({SessionEdit::Kind::Delete, std::move(w), {}});
    return int(deletedRecords.size());
}

void Book::registerWords(const std::vector<NewWord>& words) {
    for (const NewWord& w : words) {
        const QString refusal = refusalFor(storedWord(w.word), w.meaning, w.example);
        if (!refusal.isEmpty())
            throw WordRefused(refusal);
    }
    if (words.empty())
        return;
    const BookSession::Operation operation(*m_session);
    std::vector<IndexEntry> before = m_index.entries();
    qint32 next = m_nextRecord;
    std::vector<IndexEntry> added;
    added.reserve(words.size());
    for (const NewWord& w : words) {
        while (m_usedPastEnd.contains(next))
            ++next;
        m_meanings.write(next, w.meaning);
        m_examples.write(next, w.example);
        added.push_back({storedWord(w.word), next, false});
        ++next;
    }
    // As for one word: the records are on disk before the word file names them.
    m_meanings.sync();
    m_examples.sync();
    for (IndexEntry& e : added)
        m_index.insert(std::move(e));
    commitWordFile([&] { m_index.assign(std::move(before)); });
    m_nextRecord = next;
    for (const NewWord& w : words)
        m_session->record({SessionEdit::Kind::Register,
                           {},
                           {storedWord(w.word), trimmedRight(w.meaning), trimmedRight(w.example)}});
}

void Book::commitWordFile(const std::function<void()>& undo) {
    try {
        writeWordFile();
    } catch (...) {
        undo();
        throw;
    }
}
