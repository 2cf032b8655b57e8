#include "booktransfer.h"

#include "atomicfile.h"
#include "collation.h"
#include "cp932.h"
#include "failure.h"
#include "recordfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <unordered_set>

namespace {

QByteArray nativePath(const QString& path) {
    return QFile::encodeName(path);
}

void removeIfPresent(const QString& path) {
    if (::unlink(nativePath(path).constData()) != 0 && errno != ENOENT)
        diskio::fail(errno, path);
}

QByteArray readWhole(const QString& path) {
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeFailure(failure::PathFileAccess, path);
    return file.readAll();
}

QByteArrayView prefix(QByteArrayView v, qsizetype n) {
    return v.first(std::min(v.size(), n));
}

QByteArrayView trimmedRight(QByteArrayView v) {
    while (!v.isEmpty() && v.back() == ' ')
        v.chop(1);
    return v;
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
    if (std::none_of(text.begin(), text.end(),
                     [](char c) { return c == '\r' || c == '\n' || c == '"'; })) {
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

} // namespace

BookRecords::BookRecords(const QString& folder)
    : m_meanings(readWhole(folder + u'/' + bookfile::Meanings)),
      m_examples(readWhole(folder + u'/' + bookfile::Examples)),
      m_blank(bookfile::ExampleSize, ' ') {}

QByteArrayView BookRecords::meaning(qint32 recordNo) const {
    const qint64 start = qint64(recordNo - 1) * bookfile::MeaningSize;
    if (recordNo < 1 || start >= m_meanings.size())
        return prefix(QByteArrayView(m_blank), bookfile::MeaningSize);
    return prefix(QByteArrayView(m_meanings).sliced(start), bookfile::MeaningSize);
}

QByteArrayView BookRecords::example(qint32 recordNo) const {
    const qint64 start = qint64(recordNo - 1) * bookfile::ExampleSize;
    if (recordNo < 1 || start >= m_examples.size())
        return m_blank;
    return prefix(QByteArrayView(m_examples).sliced(start), bookfile::ExampleSize);
}

std::vector<IndexEntry> readWordList(const QString& folder) {
    if (!QFileInfo(folder).isDir())
        throw RuntimeFailure(failure::PathNotFound, folder);
    Book book(folder, WordIndex::Order::Ordinal);
    book.open(true);
    std::vector<IndexEntry> words = book.index().entries();
    book.close();
    if (!words.empty() && !QFile::exists(folder + u'/' + bookfile::Meanings))
        throw RuntimeFailure(failure::FileNotFound, folder + u'/' + bookfile::Meanings);
    return words;
}

BookWriter::BookWriter(QString folder, TransferHook hook)
    : m_folder(std::move(folder)), m_hook(std::move(hook)) {
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
    for (int* fd : {&m_meaningsFd, &m_examplesFd}) {
        const QString name = fd == &m_meaningsFd ? bookfile::MeaningsTemp : bookfile::ExamplesTemp;
        *fd = ::open(nativePath(path(name)).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                     0666);
        if (*fd < 0) {
            const int error = errno;
            closeFiles();
            diskio::fail(error, path(name));
        }
    }
}

BookWriter::~BookWriter() {
    closeFiles();
    if (!m_committing) {
        ::unlink(nativePath(path(bookfile::MeaningsTemp)).constData());
        ::unlink(nativePath(path(bookfile::ExamplesTemp)).constData());
    }
}

void BookWriter::closeFiles() {
    for (int* fd : {&m_meaningsFd, &m_examplesFd}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

void BookWriter::add(const QString& word, QByteArrayView meaning, QByteArrayView example) {
    ++m_wordCount;
    m_meaningBuffer.append(prefix(meaning, bookfile::MeaningSize));
    if (meaning.size() < bookfile::MeaningSize)
        m_meaningBuffer.append(bookfile::MeaningSize - meaning.size(), ' ');
    m_exampleBuffer.append(prefix(example, bookfile::ExampleSize));
    if (example.size() < bookfile::ExampleSize)
        m_exampleBuffer.append(bookfile::ExampleSize - example.size(), ' ');
    m_words.append('"');
    m_words.append(encodedWord(word));
    m_words.append("\",");
    char digits[16];
    const char* end = std::to_chars(digits, digits + sizeof digits, m_wordCount).ptr;
    m_words.append(digits, end - digits);
    m_words.append("\r\n");
    if (m_exampleBuffer.size() >= (4 << 20))
        flush();
}

void BookWriter::flush() {
    diskio::writeAll(m_meaningsFd, path(bookfile::MeaningsTemp), m_meaningBuffer.constData(),
                     m_meaningBuffer.size());
    diskio::writeAll(m_examplesFd, path(bookfile::ExamplesTemp), m_exampleBuffer.constData(),
                     m_exampleBuffer.size());
    m_meaningBuffer.clear();
    m_exampleBuffer.clear();
}

void BookWriter::install(const QString& temporary, const QString& target) {
    // The temporary stays until every file is in place, so the set stays complete for the
    // roll-forward until the end.
    const QString next = path(target + QStringLiteral(".next"));
    removeIfPresent(next);
    if (::link(nativePath(path(temporary)).constData(), nativePath(next).constData()) != 0)
        diskio::copyFile(path(temporary), next);
    if (::rename(nativePath(next).constData(), nativePath(path(target)).constData()) != 0)
        diskio::fail(errno, path(target));
    removeIfPresent(next); // left when target already was this file
}

void BookWriter::commit() {
    flush();
    diskio::sync(m_meaningsFd, path(bookfile::MeaningsTemp));
    step(CompactionStep::MeaningsTempWritten);
    diskio::sync(m_examplesFd, path(bookfile::ExamplesTemp));
    step(CompactionStep::ExamplesTempWritten);
    closeFiles();
    if (m_wordCount == 0) {
        commitEmpty();
        return;
    }
    writeFileAtomically(path(bookfile::WordsTemp), m_words);
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
}

// A book with no words: the words file goes first, after which the book already reads as empty
// whatever records are left; then the record files are emptied.
void BookWriter::commitEmpty() {
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
    BookWriter writer(targetFolder, std::move(hook));
    for (const IndexEntry& e : words)
        writer.add(e.word, records.meaning(e.recordNo), records.example(e.recordNo));
    writer.commit();
}

void appendCsvLine(QByteArray& line, const QString& word, QByteArrayView meaning,
                   QByteArrayView example, const QByteArray& substitute, CsvEncoding encoding) {
    if (encoding == CsvEncoding::Cp932) {
        appendCsvField(line, encodedWord(word), substitute);
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

QByteArray csvLine(const QString& word, QByteArrayView meaning, QByteArrayView example,
                   const QString& substitute, CsvEncoding encoding) {
    QByteArray line;
    appendCsvLine(line, word, meaning, example,
                  encoding == CsvEncoding::Cp932 ? cp932::encode(substitute) : substitute.toUtf8(),
                  encoding);
    return line;
}

void exportCsv(const QString& sourceFolder, const std::vector<IndexEntry>& words,
               const QString& path, const QString& substitute, CsvEncoding encoding) {
    const BookRecords records(sourceFolder);
    QByteArray out;
    out.reserve(qsizetype(words.size()) * 64);
    if (encoding == CsvEncoding::Utf8WithBom)
        out.append("\xEF\xBB\xBF");
    const QByteArray sub =
        encoding == CsvEncoding::Cp932 ? cp932::encode(substitute) : substitute.toUtf8();
    for (const IndexEntry& e : words)
        appendCsvLine(out, e.word, records.meaning(e.recordNo), records.example(e.recordNo), sub,
                      encoding);
    writeFileAtomically(path, out);
}

void importBook(const QString& sendingFolder, const QString& receivingFolder, TransferHook hook) {
    const std::vector<IndexEntry> words = readWordList(sendingFolder);
    exportOwnFormat(sendingFolder, words, receivingFolder, std::move(hook));
}

std::vector<QStringList> parseCsv(const QString& text) {
    std::vector<QStringList> lines;
    QStringList fields;
    QString field;
    bool quoted = false;
    bool fieldStarted = false;
    auto endLine = [&] {
        if (fieldStarted || !fields.isEmpty() || !field.isEmpty()) {
            fields << field;
            lines.push_back(fields);
        }
        fields.clear();
        field.clear();
        fieldStarted = false;
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < n && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
            fieldStarted = true;
        } else if (c == u',') {
            fields << field;
            field.clear();
            fieldStarted = true;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            endLine();
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    endLine();
    return lines;
}

QString decodeCsvFile(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(QByteArrayView(bytes).sliced(3));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return cp932::decode(bytes);
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
    const std::vector<QStringList> lines = parseCsv(decodeCsvFile(file.readAll()));
    file.close();

    const std::vector<IndexEntry> existing = readWordList(receivingFolder);
    const BookRecords records(receivingFolder);
    BookWriter writer(receivingFolder, std::move(hook));
    std::unordered_set<std::string> known;
    known.reserve(existing.size() + lines.size());
    for (const IndexEntry& e : existing) {
        writer.add(e.word, records.meaning(e.recordNo), records.example(e.recordNo));
        known.insert(sortKey(e.word));
    }

    CsvImportReport report;
    for (const QStringList& fields : lines) {
        const QString word = Book::storedWord(fields.value(0));
        bool cut = false;
        const QString meaning =
            fittedText(storedLineBreaks(fields.value(1)), bookfile::MeaningSize, &cut);
        const QString example =
            fittedText(storedLineBreaks(fields.value(2)), bookfile::ExampleSize, &cut);
        const QString refusal = Book::refusalFor(word, meaning, example);
        if (!refusal.isEmpty()) {
            auto it = std::find_if(report.refused.begin(), report.refused.end(),
                                   [&](const auto& r) { return r.first == refusal; });
            if (it == report.refused.end())
                report.refused.emplace_back(refusal, 1);
            else
                ++it->second;
            continue;
        }
        if (!known.insert(sortKey(word)).second) {
            ++report.duplicates;
            continue;
        }
        writer.add(word, cp932::encodeField(meaning, bookfile::MeaningSize),
                   cp932::encodeField(example, bookfile::ExampleSize));
        ++report.added;
        if (cut)
            ++report.cut;
    }
    writer.commit();
    return report;
}

} // namespace booktransfer

BookMerge::BookMerge(const QString& folderA, const QString& folderB, const QString& targetFolder,
                     Policy policy, TransferHook hook)
    : m_a(readWordList(folderA)), m_b(readWordList(folderB)), m_recordsA(folderA),
      m_recordsB(folderB), m_writer(targetFolder, std::move(hook)), m_policy(policy) {
    const auto byCode = [](const IndexEntry& x, const IndexEntry& y) { return x.word < y.word; };
    std::stable_sort(m_a.begin(), m_a.end(), byCode);
    std::stable_sort(m_b.begin(), m_b.end(), byCode);
}

void BookMerge::emitEntry(Side side) {
    const IndexEntry& e = side == Side::A ? m_a[m_posA++] : m_b[m_posB++];
    const BookRecords& records = side == Side::A ? m_recordsA : m_recordsB;
    m_writer.add(e.word, records.meaning(e.recordNo), records.example(e.recordNo));
}

bool BookMerge::run() {
    if (m_pending)
        return false;
    while (m_posA < m_a.size() && m_posB < m_b.size()) {
        const int order = QString::compare(m_a[m_posA].word, m_b[m_posB].word, Qt::CaseSensitive);
        if (order < 0) {
            emitEntry(Side::A);
        } else if (order > 0) {
            emitEntry(Side::B);
        } else if (m_policy == Policy::Ask) {
            const IndexEntry& a = m_a[m_posA];
            const IndexEntry& b = m_b[m_posB];
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
    const QString& word = side == Side::A ? m_duplicate.wordA : m_duplicate.wordB;
    const QString refusal = Book::refusalFor(word, meaning, example);
    if (!refusal.isEmpty())
        throw WordRefused(refusal);
    m_writer.add(word, cp932::encodeField(meaning, bookfile::MeaningSize),
                 cp932::encodeField(example, bookfile::ExampleSize));
    ++m_posA;
    ++m_posB;
    ++m_duplicates;
    m_pending = false;
    m_duplicate = {};
}
