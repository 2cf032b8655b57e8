#include "book.h"

#include "atomicfile.h"
#include "cp932.h"
#include "failure.h"
#include "textrecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <charconv>
#include <cstdio>

namespace {

// QSaveFile names its work file after the target plus a dot and six characters; a kill during a
// rewrite leaves one behind.
bool isSaveFileLeftover(const QString& name) {
    for (const QString& target : {bookfile::Words, bookfile::WordsTemp})
        if (name.size() == target.size() + 7 && name.startsWith(target + u'.'))
            return true;
    return false;
}

bool isDeletionMarker(QByteArrayView record) {
    qsizetype end = record.size();
    while (end > 0 && record[end - 1] == ' ')
        --end;
    return record.first(end) == "###";
}

void removeIfPresent(const QString& path) {
    if (QFile::exists(path) && !QFile::remove(path))
        throw RuntimeFailure(failure::PermissionDenied, QFileInfo(path).fileName());
}

} // namespace

Book::Book(QString folder, WordIndex::Order order)
    : m_folder(std::move(folder)), m_index(order),
      m_meanings(filePath(bookfile::Meanings), bookfile::MeaningSize),
      m_examples(filePath(bookfile::Examples), bookfile::ExampleSize) {}

Book::~Book() {
    close();
}

void Book::close() {
    m_meanings.close();
    m_examples.close();
}

Book::OpenResult Book::open(bool readOnly) {
    if (!QFileInfo(m_folder).isDir())
        throw BookMissing();
    close();
    OpenResult result;
    m_problems.clear();
    m_deletionsPending = false;
    if (readOnly)
        noteLeftovers();
    else
        recoverInterruptedCompaction(result);

    std::vector<IndexEntry> entries;
    result.wordFileFound = QFile::exists(filePath(bookfile::Words));
    if (result.wordFileFound)
        entries = readWordFile();
    m_index.assign(std::move(entries));

    if (readOnly) {
        if (!QFile::exists(m_meanings.path()))
            m_problems << QStringLiteral("%1 がありません").arg(bookfile::Meanings);
        else
            m_meanings.open(true);
        if (QFile::exists(m_examples.path()))
            m_examples.open(true);
        for (const RecordFile* file : {&m_meanings, &m_examples})
            if (file->isOpen() && file->hasPartialRecord())
                m_problems << QStringLiteral("%1 の最後のレコードが途中で切れています")
                                  .arg(QFileInfo(file->path()).fileName());
        return result;
    }

    m_meanings.open();
    if (!QFile::exists(m_examples.path())) {
        // Every word gets a blank example so the two record files stay in step.
        m_examples.open();
        const QByteArray blank(bookfile::ExampleSize, ' ');
        for (int r = 1; r <= m_index.size(); ++r)
            m_examples.writeBytes(r, blank);
        m_examples.sync();
        result.exampleFileCreated = true;
    } else {
        m_examples.open();
    }
    return result;
}

void Book::noteLeftovers() {
    const QStringList names = QDir(m_folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : names)
        if (name == bookfile::MeaningsTemp || name == bookfile::ExamplesTemp ||
            name == bookfile::WordsTemp || isSaveFileLeftover(name))
            m_problems
                << QStringLiteral("中断された処理の一時ファイル %1 が残っています").arg(name);
}

void Book::recoverInterruptedCompaction(OpenResult& result) {
    const QStringList names = QDir(m_folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : names)
        if (isSaveFileLeftover(name))
            removeIfPresent(filePath(name));
    if (QFile::exists(filePath(bookfile::WordsTemp))) {
        // The new word file was complete, so the new record files were too: finish the job.
        if (QFile::exists(filePath(bookfile::MeaningsTemp)))
            replaceFile(bookfile::MeaningsTemp, bookfile::Meanings);
        if (QFile::exists(filePath(bookfile::ExamplesTemp)))
            replaceFile(bookfile::ExamplesTemp, bookfile::Examples);
        replaceFile(bookfile::WordsTemp, bookfile::Words);
        syncFolder(m_folder);
        result.recoveredCompaction = true;
    } else {
        // Work that never reached its commit point never reaches the book.
        removeIfPresent(filePath(bookfile::MeaningsTemp));
        removeIfPresent(filePath(bookfile::ExamplesTemp));
    }
}

std::vector<IndexEntry> Book::readWordFile() const {
    TextRecordReader reader = TextRecordReader::fromFile(filePath(bookfile::Words));
    std::vector<IndexEntry> entries;
    while (!reader.atEnd()) {
        IndexEntry e;
        e.word = reader.readString();
        e.recordNo = reader.readInt32();
        entries.push_back(std::move(e));
    }
    return entries;
}

