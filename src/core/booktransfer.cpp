// SPDX-License-Identifier: GPL-3.0-or-later
#include "booktransfer.h"

#include "atomicfile.h"
#include "bookmanifest.h"
#include "collation.h"
#include "cp932.h"
#include "failure.h"
#include "recordfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>

namespace {

QByteArray nativePath(const QString& path) {
    return QFile::encodeName(path);
}

void removeIfPresent(const QString& path) {
    if (::unlink(nativePath(path).constData()) != 0 && errno != ENOENT)
        diskio::fail(errno, path);
}

QByteArrayView prefix(QByteArrayView v, qsizetype n) {
    return v.first(std::min(v.size(), n));
}

// Records are mostly padding, so it is skipped eight spaces at a time.
QByteArrayView trimmedRight(QByteArrayView v) {
    constexpr std::uint64_t Spaces = 0x2020202020202020ULL;
    const char* data = v.data();
    qsizetype end = v.size();
    while (end >= 8) {
        std::uint64_t chunk;
        std::memcpy(&chunk, data + end - 8, 8);
        if (chunk != Spaces)
            break;
        end -= 8;
    }
    while (end > 0 && data[end - 1] == ' ')
        --end;
    return v.first(end);
}

QString trimmedRight(QString s) {
    while (s.endsWith(u' '))
        s.chop(1);
    return s;
}

// Line breaks of any kind become the substitute; CP932 trail bytes are never CR, LF or '"', so
// this is safe on the stored bytes.
void appendCsvField(QByteArray& out, QByteArrayView text, const QByteArray& substitute) {
    out.append('"');
    const qsizetype start = out.size();
    // Most fields hold no line break and no quote: copied in one go.
    const auto holds = [&](char c) {
        return std::memchr(text.data(), c, size_t(text.size())) != nullptr;
    };
    if (text.isEmpty() || (!holds('\r') && !holds('\n') && !holds('"'))) {
        out.append(text);
        out.append('"');
        return;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out.append(substitute);
        } else if (c == '"') {
            out.append("\"\"");
        } else {
            out.append(c);
        }
    }
    // Spaces the substitute leaves at the end go too, as the record's own padding does.
    qsizetype end = out.size();
    while (end > start && out[end - 1] == ' ')
        --end;
    out.truncate(end);
    out.append('"');
}

QByteArray encodedWord(const QString& word) {
    const bool ascii =
        std::all_of(word.cbegin(), word.cend(), [](QChar c) { return c.unicode() < 0x80; });
    return ascii ? word.toLatin1() : cp932::encode(word);
}

// Records gather in a buffer of this size before they go to their file: few writes, and memory
// that stays warm in the cache however large the book.
constexpr qsizetype OutputBufferSize = 1 << 20;

// The bytes a word is stored as, for words given as text (the main window's list): the bytes
// the source's words file holds for words that are not CP932 (shown with U+FFFD), so an export
// never turns them into something else; other words are encoded as the store encodes them.
class StoredBytes {
public:
    StoredBytes(const QString& folder, const std::vector<IndexEntry>& words) {
        const bool anyKept = std::any_of(words.begin(), words.end(), [](const IndexEntry& e) {
            return e.word.contains(QChar::ReplacementCharacter);
        });
        if (!anyKept)
            return;
        for (Book::StoredWord& w : readStoredWords(folder)) {
            const QString word = Book::wordFromBytes(w.bytes);
            if (word.contains(QChar::ReplacementCharacter))
                m_kept.insert(key(word, w.recordNo), std::move(w.bytes));
        }
    }
    QByteArray of(const IndexEntry& e) const {
        if (!m_kept.isEmpty() && e.word.contains(QChar::ReplacementCharacter)) {
            const auto found = m_kept.constFind(key(e.word, e.recordNo));
            if (found != m_kept.cend())
                return found.value();
        }
        return encodedWord(e.word);
    }

private:
    static QString key(const QString& word, qint32 recordNo) {
        return word + QChar(0) + QString::number(recordNo);
    }
    QHash<QString, QByteArray> m_kept;
};

} // namespace

