// SPDX-License-Identifier: GPL-3.0-or-later
#include "csvimport.h"

#include "core/files/failure.h"
#include "core/store/storedtext.h"
#include "core/text/collation.h"
#include "core/text/cp932.h"

#include <QFile>
#include <algorithm>
#include <string>
#include <unordered_map>

using storedtext::encodedWord;
using storedtext::trimmedRight;

namespace booktransfer {

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

RowImport::RowImport(const QString& receivingFolder, TransferHook hook, size_t expectedRows) {
    // The book's words are read before the writer starts: it may finish a replacement a kill
    // interrupted.
    const std::vector<Book::StoredWord> existing = readStoredWords(receivingFolder);
    const BookRecords records(receivingFolder);
    m_writer.emplace(receivingFolder, std::move(hook));
    m_known.reserve(existing.size() + expectedRows);
    for (const Book::StoredWord& w : existing) {
        m_writer->add(QByteArrayView(w.bytes), records.meaning(w.recordNo),
                      records.example(w.recordNo));
        m_known.emplace(sortKey(Book::wordFromBytes(w.bytes)), 0);
    }
}

void RowImport::add(int line, const QString& word, const QString& meaning, const QString& example,
                    qsizetype fields) {
    const QString stored = Book::storedWord(word);
    bool cut = false;
    if (refused(line, stored, storedLineBreaks(meaning), storedLineBreaks(example), &cut) ||
        repeated(line, stored))
        return;
    m_writer->add(QByteArrayView(m_wordBytes), m_meaningBytes, m_exampleBytes);
    ++m_report.added;
    if (fields > 3)
        m_report.notes.push_back(
            {line, stored,
             QStringLiteral("項目が%1個あります。単語・意味・用例の3項目だけを取込みました")
                 .arg(fields)});
    if (cut) {
        ++m_report.cut;
        m_report.notes.push_back(
            {line, stored, QStringLiteral("意味か用例が長すぎるため切り詰めました")});
    }
}

// Sets the stored bytes of the row, or names why the store refuses it.
bool RowImport::refused(int line, const QString& word, const QString& meaningText,
                        const QString& exampleText, bool* cut) {
    if (plainWordBytes(word, m_wordBytes) &&
        plainRecordBytes(meaningText, bookfile::MeaningSize, m_meaningBytes, cut) &&
        plainRecordBytes(exampleText, bookfile::ExampleSize, m_exampleBytes, cut))
        return false;
    // Something the store checks more closely: it decides, and says why it refuses.
    *cut = false;
    const QString meaning = fittedText(meaningText, bookfile::MeaningSize, cut);
    const QString example = fittedText(exampleText, bookfile::ExampleSize, cut);
    const QString refusal = Book::refusalFor(word, meaning, example);
    if (refusal.isEmpty()) {
        m_wordBytes = encodedWord(word);
        m_meaningBytes = cp932::encodeField(meaning, bookfile::MeaningSize);
        m_exampleBytes = cp932::encodeField(example, bookfile::ExampleSize);
        return false;
    }
    auto it = std::find_if(m_report.refused.begin(), m_report.refused.end(),
                           [&](const auto& r) { return r.first == refusal; });
    if (it == m_report.refused.end())
        m_report.refused.emplace_back(refusal, 1);
    else
        ++it->second;
    m_report.notes.push_back({line, word, refusal});
    return true;
}

// Names a word the book or an earlier row already has.
bool RowImport::repeated(int line, const QString& word) {
    const auto [earlier, isNew] = m_known.emplace(sortKey(word), line);
    if (isNew)
        return false;
    ++(earlier->second == 0 ? m_report.duplicates : m_report.repeatedInFile);
    m_report.notes.push_back(
        {line, word,
         earlier->second == 0
             ? QStringLiteral("ﾌﾞｯｸにすでにある語のため取込みませんでした"
                              "（ﾌﾞｯｸの語を残しました）")
             : QStringLiteral("%1行目と同じ語のため取込みませんでした（%1行目を残しました）")
                   .arg(earlier->second)});
    return true;
}

CsvImportReport RowImport::commit() {
    m_writer->commit();
    return std::move(m_report);
}

CsvImportReport importCsv(const QString& csvPath, const QString& receivingFolder,
                          TransferHook hook) {
    QFile file(csvPath);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeFailure(failure::FileNotFound, csvPath);
    const QString text = decodeCsvFile(file.readAll());
    file.close();

    RowImport import(receivingFolder, std::move(hook), size_t(text.size() / 32));
    CsvReader reader(text);
    QStringList fields;
    while (reader.next(fields))
        import.add(reader.line(), fields.value(0), fields.value(1), fields.value(2), fields.size());
    return import.commit();
}

} // namespace booktransfer