namespace {

// One text record per word: the word in quotes, its record number. Built straight into bytes:
// this runs after every registration, on books of a hundred thousand words.
void appendWordLine(QByteArray& out, const IndexEntry& e) {
    char digits[16];
    const qsizetype digitCount =
        std::to_chars(digits, digits + sizeof digits, e.recordNo).ptr - digits;
    const bool ascii =
        std::all_of(e.word.cbegin(), e.word.cend(), [](QChar c) { return c.unicode() < 0x80; });
    const QByteArray word = ascii ? QByteArray() : cp932::encode(e.word);
    const qsizetype wordSize = ascii ? e.word.size() : word.size();
    const qsizetype start = out.size();
    out.resize(start + wordSize + digitCount + 5);
    char* p = out.data() + start;
    *p++ = '"';
    if (ascii)
        p = std::transform(e.word.cbegin(), e.word.cend(), p,
                           [](QChar c) { return char(c.unicode()); });
    else
        p = std::copy(word.cbegin(), word.cend(), p);
    *p++ = '"';
    *p++ = ',';
    p = std::copy(digits, digits + digitCount, p);
    *p++ = '\r';
    *p = '\n';
}

} // namespace

QByteArray Book::wordFileBytes(const std::vector<IndexEntry>& entries) const {
    QByteArray out;
    out.reserve(qsizetype(entries.size()) * 24);
    for (const IndexEntry& e : entries)
        appendWordLine(out, e);
    return out;
}

void Book::writeWordFile() {
    QByteArray out;
    out.reserve(qsizetype(m_index.size()) * 24);
    for (int p = 0; p < m_index.size(); ++p)
        appendWordLine(out, m_index.at(p));
    writeFileAtomically(filePath(bookfile::Words), out);
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
    } fields[] = {{u"単語", word}, {u"意味", meaning}, {u"用例", example}};
    for (const auto& field : fields) {
        const QString bad = cp932::unencodable(field.text);
        if (!bad.isEmpty())
            return QStringLiteral("%1に保存できない文字が含まれています：%2")
                .arg(QString::fromUtf16(field.label), bad);
    }
    return {};
}

int Book::registerWord(const QString& word, const QString& meaning, const QString& example) {
    const QString refusal = refusalFor(word, meaning, example);
    if (!refusal.isEmpty())
        throw WordRefused(refusal);
    const qint32 recordNo = m_meanings.recordCount() + 1;
    m_meanings.write(recordNo, meaning);
    m_examples.write(recordNo, example);
    // The records are on disk before the word file names them: a crash in between leaves the
    // book as it was, with an unused record at the end.
    m_meanings.sync();
    m_examples.sync();
    const int position = m_index.insert({word, recordNo, false});
    try {
        writeWordFile();
    } catch (...) {
        m_index.removeAt(position);
        throw;
    }
    return position;
}

int Book::modifyWord(int position, const QString& word, const QString& meaning,
                     const QString& example) {
    const QString refusal = refusalFor(word, meaning, example);
    if (!refusal.isEmpty())
        throw WordRefused(refusal);
    const qint32 recordNo = m_index.at(position).recordNo;
    m_meanings.write(recordNo, meaning);
    m_examples.write(recordNo, example);
    m_meanings.sync();
    m_examples.sync();
    const QString oldWord = m_index.at(position).word;
    const int newPosition = m_index.rename(position, word);
    // Written now rather than at close, so a crash cannot lose the new spelling.
    try {
        writeWordFile();
    } catch (...) {
        m_index.rename(newPosition, oldWord);
        throw;
    }
    return newPosition;
}

void Book::markDeleted(qint32 recordNo) {
    m_meanings.write(recordNo, bookfile::DeletionMarker);
    m_examples.write(recordNo, bookfile::DeletionMarker);
}

void Book::deleteWord(int position) {
    markDeleted(m_index.at(position).recordNo);
    m_deletionsPending = true;
    m_index.removeAt(position);
    writeWordFile();
}

int Book::deleteChecked() {
    m_deletionsPending = true;
    int deleted = 0;
    for (int p = 0; p < m_index.size(); ++p)
        if (m_index.at(p).checkMark) {
            markDeleted(m_index.at(p).recordNo);
            ++deleted;
        }
    m_index.removeIf([](const IndexEntry& e) { return e.checkMark; });
    m_index.clearCheckMarks();
    writeWordFile();
    return deleted;
}

