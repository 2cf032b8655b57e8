// SPDX-License-Identifier: GPL-3.0-or-later
#include "book.h"

#include "atomicfile.h"
#include "bookmanifest.h"
#include "booksession.h"
#include "cp932.h"
#include "failure.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// What is left of a rewrite killed half-way: the work file of an atomic rewrite (today's kind, or
// the older one: the target's name, a dot and six characters) and the link made while a compacted
// file is put in place.
bool isWriteLeftover(const QString& name) {
    if (isTemporaryLeftover(name))
        return true;
    for (const QString& target : {bookfile::Words, bookfile::WordsTemp})
        if (name.size() == target.size() + 7 && name.startsWith(target + u'.'))
            return true;
    for (const QString& target : {bookfile::Words, bookfile::Meanings, bookfile::Examples})
        if (name == target + QStringLiteral(".next"))
            return true;
    return false;
}

QByteArray nativePath(const QString& path) {
    return QFile::encodeName(path);
}

void removeIfPresent(const QString& path) {
    if (::unlink(nativePath(path).constData()) != 0 && errno != ENOENT)
        diskio::fail(errno, path);
}

QString trimmedRight(QString s) {
    qsizetype end = s.size();
    while (end > 0 && s.at(end - 1) == u' ')
        --end;
    s.truncate(end);
    return s;
}

QString rawKey(const QString& word, qint32 recordNo) {
    return word + QChar(0) + QString::number(recordNo);
}

// One parsed line of the word file.
struct WordLine {
    QByteArray word;
    qint32 recordNo = 0;
    bool numberOk = false;
    bool unclosed = false;
};

QByteArrayView trimmedBlanks(QByteArrayView v) {
    while (!v.isEmpty() && (v.front() == ' ' || v.front() == '\t'))
        v = v.sliced(1);
    while (!v.isEmpty() && (v.back() == ' ' || v.back() == '\t'))
        v.chop(1);
    return v;
}

bool parseRecordNo(QByteArrayView text, qint32& value) {
    text = trimmedBlanks(text);
    if (text.isEmpty())
        return false;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

// Splits the word file into lines and reads each as a word and its record number. A line end
// always ends a word, even one whose closing quote is missing; a number on a line of its own
// belongs to the word before it (a file written one field per line).
std::vector<WordLine> parseWordLines(const QByteArray& bytes) {
    std::vector<QByteArrayView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= bytes.size(); ++i) {
        if (i == bytes.size() || bytes[i] == '\n' || bytes[i] == '\r') {
            const QByteArrayView line =
                trimmedBlanks(QByteArrayView(bytes).sliced(start, i - start));
            if (!line.isEmpty())
                lines.push_back(line);
            start = i + 1;
        }
    }
    std::vector<WordLine> out;
    out.reserve(lines.size());
    for (size_t l = 0; l < lines.size(); ++l) {
        const QByteArrayView line = lines[l];
        WordLine w;
        QByteArrayView rest;
        bool hasRest = false;
        if (line.front() == '"') {
            const qsizetype close = line.indexOf('"', 1);
            if (close >= 0) {
                w.word = line.sliced(1, close - 1).toByteArray();
                rest = trimmedBlanks(line.sliced(close + 1));
                if (rest.startsWith(','))
                    rest = rest.sliced(1);
                hasRest = !rest.isEmpty();
            } else {
                w.unclosed = true;
                const qsizetype comma = line.lastIndexOf(',');
                qint32 n = 0;
                if (comma > 0 && parseRecordNo(line.sliced(comma + 1), n)) {
                    w.word = line.sliced(1, comma - 1).toByteArray();
                    rest = line.sliced(comma + 1);
                    hasRest = true;
                } else {
                    w.word = line.sliced(1).toByteArray();
                }
            }
        } else {
            const qsizetype comma = line.indexOf(',');
            w.word = (comma >= 0 ? line.first(comma) : line).toByteArray();
            if (comma >= 0) {
                rest = line.sliced(comma + 1);
                hasRest = true;
            }
        }
        if (hasRest) {
            w.numberOk = parseRecordNo(rest, w.recordNo);
        } else if (l + 1 < lines.size() && lines[l + 1].front() != '"' &&
                   parseRecordNo(lines[l + 1], w.recordNo)) {
            w.numberOk = true;
            ++l;
        }
        if (!w.numberOk)
            w.recordNo = 0;
        out.push_back(std::move(w));
    }
    return out;
}

