// SPDX-License-Identifier: GPL-3.0-or-later
#include "bookmanifest.h"

#include "core/files/atomicfile.h"
#include "core/store/booksession.h"
#include "core/store/wordfile.h"

#include <QFile>
#include <QSysInfo>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

BookMixed::BookMixed(QStringList files)
    : BookBroken(QStringLiteral("このブックは同期中か、ファイルがそろっていません\n%1")
                     .arg(files.join(QStringLiteral(", ")))),
      m_files(std::move(files)) {}

namespace bookmanifest {
namespace {

const QString Header = QStringLiteral("verbanta-manifest 1");
const QString Writing = QStringLiteral("writing");
const QString WholeState = QStringLiteral("whole");

// The part of a record file hashed beside its size: where it starts and where records are added.
constexpr qint64 HeadBytes = 4096;
constexpr qint64 TailBytes = 65536;

QString& hostOverride() {
    static QString host;
    return host;
}

bool& keptFlag() {
    static bool kept = true;
    return kept;
}

std::function<void()>& waitFunction() {
    static std::function<void()> wait = [] {
        std::this_thread::sleep_for(std::chrono::seconds(1));
    };
    return wait;
}

struct Entry {
    bool exists = false;
    qint64 size = 0;
    qint64 mtimeNs = 0;
    quint64 hash = 0;
};

struct Manifest {
    bool writing = false;
    quint64 generation = 0;
    QString host;
    std::array<Entry, 3> files;
};

const std::array<QString, 3>& names() {
    static const std::array<QString, 3> n{bookfile::Words, bookfile::Meanings, bookfile::Examples};
    return n;
}

// FNV-1a over 8-byte words: fast, and stable across runs and machines.
quint64 hashBytes(quint64 h, const char* data, qint64 size) {
    constexpr quint64 Prime = 0x100000001b3ULL;
    qint64 i = 0;
    for (; i + 8 <= size; i += 8) {
        quint64 w;
        std::memcpy(&w, data + i, 8);
        h = (h ^ w) * Prime;
        h ^= h >> 29;
    }
    for (; i < size; ++i)
        h = (h ^ quint8(data[i])) * Prime;
    return h;
}

quint64 hashFile(const QString& path, bool whole) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const qint64 size = file.size();
    quint64 h = hashBytes(0xcbf29ce484222325ULL, reinterpret_cast<const char*>(&size), 8);
    const auto hashRange = [&](qint64 from, qint64 length) {
        if (length <= 0 || !file.seek(from))
            return;
        const QByteArray bytes = file.read(length);
        h = hashBytes(h, bytes.constData(), bytes.size());
    };
    if (whole || size <= HeadBytes + TailBytes) {
        hashRange(0, size);
    } else {
        hashRange(0, HeadBytes);
        hashRange(size - TailBytes, TailBytes);
    }
    return h;
}

QString path(const QString& folder, const QString& name) {
    return folder + u'/' + name;
}

Entry describe(const QString& folder, int i) {
    const FileStamp stamp = FileStamp::of(path(folder, names()[size_t(i)]));
    if (!stamp.exists)
        return {};
    return {true, stamp.size, stamp.mtimeNs, hashFile(path(folder, names()[size_t(i)]), i == 0)};
}

std::optional<Manifest> readAt(const QString& manifestPath) {
    QFile file(manifestPath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    Manifest m;
    // A manifest that cannot be read says nothing about the files: the set is then taken as mixed
    // (Entry defaults name no file) unless every field is there.
    bool complete = lines.size() >= 7 && lines[0] == Header;
    if (complete) {
        m.writing = lines[1] == QStringLiteral("state ") + Writing;
        complete = m.writing || lines[1] == QStringLiteral("state ") + WholeState;
        m.generation = lines[2].section(u' ', 1).toULongLong();
        m.host = lines[3].section(u' ', 1);
        for (int i = 0; i < 3; ++i) {
            const QStringList f = lines[4 + i].split(u' ');
            bool ok[4] = {false, false, false, false};
            if (f.size() != 4 || f[0] != names()[size_t(i)]) {
                complete = false;
                break;
            }
            const qint64 size = f[1].toLongLong(&ok[0]);
            m.files[size_t(i)] = {size >= 0, std::max<qint64>(size, 0), f[2].toLongLong(&ok[1]),
                                  f[3].toULongLong(&ok[2], 16)};
            complete = complete && ok[0] && ok[1] && ok[2];
        }
    }
    if (!complete) {
        m.writing = false;
        m.host.clear();
        m.files = {Entry{true, -1, 0, 0}, Entry{true, -1, 0, 0}, Entry{true, -1, 0, 0}};
    }
    return m;
}

std::optional<Manifest> read(const QString& folder) {
    return readAt(path(folder, FileName));
}

void writeBytes(const QString& folder, const QByteArray& bytes, bool sync);

void write(const QString& folder, const Manifest& m) {
    QString text = Header + u'\n';
    text += QStringLiteral("state %1\n").arg(m.writing ? Writing : WholeState);
    text += QStringLiteral("generation %1\n").arg(m.generation);
    text += QStringLiteral("host %1\n").arg(m.host);
    for (int i = 0; i < 3; ++i) {
        const Entry& e = m.files[size_t(i)];
        text += QStringLiteral("%1 %2 %3 %4\n")
                    .arg(names()[size_t(i)])
                    .arg(e.exists ? e.size : -1)
                    .arg(e.mtimeNs)
                    .arg(e.hash, 16, 16, QChar(u'0'));
    }
    writeBytes(folder, text.toUtf8(), m.writing);
}

void writeBytes(const QString& folder, const QByteArray& bytes, bool sync) {
    // Written whole beside itself and renamed into place, like every rewrite; it does not go
    // through the disk gate, so a full disk is met by the book's own files, whose failures name
    // them.
    const QByteArray target = QFile::encodeName(path(folder, FileName));
    const QByteArray temporary = target + ".new";
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        diskio::fail(errno, path(folder, FileName));
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n <= 0)
            break;
        done += n;
    }
    // Only "writing" must reach the disk before the files change; a "whole" lost to a power cut
    // leaves "writing" by this machine, which the next open takes as its own and writes again.
    const int error = done < bytes.size()        ? (errno ? errno : ENOSPC)
                      : sync && ::fsync(fd) != 0 ? errno
                                                 : 0;
    ::close(fd);
    if (error != 0 || ::rename(temporary.constData(), target.constData()) != 0) {
        const int failed = error != 0 ? error : errno;
        ::unlink(temporary.constData());
        diskio::fail(failed, path(folder, FileName));
    }
}

