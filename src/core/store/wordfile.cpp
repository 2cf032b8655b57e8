// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordfile.h"

#include "core/files/atomicfile.h"
#include "core/store/book.h"
#include "core/text/cp932.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <charconv>

namespace wordfile {

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

QString rawKey(const QString& word, qint32 recordNo) {
    return word + QChar(0) + QString::number(recordNo);
}

namespace {

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

} // namespace

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

} // namespace wordfile