// True when the three temporary files are all there and fit together exactly, as a compaction or
// a replacement writes them before its commit point.
bool isCompleteTemporarySet(const QString& folder) {
    const auto filePath = [&](const QString& name) { return folder + u'/' + name; };
    const QFileInfo meanings(filePath(bookfile::MeaningsTemp));
    const QFileInfo examples(filePath(bookfile::ExamplesTemp));
    if (!meanings.exists() || !examples.exists())
        return false;
    if (meanings.size() % bookfile::MeaningSize != 0 ||
        examples.size() % bookfile::ExampleSize != 0)
        return false;
    const qint64 count = meanings.size() / bookfile::MeaningSize;
    if (count == 0 || examples.size() / bookfile::ExampleSize != count)
        return false;
    // A compaction numbers the records it keeps 1..count, and every one is some word's.
    QFile file(filePath(bookfile::WordsTemp));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const std::vector<WordLine> lines = parseWordLines(file.readAll());
    std::vector<bool> used(size_t(count) + 1, false);
    qint64 distinct = 0;
    for (const WordLine& line : lines) {
        if (!line.numberOk || line.unclosed || line.recordNo < 1 || line.recordNo > count)
            return false;
        if (!used[size_t(line.recordNo)]) {
            used[size_t(line.recordNo)] = true;
            ++distinct;
        }
    }
    return distinct == count;
}