BookRecords::BookRecords(const QString& folder) : m_blank(bookfile::ExampleSize, ' ') {
    bookmanifest::requireWhole(folder);
    const Book::FilesToRead files = Book::filesToRead(folder);
    m_meanings = readWhole(files.meanings);
    try {
        m_examples = readWhole(files.examples);
    } catch (...) {
        release(m_meanings);
        throw;
    }
}

BookRecords::~BookRecords() {
    release(m_meanings);
    release(m_examples);
}

BookRecords::WholeFile BookRecords::readWhole(const QString& path) {
    const QByteArray name = nativePath(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return {};
        throw RuntimeFailure(failure::PathFileAccess, path);
    }
    WholeFile file;
    try {
        struct stat st {};
        if (::fstat(fd, &st) != 0)
            diskio::fail(errno, path);
        const size_t size = size_t(st.st_size);
        if (size == 0) {
            ::close(fd);
            return {};
        }
        constexpr size_t LargePage = size_t(2) << 20;
        file.mapped = (size + LargePage - 1) / LargePage * LargePage;
        void* memory = ::mmap(nullptr, file.mapped, PROT_READ | PROT_WRITE,
                              MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED) {
            file.mapped = 0;
            throw std::bad_alloc();
        }
        file.data = static_cast<char*>(memory);
        ::madvise(memory, file.mapped, MADV_HUGEPAGE);
        // Every byte is read, or the reading fails: a record file cut short by a read error
        // would give later words blank records.
        while (size_t(file.size) < size) {
            const ssize_t n = ::read(fd, file.data + file.size, size - size_t(file.size));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                diskio::fail(errno, path);
            if (n == 0)
                break;
            file.size += n;
        }
    } catch (...) {
        ::close(fd);
        release(file);
        throw;
    }
    ::close(fd);
    return file;
}

void BookRecords::release(WholeFile& file) {
    if (file.mapped)
        ::munmap(file.data, file.mapped);
    file = {};
}

QByteArrayView BookRecords::meaning(qint32 recordNo) const {
    const qint64 start = qint64(recordNo - 1) * bookfile::MeaningSize;
    if (recordNo < 1 || start >= m_meanings.size)
        return prefix(QByteArrayView(m_blank), bookfile::MeaningSize);
    return prefix(m_meanings.view().sliced(start), bookfile::MeaningSize);
}

QByteArrayView BookRecords::example(qint32 recordNo) const {
    const qint64 start = qint64(recordNo - 1) * bookfile::ExampleSize;
    if (recordNo < 1 || start >= m_examples.size)
        return m_blank;
    return prefix(m_examples.view().sliced(start), bookfile::ExampleSize);
}

std::vector<IndexEntry> readWordList(const QString& folder) {
    if (!QFileInfo(folder).isDir())
        throw RuntimeFailure(failure::PathNotFound, folder);
    Book book(folder, WordIndex::Order::Ordinal);
    book.open(true);
    std::vector<IndexEntry> words = book.index().entries();
    book.close();
    if (!words.empty() && !QFile::exists(Book::filesToRead(folder).meanings))
        throw RuntimeFailure(failure::FileNotFound, folder + u'/' + bookfile::Meanings);
    return words;
}

std::vector<Book::StoredWord> readStoredWords(const QString& folder) {
    if (!QFileInfo(folder).isDir())
        throw RuntimeFailure(failure::PathNotFound, folder);
    bookmanifest::requireWhole(folder);
    const Book::FilesToRead files = Book::filesToRead(folder);
    QFile file(files.words);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeFailure(failure::FileNotFound, files.words);
    std::vector<Book::StoredWord> words = Book::parseWordFile(file.readAll());
    if (!words.empty() && !QFile::exists(files.meanings))
        throw RuntimeFailure(failure::FileNotFound, folder + u'/' + bookfile::Meanings);
    return words;
}