void Book::replaceFile(const QString& from, const QString& to) {
    if (std::rename(QFile::encodeName(filePath(from)).constData(),
                    QFile::encodeName(filePath(to)).constData()) != 0)
        throw RuntimeFailure(failure::PathFileAccess, from);
}

void Book::compact() {
    for (const QString& name :
         {bookfile::MeaningsTemp, bookfile::ExamplesTemp, bookfile::WordsTemp})
        removeIfPresent(filePath(name));
    m_meanings.open();
    m_examples.open();

    // Copy the surviving records in their order and note each one's new number. Words follow
    // their own record through this map, whatever else the files hold.
    QFile meaningsTemp(filePath(bookfile::MeaningsTemp));
    QFile examplesTemp(filePath(bookfile::ExamplesTemp));
    if (!meaningsTemp.open(QIODevice::WriteOnly) || !examplesTemp.open(QIODevice::WriteOnly))
        throw RuntimeFailure(failure::PermissionDenied, bookfile::MeaningsTemp);
    QHash<qint32, qint32> newNumber;
    const int count = m_meanings.recordCount();
    qint32 next = 1;
    QByteArray meaningChunk;
    QByteArray exampleChunk;
    auto flushChunks = [&] {
        if (meaningsTemp.write(meaningChunk) != meaningChunk.size() ||
            examplesTemp.write(exampleChunk) != exampleChunk.size())
            throw RuntimeFailure(failure::DiskFull, bookfile::MeaningsTemp);
        meaningChunk.clear();
        exampleChunk.clear();
    };
    constexpr int Batch = 4096; // records read at a time: big sequential reads, bounded memory
    for (qint32 first = 1; first <= count; first += Batch) {
        const int n = std::min(Batch, count - first + 1);
        const QByteArray meanings = m_meanings.readRange(first, n);
        const QByteArray examples = m_examples.readRange(first, n);
        for (int i = 0; i < n; ++i) {
            const QByteArrayView meaning = QByteArrayView(meanings).sliced(
                qsizetype(i) * bookfile::MeaningSize, bookfile::MeaningSize);
            if (isDeletionMarker(meaning))
                continue;
            meaningChunk += meaning;
            exampleChunk += QByteArrayView(examples).sliced(qsizetype(i) * bookfile::ExampleSize,
                                                            bookfile::ExampleSize);
            newNumber.insert(first + i, next++);
        }
        flushChunks();
    }
    // A word whose record lies past the end of the files keeps its place with blank records.
    for (int p = 0; p < m_index.size(); ++p) {
        const qint32 old = m_index.at(p).recordNo;
        if ((old < 1 || old > count) && !newNumber.contains(old)) {
            meaningChunk += QByteArray(bookfile::MeaningSize, ' ');
            exampleChunk += QByteArray(bookfile::ExampleSize, ' ');
            newNumber.insert(old, next++);
        }
    }
    flushChunks();
    syncToDisk(meaningsTemp);
    meaningsTemp.close();
    step(CompactionStep::MeaningsTempWritten);
    syncToDisk(examplesTemp);
    examplesTemp.close();
    step(CompactionStep::ExamplesTempWritten);

    // A word still pointing at a deleted record was being deleted when a crash struck.
    m_index.removeIf([&](const IndexEntry& e) { return !newNumber.contains(e.recordNo); });
    std::vector<IndexEntry> renumbered = m_index.entries();
    for (IndexEntry& e : renumbered)
        e.recordNo = newNumber.value(e.recordNo);
    std::sort(renumbered.begin(), renumbered.end(),
              [](const IndexEntry& a, const IndexEntry& b) { return a.recordNo < b.recordNo; });
    writeFileAtomically(filePath(bookfile::WordsTemp), wordFileBytes(renumbered));
    step(CompactionStep::WordsTempCommitted);

    close();
    replaceFile(bookfile::MeaningsTemp, bookfile::Meanings);
    step(CompactionStep::MeaningsReplaced);
    replaceFile(bookfile::ExamplesTemp, bookfile::Examples);
    step(CompactionStep::ExamplesReplaced);
    replaceFile(bookfile::WordsTemp, bookfile::Words);
    syncFolder(m_folder);
    step(CompactionStep::WordsReplaced);

    for (int p = 0; p < m_index.size(); ++p)
        m_index.setRecordNo(p, newNumber.value(m_index.at(p).recordNo));
    m_deletionsPending = false;
}

void Book::writeBack() {
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
