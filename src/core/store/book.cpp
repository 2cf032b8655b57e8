// SPDX-License-Identifier: GPL-3.0-or-later
#include "book.h"

#include "core/files/atomicfile.h"
#include "core/files/failure.h"
#include "core/store/bookmanifest.h"
#include "core/store/booksession.h"
#include "core/store/wordfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace wordfile;

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
            diskio::removeIfPresent(filePath(name));
    if (!QFile::exists(filePath(bookfile::WordsTemp))) {
        // Work that never reached its commit point never reaches the book.
        diskio::removeIfPresent(filePath(bookfile::MeaningsTemp));
        diskio::removeIfPresent(filePath(bookfile::ExamplesTemp));
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
    diskio::installLinkOf(filePath(temporary), filePath(target));
}

void Book::removeTemporaries() {
    syncFolder(m_folder);
    // The word file goes first: without it the others are plain leftovers.
    for (const QString& name :
         {bookfile::WordsTemp, bookfile::MeaningsTemp, bookfile::ExamplesTemp})
        diskio::removeIfPresent(filePath(name));
    syncFolder(m_folder);
}

void Book::setAside(const QString& name, OpenResult& result) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss"));
    QString asideName = bookfile::SetAsidePrefix + stamp + u'-' + name;
    for (int n = 2; QFile::exists(filePath(asideName)); ++n)
        asideName = bookfile::SetAsidePrefix + stamp + u'-' + QString::number(n) + u'-' + name;
    diskio::rename(filePath(name), filePath(asideName), filePath(name));
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
