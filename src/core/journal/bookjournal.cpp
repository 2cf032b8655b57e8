// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/journal/bookjournal.h"

#include "core/files/atomicfile.h"
#include "core/review/linefields.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <cstring>
#include <optional>

namespace bookjournal {

namespace {

constexpr int FieldCount = 7;
// About 40,000 changes before the journal is shortened to its newest half.
constexpr qint64 MaxBytes = 4 * 1024 * 1024;
constexpr qint64 KeepBytes = MaxBytes / 2;

const char* nameOf(Operation operation) {
    switch (operation) {
    case Operation::Register:
        return "register";
    case Operation::Modify:
        return "modify";
    case Operation::Delete:
        return "delete";
    case Operation::Compaction:
        return "compaction";
    }
    return "";
}

std::optional<Operation> operationNamed(QByteArrayView name) {
    for (Operation o :
         {Operation::Register, Operation::Modify, Operation::Delete, Operation::Compaction})
        if (name == nameOf(o))
            return o;
    return std::nullopt;
}

std::optional<quint64> hexNumber(QByteArrayView field) {
    bool ok = false;
    const quint64 n = field.toULongLong(&ok, 16);
    return ok && !field.isEmpty() ? std::optional<quint64>(n) : std::nullopt;
}

std::optional<Entry> parseLine(QByteArrayView text) {
    QByteArrayView f[FieldCount];
    if (!linefields::split(text, f, FieldCount))
        return std::nullopt;
    const auto time = linefields::integer(f[0]);
    const auto host = linefields::unescaped(f[1]);
    const auto generation = linefields::integer(f[2]);
    const auto operation = operationNamed(f[3]);
    const auto meaning = hexNumber(f[4]);
    const auto example = hexNumber(f[5]);
    const auto word = linefields::unescaped(f[6]);
    if (!time || !host || !generation || *generation < 0 || !operation || !meaning || !example ||
        !word || (word->isEmpty() != (*operation == Operation::Compaction)))
        return std::nullopt;
    return Entry{*time, *host, quint64(*generation), *operation, *meaning, *example, *word};
}

// The complete lines of bytes from offset on, without their line ends.
std::vector<QByteArrayView> linesOf(const QByteArray& bytes, qsizetype offset) {
    std::vector<QByteArrayView> lines;
    while (offset < bytes.size()) {
        const qsizetype eol = bytes.indexOf('\n', offset);
        if (eol < 0)
            break; // a torn last line
        lines.emplace_back(bytes.constData() + offset, eol - offset);
        offset = eol + 1;
    }
    return lines;
}

// The length of the lines both start with.
qsizetype commonPrefix(const QByteArray& a, const QByteArray& b) {
    const qsizetype n = std::min(a.size(), b.size());
    qsizetype same = 0;
    while (same < n && a[same] == b[same])
        ++same;
    while (same > 0 && a[same - 1] != '\n')
        --same;
    return same;
}

quint64 generationOf(QByteArrayView line) {
    const std::optional<Entry> e = parseLine(line);
    return e ? e->generation : 0;
}

// The last change to each word among the lines the other journal lacks.
QHash<QString, LastChange> ownChanges(const std::vector<QByteArrayView>& lines,
                                      const QSet<QByteArrayView>& other, QByteArray* ownLines) {
    QHash<QString, LastChange> changes;
    for (QByteArrayView line : lines) {
        if (other.contains(line))
            continue;
        if (ownLines)
            *ownLines += line.toByteArray() + '\n';
        const std::optional<Entry> e = parseLine(line);
        if (!e || e->word.isEmpty())
            continue;
        changes.insert(e->word,
                       {e->operation == Operation::Delete, e->meaningHash, e->exampleHash});
    }
    return changes;
}

} // namespace

quint64 textHash(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == u' ')
        --end;
    const QByteArray utf8 = QStringView(text).left(end).toUtf8();
    quint64 h = 0xcbf29ce484222325ULL;
    for (char c : utf8)
        h = (h ^ quint8(c)) * 0x100000001b3ULL;
    return h;
}

QByteArray line(const Entry& e) {
    QByteArray out = QByteArray::number(e.time) + '\t';
    linefields::appendEscaped(out, e.host);
    out += '\t' + QByteArray::number(e.generation) + '\t' + nameOf(e.operation) + '\t' +
           QByteArray::number(e.meaningHash, 16) + '\t' + QByteArray::number(e.exampleHash, 16) +
           '\t';
    linefields::appendEscaped(out, e.word);
    out += '\n';
    return out;
}

void append(const QString& path, const QByteArray& lines) {
    linefields::appendLines(path, lines);
    if (QFileInfo(path).size() <= MaxBytes)
        return;
    // A merge only needs the lines since the last version two machines shared, so the oldest go
    // once the journal is long; rewritten whole, so a failure leaves it as it was.
    try {
        const QByteArray bytes = read(path);
        const qsizetype cut = bytes.indexOf('\n', bytes.size() - KeepBytes) + 1;
        if (cut > 0)
            writeFileAtomically(path, bytes.mid(cut));
    } catch (const std::exception&) {
    }
}

Parsed parse(const QByteArray& bytes) {
    Parsed parsed;
    for (QByteArrayView text : linesOf(bytes, 0)) {
        if (const std::optional<Entry> e = parseLine(text))
            parsed.entries.push_back(*e);
        else
            ++parsed.damagedLines;
    }
    return parsed;
}

QByteArray read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Journals share the lines written before the machines parted, usually as a common start; the
// rest is compared line by line, since a merge on one side puts the other's lines after its own.
Divergence diverged(const QByteArray& first, const QByteArray& second) {
    const qsizetype prefix = commonPrefix(first, second);
    std::vector<QByteArrayView> a = linesOf(first, prefix);
    std::vector<QByteArrayView> b = linesOf(second, prefix);
    const QSet<QByteArrayView> inA(a.begin(), a.end());
    const QSet<QByteArrayView> inB(b.begin(), b.end());

    Divergence d;
    // A journal shortened on one machine lacks the oldest lines the other still has: what a
    // journal holds before the first line the other holds too is history both shared.
    if (prefix == 0 && !a.empty() && !b.empty()) {
        const auto firstShared = [](const std::vector<QByteArrayView>& lines,
                                    const QSet<QByteArrayView>& other) {
            return std::find_if(lines.begin(), lines.end(),
                                [&](QByteArrayView l) { return other.contains(l); });
        };
        // Journals that share no line at all started apart (a book from before journals, copied
        // to both machines): every line is then that side's own.
        const auto sharedInA = firstShared(a, inB);
        if (sharedInA != a.end()) {
            a.erase(a.begin(), sharedInA);
            b.erase(b.begin(), firstShared(b, inA));
        }
    }
    if (prefix > 0) {
        const qsizetype start = prefix >= 2 ? first.lastIndexOf('\n', prefix - 2) + 1 : 0;
        d.commonGeneration = generationOf(QByteArrayView(first).sliced(start, prefix - 1 - start));
    }
    for (QByteArrayView line : a)
        if (inB.contains(line))
            d.commonGeneration = std::max(d.commonGeneration, generationOf(line));
    d.onlyFirst = ownChanges(a, inB, nullptr);
    d.onlySecond = ownChanges(b, inA, &d.secondsOwnLines);
    return d;
}

} // namespace bookjournal
