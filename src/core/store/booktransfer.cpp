// SPDX-License-Identifier: GPL-3.0-or-later
#include "booktransfer.h"

#include "core/files/atomicfile.h"
#include "core/store/storedtext.h"
#include "core/text/cp932.h"

#include <QHash>
#include <algorithm>
#include <cstring>

using storedtext::encodedWord;
using storedtext::trimmedRight;

namespace {

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

} // namespace booktransfer