BookWriter::BookWriter(QString folder, TransferHook hook)
    : m_folder(std::move(folder)), m_hook(std::move(hook)) {
    m_meanings.path = path(bookfile::MeaningsTemp);
    m_meanings.recordSize = bookfile::MeaningSize;
    m_examples.path = path(bookfile::ExamplesTemp);
    m_examples.recordSize = bookfile::ExampleSize;
    if (!QFileInfo(m_folder).isDir())
        throw RuntimeFailure(failure::PathNotFound, m_folder);
    // An earlier replacement a kill interrupted is finished (or discarded) first, so that its
    // word file can never be taken together with the records written now.
    if (QFile::exists(path(bookfile::WordsTemp))) {
        Book earlier(m_folder);
        try {
            earlier.open();
            earlier.close();
        } catch (const BookMissing&) {
            removeIfPresent(path(bookfile::WordsTemp));
        }
    }
    for (Output* out : {&m_meanings, &m_examples}) {
        out->fd = ::open(nativePath(out->path).constData(),
                         O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (out->fd < 0) {
            const int error = errno;
            closeFiles();
            diskio::fail(error, out->path);
        }
    }
}

BookWriter::~BookWriter() {
    closeFiles();
    if (!m_committing) {
        ::unlink(nativePath(m_meanings.path).constData());
        ::unlink(nativePath(m_examples.path).constData());
    }
}

void BookWriter::closeFiles() {
    for (Output* out : {&m_meanings, &m_examples}) {
        if (out->fd >= 0)
            ::close(out->fd);
        out->fd = -1;
    }
}

void BookWriter::add(const QString& word, QByteArrayView meaning, QByteArrayView example) {
    add(QByteArrayView(encodedWord(word)), meaning, example);
}

void BookWriter::add(QByteArrayView wordBytes, QByteArrayView meaning, QByteArrayView example) {
    ++m_wordCount;
    append(m_meanings, meaning);
    append(m_examples, example);
    m_words.append('"');
    m_words.append(wordBytes);
    m_words.append("\",");
    char digits[16];
    const char* end = std::to_chars(digits, digits + sizeof digits, m_wordCount).ptr;
    m_words.append(digits, end - digits);
    m_words.append("\r\n");
}

void BookWriter::append(Output& out, QByteArrayView record) {
    const qsizetype size = out.recordSize;
    if (out.buffer.isEmpty())
        out.buffer = QByteArray(OutputBufferSize, Qt::Uninitialized);
    if (out.used + size > out.buffer.size())
        flush(out);
    char* p = out.buffer.data() + out.used;
    const qsizetype n = std::min(record.size(), size);
    if (n > 0) // an empty record may have no data at all
        std::memcpy(p, record.data(), size_t(n));
    std::memset(p + n, ' ', size_t(size - n));
    out.used += size;
}

void BookWriter::flush(Output& out) {
    if (out.used == 0)
        return;
    diskio::writeAll(out.fd, out.path, out.buffer.constData(), out.used);
    // The disk starts on what is written while the rest is gathered, so the sync at the end has
    // less left to wait for.
    ::sync_file_range(out.fd, out.written, out.used, SYNC_FILE_RANGE_WRITE);
    out.written += out.used;
    out.used = 0;
}

void BookWriter::install(const QString& temporary, const QString& target) {
    // The temporary stays until every file is in place, so the set stays complete for the
    // roll-forward until the end.
    const QString next = path(target + QStringLiteral(".next"));
    removeIfPresent(next);
    if (::link(nativePath(path(temporary)).constData(), nativePath(next).constData()) != 0)
        diskio::copyFile(path(temporary), next);
    diskio::keepPermissionsOf(path(target), next);
    if (::rename(nativePath(next).constData(), nativePath(path(target)).constData()) != 0)
        diskio::fail(errno, path(target));
    removeIfPresent(next); // left when target already was this file
}

void BookWriter::commit() {
    flush(m_meanings);
    flush(m_examples);
    diskio::sync(m_meanings.fd, m_meanings.path);
    step(CompactionStep::MeaningsTempWritten);
    diskio::sync(m_examples.fd, m_examples.path);
    step(CompactionStep::ExamplesTempWritten);
    closeFiles();
    if (m_wordCount == 0) {
        commitEmpty();
        return;
    }
    writeFileAtomically(path(bookfile::WordsTemp), m_words);
    // The book's manifest says "writing" by this machine before any of its files is replaced and
    // describes the new files once they all are. A failure before this point leaves the folder as
    // it was; a crash from the committed word file on is finished by the next open.
    bookmanifest::beginWrite(m_folder);
    m_committing = true;
    step(CompactionStep::WordsTempCommitted);
    install(bookfile::MeaningsTemp, bookfile::Meanings);
    step(CompactionStep::MeaningsReplaced);
    install(bookfile::ExamplesTemp, bookfile::Examples);
    step(CompactionStep::ExamplesReplaced);
    install(bookfile::WordsTemp, bookfile::Words);
    step(CompactionStep::WordsReplaced);
    syncFolder(m_folder);
    for (const QString& name :
         {bookfile::WordsTemp, bookfile::MeaningsTemp, bookfile::ExamplesTemp})
        removeIfPresent(path(name));
    syncFolder(m_folder);
    step(CompactionStep::TemporariesRemoved);
    bookmanifest::endWrite(m_folder);
}

// A book with no words: the words file goes first, after which the book already reads as empty
// whatever records are left; then the record files are emptied.
void BookWriter::commitEmpty() {
    bookmanifest::beginWrite(m_folder);
    m_committing = true;
    removeIfPresent(path(bookfile::Words));
    syncFolder(m_folder);
    step(CompactionStep::WordsReplaced);
    for (const auto& [temporary, target] : {std::pair{bookfile::MeaningsTemp, bookfile::Meanings},
                                            std::pair{bookfile::ExamplesTemp, bookfile::Examples}})
        if (::rename(nativePath(path(temporary)).constData(),
                     nativePath(path(target)).constData()) != 0)
            diskio::fail(errno, path(target));
    syncFolder(m_folder);
    step(CompactionStep::TemporariesRemoved);
    bookmanifest::endWrite(m_folder);
}

namespace booktransfer {

std::vector<IndexEntry> selection(const std::vector<IndexEntry>& list, bool checkedOnly) {
    if (!checkedOnly)
        return list;
    std::vector<IndexEntry> out;
    std::copy_if(list.begin(), list.end(), std::back_inserter(out),
                 [](const IndexEntry& e) { return e.checkMark; });
    return out;
}

void exportOwnFormat(const QString& sourceFolder, const std::vector<IndexEntry>& words,
                     const QString& targetFolder, TransferHook hook) {
    const BookRecords records(sourceFolder);
    const StoredBytes stored(sourceFolder, words);
    BookWriter writer(targetFolder, std::move(hook));
    for (const IndexEntry& e : words)
        writer.add(QByteArrayView(stored.of(e)), records.meaning(e.recordNo),
                   records.example(e.recordNo));
    writer.commit();
}

namespace {

// A word given as its CP932 bytes goes into the CP932 file as it is; the UTF-8 file gets the
// word as shown (bytes that are not CP932 cannot be UTF-8 text).
void appendCsvLine(QByteArray& line, const QString& word, QByteArrayView wordBytes,
                   QByteArrayView meaning, QByteArrayView example, const QByteArray& substitute,
                   CsvEncoding encoding) {
    if (encoding == CsvEncoding::Cp932) {
        appendCsvField(line, wordBytes, substitute);
        line.append(',');
        appendCsvField(line, trimmedRight(meaning), substitute);
        line.append(',');
        appendCsvField(line, trimmedRight(example), substitute);
    } else {
        appendCsvField(line, word.toUtf8(), substitute);
        line.append(',');
        appendCsvField(line, cp932::decode(trimmedRight(meaning)).toUtf8(), substitute);
        line.append(',');
        appendCsvField(line, cp932::decode(trimmedRight(example)).toUtf8(), substitute);
    }
    line.append("\r\n");
}

} // namespace

QByteArray csvLine(const QString& word, QByteArrayView meaning, QByteArrayView example,
                   const QString& substitute, CsvEncoding encoding) {
    QByteArray line;
    appendCsvLine(line, word, encodedWord(word), meaning, example,
                  encoding == CsvEncoding::Cp932 ? cp932::encode(substitute) : substitute.toUtf8(),
                  encoding);
    return line;
}

void exportCsv(const QString& sourceFolder, const std::vector<IndexEntry>& words,
               const QString& path, const QString& substitute, CsvEncoding encoding) {
    const BookRecords records(sourceFolder);
    const StoredBytes stored(sourceFolder, words);
    QByteArray out;
    // Room for a typical line; untouched room costs nothing.
    out.reserve(qsizetype(words.size()) * 320 + 16);
    if (encoding == CsvEncoding::Utf8WithBom)
        out.append("\xEF\xBB\xBF");
    const QByteArray sub =
        encoding == CsvEncoding::Cp932 ? cp932::encode(substitute) : substitute.toUtf8();
    for (const IndexEntry& e : words)
        appendCsvLine(out, e.word, encoding == CsvEncoding::Cp932 ? stored.of(e) : QByteArray(),
                      records.meaning(e.recordNo), records.example(e.recordNo), sub, encoding);
    writeFileAtomically(path, out);
}

// The sending book's words go across as the bytes they are stored as, in their file's order.
void importBook(const QString& sendingFolder, const QString& receivingFolder, TransferHook hook) {
    const std::vector<Book::StoredWord> words = readStoredWords(sendingFolder);
    const BookRecords records(sendingFolder);
    BookWriter writer(receivingFolder, std::move(hook));
    for (const Book::StoredWord& w : words)
        writer.add(QByteArrayView(w.bytes), records.meaning(w.recordNo),
                   records.example(w.recordNo));
    writer.commit();
}

namespace {

// Reads comma-separated text a line at a time. Quoted parts may hold commas, doubled quotes and
// line breaks; a quote anywhere in a field starts a quoted part ("a"b reads as ab). Lines with
// nothing on them are skipped. Unquoted runs and quoted runs are taken whole, not a character at
// a time: a CSV file may hold a hundred thousand lines.
class CsvReader {
public:
    explicit CsvReader(QStringView text) : m_text(text) {}

    // The line (from 1) the record last read by next() starts on.
    int line() const { return m_line; }

    bool next(QStringList& fields) {
        fields.clear();
        const qsizetype n = m_text.size();
        while (m_pos < n && isLineEnd(m_text[m_pos]))
            ++m_pos;
        if (m_pos == n)
            return false;
        // Line ends are counted up to here only as records are read: a text of a hundred
        // thousand lines is gone through once.
        for (; m_counted < m_pos; ++m_counted) {
            const QChar c = m_text[m_counted];
            if (c == u'\n' ||
                (c == u'\r' && (m_counted + 1 >= n || m_text[m_counted + 1] != u'\n')))
                ++m_line;
        }
        for (;;) {
            fields << field();
            if (m_pos < n && m_text[m_pos] == u',') {
                ++m_pos;
                continue;
            }
            if (m_pos < n) {
                if (m_text[m_pos] == u'\r' && m_pos + 1 < n && m_text[m_pos + 1] == u'\n')
                    ++m_pos;
                ++m_pos;
            }
            return true;
        }
    }

private:
    static bool isLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }

    // One field, up to the comma or line end after it.
    QString field() {
        QString out;
        const qsizetype n = m_text.size();
        while (m_pos < n) {
            const QChar c = m_text[m_pos];
            if (c == u',' || isLineEnd(c))
                break;
            if (c == u'"') {
                ++m_pos;
                for (;;) {
                    const qsizetype quote = m_text.indexOf(u'"', m_pos);
                    if (quote < 0) {
                        out.append(m_text.sliced(m_pos));
                        m_pos = n;
                        break;
                    }
                    out.append(m_text.sliced(m_pos, quote - m_pos));
                    m_pos = quote + 1;
                    if (m_pos < n && m_text[m_pos] == u'"') {
                        out.append(u'"');
                        ++m_pos;
                        continue;
                    }
                    break;
                }
                continue;
            }
            qsizetype end = m_pos;
            while (end < n && m_text[end] != u'"' && m_text[end] != u',' && !isLineEnd(m_text[end]))
                ++end;
            out.append(m_text.sliced(m_pos, end - m_pos));
            m_pos = end;
        }
        return out;
    }

    QStringView m_text;
    qsizetype m_pos = 0;
    qsizetype m_counted = 0;
    int m_line = 1;
};

} // namespace

std::vector<QStringList> parseCsv(const QString& text) {
    std::vector<QStringList> lines;
    CsvReader reader(text);
    QStringList fields;
    while (reader.next(fields))
        lines.push_back(fields);
    return lines;
}

QString decodeCsvFile(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(QByteArrayView(bytes).sliced(3));
    if (QByteArrayView(bytes).isValidUtf8())
        return QString::fromUtf8(bytes);
    return cp932::decode(bytes);
}

QString CsvImportReport::notesText() const {
    QString text;
    for (const CsvRowNote& n : notes)
        text += QStringLiteral("%1行目 %2: %3\r\n").arg(n.line).arg(n.word, n.note);
    return text;
}

int CsvImportReport::refusedCount() const {
    int n = 0;
    for (const auto& r : refused)
        n += r.second;
    return n;
}

namespace {

// Line breaks of any kind are stored as CR LF.
QString storedLineBreaks(const QString& text) {
    if (!text.contains(u'\r') && !text.contains(u'\n'))
        return text;
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(u'\r', u'\n');
    out.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return out;
}

// The text cut to what its record holds, never inside a character; *cut says whether it was.
QString fittedText(const QString& text, int recordSize, bool* cut) {
    const QString trimmed = trimmedRight(text);
    if (cp932::encode(trimmed).size() <= recordSize)
        return trimmed;
    *cut = true;
    return trimmedRight(cp932::decode(cp932::encodeField(trimmed, recordSize)));
}

// True when every character has a CP932 form that reads back as itself: such text needs none
// of the store's closer checks.
bool plainlyEncodable(QStringView text) {
    unsigned char bytes[2];
    return std::all_of(text.begin(), text.end(), [&](QChar c) {
        return c.unicode() < 0x80 || cp932::encodeExact(c.unicode(), bytes) != 0;
    });
}

// The stored bytes of a word the store takes without a second look: not blank, no double quote
// or control character, every character plainly CP932. False leaves the word to the store.
bool plainWordBytes(const QString& word, QByteArray& bytes) {
    if (word.trimmed().isEmpty() || !plainlyEncodable(word))
        return false;
    for (QChar c : word)
        if (c == u'"' || c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    bytes = encodedWord(word);
    return true;
}

// The stored bytes of a meaning or example: without trailing spaces, cut at a character
// boundary to what the record holds (*cut is then set). False leaves the text to the store:
// characters that need a closer look, or the deletion marker.
bool plainRecordBytes(const QString& text, int recordSize, QByteArray& bytes, bool* cut) {
    if (!plainlyEncodable(text))
        return false;
    bytes = cp932::encode(trimmedRight(text));
    if (bytes.size() > recordSize) {
        qsizetype end = 0;
        while (end < recordSize) {
            const qsizetype width = cp932::isLeadByte(uchar(bytes[end])) ? 2 : 1;
            if (end + width > recordSize)
                break;
            end += width;
        }
        while (end > 0 && bytes[end - 1] == ' ')
            --end;
        bytes.truncate(end);
        *cut = true;
    }
    static const QByteArray marker = bookfile::DeletionMarker.toLatin1();
    return bytes != marker;
}

std::string sortKey(const QString& word) {
    std::string key;
    collation::appendSortKey(word, key);
    return key;
}

} // namespace

CsvImportReport importCsv(const QString& csvPath, const QString& receivingFolder,
                          TransferHook hook) {
    QFile file(csvPath);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeFailure(failure::FileNotFound, csvPath);
    const QString text = decodeCsvFile(file.readAll());
    file.close();

    const std::vector<Book::StoredWord> existing = readStoredWords(receivingFolder);
    const BookRecords records(receivingFolder);
    BookWriter writer(receivingFolder, std::move(hook));
    // Each word's sort key and the line that brought it (0: the book had it).
    std::unordered_map<std::string, int> known;
    known.reserve(existing.size() + size_t(text.size() / 32));
    for (const Book::StoredWord& w : existing) {
        writer.add(QByteArrayView(w.bytes), records.meaning(w.recordNo),
                   records.example(w.recordNo));
        known.emplace(sortKey(Book::wordFromBytes(w.bytes)), 0);
    }

    CsvImportReport report;
    CsvReader reader(text);
    QStringList fields;
    QByteArray wordBytes;
    QByteArray meaningBytes;
    QByteArray exampleBytes;
    while (reader.next(fields)) {
        const QString word = Book::storedWord(fields.value(0));
        const QString meaningText = storedLineBreaks(fields.value(1));
        const QString exampleText = storedLineBreaks(fields.value(2));
        bool cut = false;
        if (!plainWordBytes(word, wordBytes) ||
            !plainRecordBytes(meaningText, bookfile::MeaningSize, meaningBytes, &cut) ||
            !plainRecordBytes(exampleText, bookfile::ExampleSize, exampleBytes, &cut)) {
            // Something the store checks more closely: it decides, and says why it refuses.
            cut = false;
            const QString meaning = fittedText(meaningText, bookfile::MeaningSize, &cut);
            const QString example = fittedText(exampleText, bookfile::ExampleSize, &cut);
            const QString refusal = Book::refusalFor(word, meaning, example);
            if (!refusal.isEmpty()) {
                auto it = std::find_if(report.refused.begin(), report.refused.end(),
                                       [&](const auto& r) { return r.first == refusal; });
                if (it == report.refused.end())
                    report.refused.emplace_back(refusal, 1);
                else
                    ++it->second;
                report.notes.push_back({reader.line(), word, refusal});
                continue;
            }
            wordBytes = encodedWord(word);
            meaningBytes = cp932::encodeField(meaning, bookfile::MeaningSize);
            exampleBytes = cp932::encodeField(example, bookfile::ExampleSize);
        }
        const auto [earlier, isNew] = known.emplace(sortKey(word), reader.line());
        if (!isNew) {
            ++(earlier->second == 0 ? report.duplicates : report.repeatedInFile);
            report.notes.push_back(
                {reader.line(), word,
                 earlier->second == 0
                     ? QStringLiteral("ﾌﾞｯｸにすでにある語のため取込みませんでした"
                                      "（ﾌﾞｯｸの語を残しました）")
                     : QStringLiteral(
                           "%1行目と同じ語のため取込みませんでした（%1行目を残しました）")
                           .arg(earlier->second)});
            continue;
        }
        writer.add(QByteArrayView(wordBytes), meaningBytes, exampleBytes);
        ++report.added;
        if (fields.size() > 3)
            report.notes.push_back(
                {reader.line(), word,
                 QStringLiteral("項目が%1個あります。単語・意味・用例の3項目だけを取込みました")
                     .arg(fields.size())});
        if (cut) {
            ++report.cut;
            report.notes.push_back(
                {reader.line(), word, QStringLiteral("意味か用例が長すぎるため切り詰めました")});
        }
    }
    writer.commit();
    return report;
}

} // namespace booktransfer

BookMerge::BookMerge(const QString& folderA, const QString& folderB, const QString& targetFolder,
                     Policy policy, TransferHook hook)
    : m_a(sortedEntries(folderA)), m_b(sortedEntries(folderB)), m_recordsA(folderA),
      m_recordsB(folderB), m_writer(targetFolder, std::move(hook)), m_policy(policy) {}

std::vector<BookMerge::Entry> BookMerge::sortedEntries(const QString& folder) {
    std::vector<Book::StoredWord> stored = readStoredWords(folder);
    std::vector<Entry> entries;
    entries.reserve(stored.size());
    for (Book::StoredWord& w : stored) {
        QString word = Book::wordFromBytes(w.bytes);
        // The first four code units, in order, decide most comparisons without a call; a word
        // never holds U+0000, so a shorter word's zeros sort first, as the full comparison does.
        quint64 key = 0;
        for (qsizetype i = 0; i < 4; ++i)
            key = key << 16 | (i < word.size() ? word.at(i).unicode() : 0u);
        entries.push_back({std::move(word), std::move(w.bytes), w.recordNo, key});
    }
    const auto byCode = [](const Entry& x, const Entry& y) {
        return x.key != y.key ? x.key < y.key : x.word < y.word;
    };
    if (!std::is_sorted(entries.begin(), entries.end(), byCode))
        std::stable_sort(entries.begin(), entries.end(), byCode);
    return entries;
}

void BookMerge::emitEntry(Side side) {
    const Entry& e = side == Side::A ? m_a[m_posA++] : m_b[m_posB++];
    const BookRecords& records = side == Side::A ? m_recordsA : m_recordsB;
    m_writer.add(QByteArrayView(e.bytes), records.meaning(e.recordNo), records.example(e.recordNo));
}

bool BookMerge::run() {
    if (m_pending)
        return false;
    while (m_posA < m_a.size() && m_posB < m_b.size()) {
        const Entry& a = m_a[m_posA];
        const Entry& b = m_b[m_posB];
        const int order = a.key != b.key ? (a.key < b.key ? -1 : 1)
                                         : QString::compare(a.word, b.word, Qt::CaseSensitive);
        if (order < 0) {
            emitEntry(Side::A);
        } else if (order > 0) {
            emitEntry(Side::B);
        } else if (m_policy == Policy::Ask) {
            m_duplicate = {a.word,
                           trimmedRight(cp932::decode(m_recordsA.meaning(a.recordNo))),
                           trimmedRight(cp932::decode(m_recordsA.example(a.recordNo))),
                           b.word,
                           trimmedRight(cp932::decode(m_recordsB.meaning(b.recordNo))),
                           trimmedRight(cp932::decode(m_recordsB.example(b.recordNo)))};
            m_pending = true;
            return false;
        } else {
            ++m_duplicates;
            if (m_policy == Policy::Both) {
                emitEntry(Side::A);
                emitEntry(Side::B);
            } else if (m_policy == Policy::AOnly) {
                emitEntry(Side::A);
                ++m_posB;
            } else {
                ++m_posA;
                emitEntry(Side::B);
            }
        }
    }
    while (m_posA < m_a.size())
        emitEntry(Side::A);
    while (m_posB < m_b.size())
        emitEntry(Side::B);
    m_writer.commit();
    return true;
}

void BookMerge::take(Side side, const QString& meaning, const QString& example) {
    if (!m_pending)
        return;
    // The word goes across as it is stored; only what the user may have typed is checked.
    const Entry& taken = side == Side::A ? m_a[m_posA] : m_b[m_posB];
    const QString refusal = Book::refusalFor(QStringLiteral("-"), meaning, example);
    if (!refusal.isEmpty())
        throw WordRefused(refusal);
    m_writer.add(QByteArrayView(taken.bytes), cp932::encodeField(meaning, bookfile::MeaningSize),
                 cp932::encodeField(example, bookfile::ExampleSize));
    ++m_posA;
    ++m_posB;
    ++m_duplicates;
    m_pending = false;
    m_duplicate = {};
}