enum class Match { Differs, Exact, ByHash };

Match matchesFile(const QString& file, int i, const Entry& recorded) {
    const FileStamp stamp = FileStamp::of(file);
    if (stamp.exists != recorded.exists)
        return Match::Differs;
    if (!stamp.exists)
        return Match::Exact;
    if (stamp.size != recorded.size)
        return Match::Differs;
    if (stamp.mtimeNs == recorded.mtimeNs)
        return Match::Exact;
    return hashFile(file, i == 0) == recorded.hash ? Match::ByHash : Match::Differs;
}

Match matches(const QString& folder, int i, const Entry& recorded) {
    return matchesFile(path(folder, names()[size_t(i)]), i, recorded);
}

// A deletion marks records in the middle of a record file without changing its size, where the
// hash of a record file does not look. A record file that arrived from another version after a
// deletion shows itself by the marks: the word file of the version before still names those
// records, which no whole book does (a word's record is marked only once no word names it).
bool namesMarkedRecords(const QString& folder, int i) {
    QFile words(path(folder, bookfile::Words));
    QFile records(path(folder, names()[size_t(i)]));
    if (!words.open(QIODevice::ReadOnly) || !records.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = i == 1 ? bookfile::MeaningSize : bookfile::ExampleSize;
    const QByteArray bytes = records.readAll();
    const QByteArray marker = bookfile::DeletionMarker.toLatin1();
    for (const wordfile::WordLine& line : wordfile::parseWordLines(words.readAll())) {
        const qint64 start = qint64(line.recordNo - 1) * size;
        if (!line.numberOk || line.recordNo < 1 || start + size > bytes.size())
            continue;
        QByteArrayView record = QByteArrayView(bytes).sliced(start, size);
        while (!record.isEmpty() && record.back() == ' ')
            record.chop(1);
        if (record == marker)
            return true;
    }
    return false;
}

} // namespace