// A file opened for writing, closed when it goes out of scope.
class OutputFile {
public:
    explicit OutputFile(QString path) : m_path(std::move(path)) {
        m_fd =
            ::open(nativePath(m_path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (m_fd < 0)
            diskio::fail(errno, m_path);
    }
    ~OutputFile() { close(); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void write(const QByteArray& bytes) { write(bytes.constData(), bytes.size()); }
    void write(const char* data, qsizetype size) {
        diskio::writeAll(m_fd, m_path, data, size);
        // Let the disk start on what is written while the rest is prepared; the sync at the end
        // then has less to wait for.
        ::sync_file_range(m_fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    }
    void syncAndClose() {
        diskio::sync(m_fd, m_path);
        const int closing = ::close(m_fd);
        m_fd = -1;
        if (closing != 0)
            diskio::fail(errno, m_path);
    }

private:
    void close() {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    QString m_path;
    int m_fd = -1;
};

// Decodes a word's bytes; bytes that are not CP932 become U+FFFD, shown as the replacement mark,
// and clear ok. The converter turns some of them into U+001A without a word, so such words are
// decoded again a character at a time.
QString decodeWord(QByteArrayView bytes, bool& ok) {
    QString text = cp932::decode(bytes, &ok);
    if (ok && !text.contains(QChar(0x1A)) && !text.contains(QChar::ReplacementCharacter))
        return text;
    ok = true;
    text.clear();
    for (qsizetype i = 0; i < bytes.size();) {
        const auto b = uchar(bytes[i]);
        qsizetype length = 1;
        bool good = b != 0x80 && b != 0xA0 && b < 0xFD;
        if (cp932::isLeadByte(b)) {
            const bool hasTrail = i + 1 < bytes.size();
            const auto t = hasTrail ? uchar(bytes[i + 1]) : uchar(0);
            good = hasTrail && t >= 0x40 && t != 0x7F && t <= 0xFC;
            length = good ? 2 : 1;
        }
        if (good) {
            bool pieceOk = true;
            const QString piece = cp932::decode(bytes.sliced(i, length), &pieceOk);
            good = pieceOk && piece.size() == 1 && piece[0] != QChar::ReplacementCharacter &&
                   (piece[0] != QChar(0x1A) || b == 0x1A);
            if (good)
                text += piece;
        }
        if (!good) {
            text += QChar::ReplacementCharacter;
            ok = false;
        }
        i += length;
    }
    return text;
}

bool isAscii(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
}

} // namespace

Book::Book(QString folder, WordIndex::Order order)
    : m_folder(std::move(folder)), m_session(std::make_unique<BookSession>(*this)), m_index(order),
      m_meanings(filePath(bookfile::Meanings), bookfile::MeaningSize),
      m_examples(filePath(bookfile::Examples), bookfile::ExampleSize) {}

Book::~Book() {
    close();
}

void Book::close() {
    m_meanings.close();
    m_examples.close();
}

Book::FilesToRead Book::filesToRead(const QString& folder) {
    const auto path = [&](const QString& name) { return folder + u'/' + name; };
    // The same test the open makes before it finishes a replacement rather than setting it aside.
    if (QFile::exists(path(bookfile::WordsTemp)) && isCompleteTemporarySet(folder))
        return {path(bookfile::WordsTemp), path(bookfile::MeaningsTemp),
                path(bookfile::ExamplesTemp), true};
    return {path(bookfile::Words), path(bookfile::Meanings), path(bookfile::Examples), false};
}

Book::OpenResult Book::open(bool readOnly) {
    if (!QFileInfo(m_folder).isDir())
        throw BookMissing();
    // A set of files from two versions of the book is neither read nor written; a change of this
    // program's own that a crash interrupted is finished below as it always was.
    const bookmanifest::Check manifest = bookmanifest::requireWhole(m_folder);
    close();
    OpenResult result;
    m_problems.clear();
    m_rawWords.clear();
    m_deletionsPending = false;

    // An open that may write finishes an interrupted replacement first; a read-only one reads the
    // files that replacement puts in place, so both see the same book.
    FilesToRead files = filesToRead(m_folder);
    if (!readOnly) {
        recoverInterruptedCompaction(result);
        files = filesToRead(m_folder);
    }
    m_meanings.setPath(files.meanings);
    m_examples.setPath(files.examples);

    // Words that point at records of a meaning file that is gone would take the records of the
    // next words registered: such a book is reported, and nothing in it is created or changed.
    const bool hasMeanings = QFile::exists(files.meanings);
    if (!hasMeanings && QFileInfo(files.words).size() > 0) {
        const QString reason = QStringLiteral("%1 がありません").arg(bookfile::Meanings);
        if (!readOnly)
            throw BookBroken(reason);
        m_problems << reason;
    }
    if (readOnly)
        noteLeftovers(files.replacementPending);

    std::vector<IndexEntry> entries;
    result.wordFileFound = QFile::exists(files.words);
    if (result.wordFileFound)
        entries = readWordFile(files.words, &m_problems);
    m_index.assign(std::move(entries));

    if (readOnly) {
        if (hasMeanings)
            m_meanings.open(true);
        if (QFile::exists(m_examples.path()))
            m_examples.open(true);
        for (const RecordFile* file : {&m_meanings, &m_examples})
            if (file->isOpen() && file->hasPartialRecord())
                m_problems << QStringLiteral("%1 の最後のレコードが途中で切れています")
                                  .arg(QFileInfo(file->path()).fileName());
    } else {
        result.exampleFileCreated = !QFile::exists(m_examples.path());
        openRecordFiles();
    }

    const qint32 lastRecord = std::max(m_meanings.recordCount(), m_examples.recordCount());
    m_nextRecord = lastRecord + 1;
    m_usedPastEnd.clear();
    for (int p = 0; p < m_index.size(); ++p)
        if (m_index.at(p).recordNo > lastRecord)
            m_usedPastEnd.insert(m_index.at(p).recordNo);
    m_session->opened();
    if (!readOnly && !m_session->writing() &&
        (manifest.state == bookmanifest::State::OwnInterrupted || result.recoveredCompaction)) {
        try {
            bookmanifest::endWrite(m_folder);
        } catch (const std::exception&) {
            // Still "writing" by this machine: the next open or write tries again.
        }
    }
    return result;
}

void Book::openRecordFiles() {
    const bool createExamples = !QFile::exists(m_examples.path());
    m_meanings.open();
    m_examples.open();
    if (createExamples) {
        // Every meaning record gets a blank example so the two record files stay in step; writing
        // the last one fills the records before it with spaces.
        if (m_meanings.recordCount() > 0)
            m_examples.writeBytes(m_meanings.recordCount(), QByteArray(bookfile::ExampleSize, ' '));
        m_examples.sync();
    }
}

void Book::noteLeftovers(bool replacementPending) {
    if (replacementPending)
        m_problems << QStringLiteral(
            "中断された置き換えは次の起動で完了します（一覧は完了後の内容です）");
    const QStringList names = QDir(m_folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        const bool temporary = name == bookfile::MeaningsTemp || name == bookfile::ExamplesTemp ||
                               name == bookfile::WordsTemp;
        // The files of a pending replacement are what the note above is about.
        if (replacementPending && (temporary || name.endsWith(QStringLiteral(".next"))))
            continue;
        if (temporary || isWriteLeftover(name))
            m_problems
                << QStringLiteral("中断された処理の一時ファイル %1 が残っています").arg(name);
        else if (name.startsWith(bookfile::SetAsidePrefix))
            m_problems << QStringLiteral("使われなかった一時ファイル %1 が残っています").arg(name);
    }
}

// A compaction is committed once its new word file is complete. It is finished at the next open
// only when the three temporary files are all there and fit together exactly, as a compaction
// writes them; anything else was not written by one and is set aside, never used.
void Book::recoverInterruptedCompaction(OpenResult& result) {
    const QStringList names = QDir(m_folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : names)
        if (isWriteLeftover(name))
            removeIfPresent(filePath(name));
    if (!QFile::exists(filePath(bookfile::WordsTemp))) {
        // Work that never reached its commit point never reaches the book.
        removeIfPresent(filePath(bookfile::MeaningsTemp));
        removeIfPresent(filePath(bookfile::ExamplesTemp));
        return;
    }
    if (isCompleteTemporarySet(m_folder)) {
        installTemporary(bookfile::MeaningsTemp, bookfile::Meanings);
        installTemporary(bookfile::ExamplesTemp, bookfile::Examples);
        installTemporary(bookfile::WordsTemp, bookfile::Words);
        removeTemporaries();
        result.recoveredCompaction = true;
        return;
    }
    for (const QString& name :
         {bookfile::WordsTemp, bookfile::MeaningsTemp, bookfile::ExamplesTemp})
        if (QFile::exists(filePath(name)))
            setAside(name, result);
    syncFolder(m_folder);
}

// Puts a temporary file in place of the book file while keeping the temporary itself, so the set
// stays complete until every file is in place: a crash in between finishes the same way.
void Book::installTemporary(const QString& temporary, const QString& target) {
    const QString next = filePath(target + QStringLiteral(".next"));
    removeIfPresent(next);
    if (::link(nativePath(filePath(temporary)).constData(), nativePath(next).constData()) != 0)
        diskio::copyFile(filePath(temporary), next); // a file system without hard links
    diskio::keepPermissionsOf(filePath(target), next);
    if (::rename(nativePath(next).constData(), nativePath(filePath(target)).constData()) != 0)
        diskio::fail(errno, filePath(target));
    // Renaming a link onto the file it already is (a roll-forward of a set whose file was put in
    // place before the kill) does nothing and leaves the link behind.
    removeIfPresent(next);
}

void Book::removeTemporaries() {
    syncFolder(m_folder);
    // The word file goes first: without it the others are plain leftovers.
    for (const QString& name :
         {bookfile::WordsTemp, bookfile::MeaningsTemp, bookfile::ExamplesTemp})
        removeIfPresent(filePath(name));
    syncFolder(m_folder);
}

void Book::setAside(const QString& name, OpenResult& result) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss"));
    QString asideName = bookfile::SetAsidePrefix + stamp + u'-' + name;
    for (int n = 2; QFile::exists(filePath(asideName)); ++n)
        asideName = bookfile::SetAsidePrefix + stamp + u'-' + QString::number(n) + u'-' + name;
    if (::rename(nativePath(filePath(name)).constData(),
                 nativePath(filePath(asideName)).constData()) != 0)
        diskio::fail(errno, filePath(name));
    result.setAside << asideName;
    m_problems
        << QStringLiteral("%1 は不完全なため使わずに %2 として残しました").arg(name, asideName);
}

std::vector<IndexEntry> Book::readWordFile(const QString& path, QStringList* problems) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeFailure(failure::FileNotFound, QFileInfo(path).fileName());
    const QByteArray bytes = file.readAll();
    std::vector<WordLine> lines = parseWordLines(bytes);
    std::vector<IndexEntry> entries;
    entries.reserve(lines.size());
    for (WordLine& line : lines) {
        IndexEntry e;
        e.recordNo = line.recordNo;
        if (isAscii(line.word)) {
            e.word = QString::fromLatin1(line.word);
        } else {
            bool ok = true;
            e.word = decodeWord(line.word, ok);
            if (!ok) {
                // Shown with the replacement mark, written back as it was.
                m_rawWords.insert(rawKey(e.word, e.recordNo), line.word);
                if (problems)
                    *problems
                        << QStringLiteral("%1: 単語を CP932 の文字として読めません").arg(e.word);
            }
        }
        if (problems) {
            if (line.unclosed)
                *problems << QStringLiteral("%1: 閉じる引用符がありません").arg(e.word);
            if (!line.numberOk)
                *problems << QStringLiteral("%1: レコード番号が読めません").arg(e.word);
        }
        entries.push_back(std::move(e));
    }
    return entries;
}

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
    try {
        writeWordFile();
    } catch (...) {
        m_index.removeAt(position);
        throw;
    }
    m_nextRecord = recordNo + 1;
    tell({{}, 0, stored, recordNo});
    m_session->record(
        {SessionEdit::Kind::Register, {}, {stored, trimmedRight(meaning), trimmedRight(example)}});
    return position;
}

int Book::modifyWord(int position, const QString& word, const QString& meaning,
                     const QString& example) {
    const QString stored = storedWord(word);
    const SessionWord mine{stored, trimmedRight(meaning), trimmedRight(example)};
    SessionWord before = m_session->wordAt(position);
    if (!m_session->replaying() && m_session->changedOnDisk()) {
        m_session->reloadIfChanged();
        position = m_session->find(before);
        if (position < 0) {
            // Another program changed or removed the word this edit started from.
            const int other = m_session->findSpelling(before.word);
            const bool exists = other >= 0;
            if (!m_session->keepMine(
                    {mine, false, exists ? m_session->wordAt(other) : SessionWord{}, exists})) {
                if (exists)
                    return other;
                throw WordRefused(
                    QStringLiteral(
                        "「%1」は別の場所で削除されていたため、変更は登録しませんでした。")
                        .arg(before.word));
            }
            if (!exists)
                return registerWord(word, meaning, example);
            position = other;
            before = m_session->wordAt(other);
        }
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
    try {
        writeWordFile();
    } catch (...) {
        m_index.setRecordNo(newPosition, old.recordNo);
        m_index.rename(newPosition, old.word);
        throw;
    }
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
    if (!m_session->replaying() && m_session->changedOnDisk()) {
        m_session->reloadIfChanged();
        position = m_session->find(before);
        if (position < 0) {
            // Gone already, or changed by another program: then the user says which stays.
            const int other = m_session->findSpelling(before.word);
            if (other < 0 || !m_session->keepMine({before, true, m_session->wordAt(other), true}))
                return;
            position = other;
            before = m_session->wordAt(other);
        }
    }
    const BookSession::Operation operation(*m_session);
    const IndexEntry entry = m_index.at(position);
    m_index.removeAt(position);
    // The word file goes first: a crash before the records are marked leaves records no word
    // uses, which compaction drops, never a word whose meaning reads "###".
    try {
        writeWordFile();
    } catch (...) {
        m_index.insert(entry);
        throw;
    }
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
    try {
        writeWordFile();
    } catch (...) {
        m_index.assign(std::move(before));
        throw;
    }
    m_deletionsPending = true;
    for (const IndexEntry& e : before)
        if (e.checkMark)
            tell({e.word, e.recordNo, {}, 0});
    markDeletedUnlessUsed(deletedRecords);
    for (SessionWord& w : checked)
        m_session->record({SessionEdit::Kind::Delete, std::move(w), {}});
    return int(deletedRecords.size());
}

void Book::compact() {
    const BookSession::Operation operation(*m_session);
    m_session->recordCompaction();
    for (const QString& name :
         {bookfile::MeaningsTemp, bookfile::ExamplesTemp, bookfile::WordsTemp})
        removeIfPresent(filePath(name));
    m_meanings.open();
    m_examples.open();

    // Each file is taken on its own: a meaning file cut short does not blank the examples.
    const int count = std::max(m_meanings.recordCount(), m_examples.recordCount());
    // The records kept are the ones some word uses, whatever they hold; everything else (deleted
    // records, the old records of a modification, records a crash left unused) goes.
    // newNumber[r] is 0 for a record that goes, then the new number of each record kept.
    constexpr qint32 Kept = -1;
    std::vector<qint32> newNumber(size_t(count) + 1, 0);
    for (int p = 0; p < m_index.size(); ++p) {
        const qint32 r = m_index.at(p).recordNo;
        if (r >= 1 && r <= count)
            newNumber[size_t(r)] = Kept;
    }
    QHash<qint32, qint32> newNumberOutside; // words pointing outside the files
    const auto numberOf = [&](qint32 old) {
        return old >= 1 && old <= count ? newNumber[size_t(old)] : newNumberOutside.value(old);
    };

    // Work files a failure leaves half written would take the disk's last free space until the
    // next start: up to the commit point they go as soon as the compaction fails. Declared before
    // the files so that they are closed first.
    struct WorkFiles {
        QStringList paths;
        bool committed = false;
        ~WorkFiles() {
            if (!committed)
                for (const QString& path : paths)
                    ::unlink(nativePath(path).constData());
        }
    } workFiles{{filePath(bookfile::MeaningsTemp), filePath(bookfile::ExamplesTemp)}};
    OutputFile meaningsTemp(filePath(bookfile::MeaningsTemp));
    OutputFile examplesTemp(filePath(bookfile::ExamplesTemp));
    qint32 next = 1;
    constexpr int Batch = 4096; // records read at a time: big sequential reads, bounded memory
    for (qint32 first = 1; first <= count; first += Batch) {
        const int n = std::min(Batch, count - first + 1);
        QByteArray meanings = m_meanings.readRange(first, n);
        QByteArray examples = m_examples.readRange(first, n);
        // The records kept are moved together in the buffers they were read into.
        int kept = 0;
        for (int i = 0; i < n; ++i) {
            qint32& number = newNumber[size_t(first + i)];
            if (number != Kept)
                continue;
            if (kept != i) {
                std::memmove(meanings.data() + qsizetype(kept) * bookfile::MeaningSize,
                             meanings.constData() + qsizetype(i) * bookfile::MeaningSize,
                             bookfile::MeaningSize);
                std::memmove(examples.data() + qsizetype(kept) * bookfile::ExampleSize,
                             examples.constData() + qsizetype(i) * bookfile::ExampleSize,
                             bookfile::ExampleSize);
            }
            number = next++;
            ++kept;
        }
        meaningsTemp.write(meanings.constData(), qsizetype(kept) * bookfile::MeaningSize);
        examplesTemp.write(examples.constData(), qsizetype(kept) * bookfile::ExampleSize);
    }
    // A word whose record lies outside the files keeps its place with blank records.
    for (int p = 0; p < m_index.size(); ++p) {
        const qint32 old = m_index.at(p).recordNo;
        if ((old < 1 || old > count) && !newNumberOutside.contains(old)) {
            meaningsTemp.write(QByteArray(bookfile::MeaningSize, ' '));
            examplesTemp.write(QByteArray(bookfile::ExampleSize, ' '));
            newNumberOutside.insert(old, next++);
        }
    }
    meaningsTemp.syncAndClose();
    step(CompactionStep::MeaningsTempWritten);
    examplesTemp.syncAndClose();
    step(CompactionStep::ExamplesTempWritten);

    std::vector<IndexEntry> renumbered = m_index.entries();
    QHash<QString, QByteArray> rawWords;
    for (IndexEntry& e : renumbered) {
        const qint32 r = numberOf(e.recordNo);
        const auto raw = m_rawWords.constFind(rawKey(e.word, e.recordNo));
        if (raw != m_rawWords.cend())
            rawWords.insert(rawKey(e.word, r), raw.value());
        e.recordNo = r;
    }
    std::stable_sort(
        renumbered.begin(), renumbered.end(),
        [](const IndexEntry& a, const IndexEntry& b) { return a.recordNo < b.recordNo; });
    // The new word file keeps the bytes under the new numbers; a compaction that fails goes on
    // with the old ones.
    std::swap(m_rawWords, rawWords);
    try {
        writeFileAtomically(filePath(bookfile::WordsTemp), wordFileBytes(renumbered));
    } catch (...) {
        std::swap(m_rawWords, rawWords);
        throw;
    }
    workFiles.committed = true;
    step(CompactionStep::WordsTempCommitted);

    close();
    installTemporary(bookfile::MeaningsTemp, bookfile::Meanings);
    step(CompactionStep::MeaningsReplaced);
    installTemporary(bookfile::ExamplesTemp, bookfile::Examples);
    step(CompactionStep::ExamplesReplaced);
    installTemporary(bookfile::WordsTemp, bookfile::Words);
    step(CompactionStep::WordsReplaced);
    removeTemporaries();
    step(CompactionStep::TemporariesRemoved);

    for (int p = 0; p < m_index.size(); ++p)
        m_index.setRecordNo(p, numberOf(m_index.at(p).recordNo));
    m_nextRecord = next;
    m_usedPastEnd.clear();
    m_deletionsPending = false;
}

void Book::writeBack() {
    const BookSession::Operation operation(*m_session);
    if (m_deletionsPending) {
        if (!m_index.isEmpty()) {
            compact();
        } else {
            // Every word was deleted. The word file goes first: a book without it is an empty
            // book whatever else a crash leaves behind.
            close();
            for (const QString& name : {bookfile::Words, bookfile::Meanings, bookfile::Examples})
                removeIfPresent(filePath(name));
            syncFolder(m_folder);
        }
        m_deletionsPending = false;
    } else {
        if (!m_index.isEmpty())
            writeWordFile();
        close();
    }
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
    try {
        writeWordFile();
    } catch (...) {
        m_index.assign(std::move(before));
        throw;
    }
    m_nextRecord = next;
    for (const NewWord& w : words)
        m_session->record({SessionEdit::Kind::Register,
                           {},
                           {storedWord(w.word), trimmedRight(w.meaning), trimmedRight(w.example)}});
}