QString thisHost() {
    return hostOverride().isEmpty() ? QSysInfo::machineHostName() : hostOverride();
}

void setHostForTests(const QString& host) {
    hostOverride() = host;
}

void setKept(bool kept) {
    keptFlag() = kept;
}

bool kept() {
    return keptFlag();
}

void setWait(std::function<void()> wait) {
    waitFunction() = std::move(wait);
}

Check check(const QString& folder) {
    if (!kept())
        return {State::None, {}};
    const std::optional<Manifest> m = read(folder);
    if (!m)
        return {State::None, {}};
    if (m->writing && m->host == thisHost())
        return {State::OwnInterrupted, {}};
    Check result{State::Whole, {}};
    std::array<Match, 3> match{};
    for (int i = 0; i < 3; ++i) {
        match[size_t(i)] = matches(folder, i, m->files[size_t(i)]);
        if (match[size_t(i)] == Match::Differs)
            result.differing << names()[size_t(i)];
    }
    if (result.differing.isEmpty())
        for (int i = 1; i < 3; ++i)
            if (match[size_t(i)] == Match::ByHash && namesMarkedRecords(folder, i))
                result.differing << names()[size_t(i)];
    if (!result.differing.isEmpty()) {
        result.state = State::Mixed;
        result.differing << FileName;
    }
    return result;
}

Check requireWhole(const QString& folder) {
    Check result = check(folder);
    for (int round = 0; result.state == State::Mixed && round < WaitRounds && waitFunction();
         ++round) {
        waitFunction()();
        result = check(folder);
    }
    if (result.state == State::Mixed)
        throw BookMixed(result.differing);
    return result;
}

void beginWrite(const QString& folder) {
    if (!kept()) {
        diskio::removeIfPresent(path(folder, FileName));
        return;
    }
    std::optional<Manifest> m = read(folder);
    if (!m)
        m = Manifest{};
    m->writing = true;
    m->host = thisHost();
    ++m->generation;
    write(folder, *m);
}

void endWrite(const QString& folder) {
    if (!kept())
        return;
    std::optional<Manifest> m = read(folder);
    Manifest next;
    next.generation = m ? m->generation : 1;
    next.host = thisHost();
    for (int i = 0; i < 3; ++i)
        next.files[size_t(i)] = describe(folder, i);
    write(folder, next);
}

std::optional<Description> Description::read(const QString& manifestPath) {
    const std::optional<Manifest> m = readAt(manifestPath);
    if (!m || m->writing || m->files[0].size < 0)
        return std::nullopt;
    Description d;
    d.host = m->host;
    for (int i = 0; i < 3; ++i) {
        d.m_exists[size_t(i)] = m->files[size_t(i)].exists;
        d.m_size[size_t(i)] = m->files[size_t(i)].size;
        d.m_mtimeNs[size_t(i)] = m->files[size_t(i)].mtimeNs;
        d.m_hash[size_t(i)] = m->files[size_t(i)].hash;
    }
    return d;
}

Description::Fit Description::fit(int i, const QString& filePath) const {
    if (!m_exists[size_t(i)])
        return Fit::No;
    switch (matchesFile(filePath, i,
                        {true, m_size[size_t(i)], m_mtimeNs[size_t(i)], m_hash[size_t(i)]})) {
    case Match::Exact:
        return Fit::ByTime;
    case Match::ByHash:
        return Fit::ByHash;
    case Match::Differs:
        break;
    }
    return Fit::No;
}

quint64 generation(const QString& folder) {
    const std::optional<Manifest> m = read(folder);
    return m ? m->generation : 0;
}

QByteArray saved(const QString& folder) {
    QFile file(path(folder, FileName));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void putBack(const QString& folder, const QByteArray& bytes) {
    if (bytes.isEmpty())
        QFile::remove(path(folder, FileName));
    else
        writeBytes(folder, bytes, true);
}

} // namespace bookmanifest
