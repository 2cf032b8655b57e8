// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordfile.h"

#include "core/files/atomicfile.h"
#include "core/files/failure.h"
#include "core/text/cp932.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

RecordFile::RecordFile(QString path, int recordSize)
    : m_path(std::move(path)), m_recordSize(recordSize) {}

RecordFile::~RecordFile() {
    close();
}

void RecordFile::open(bool readOnly) {
    if (isOpen())
        return;
    const int flags = readOnly ? O_RDONLY : O_RDWR | O_CREAT;
    m_fd = ::open(QFile::encodeName(m_path).constData(), flags | O_CLOEXEC, 0666);
    if (m_fd < 0)
        diskio::fail(errno, m_path);
}

void RecordFile::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

qint64 RecordFile::size() const {
    struct stat st {};
    if (m_fd >= 0)
        return ::fstat(m_fd, &st) == 0 ? qint64(st.st_size) : 0;
    return QFileInfo(m_path).size();
}

int RecordFile::recordCount() const {
    return int((size() + m_recordSize - 1) / m_recordSize);
}

bool RecordFile::hasPartialRecord() const {
    return size() % m_recordSize != 0;
}

QByteArray RecordFile::readRange(int first, int count) const {
    const qint64 wanted = qint64(std::max(count, 0)) * m_recordSize;
    if (first < 1 || m_fd < 0)
        return QByteArray(wanted, ' ');
    QByteArray bytes(wanted, Qt::Uninitialized);
    const qint64 offset = qint64(first - 1) * m_recordSize;
    qint64 done = 0;
    while (done < wanted) {
        const ssize_t n =
            ::pread(m_fd, bytes.data() + done, size_t(wanted - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            diskio::fail(errno, m_path);
        if (n == 0)
            break;
        done += n;
    }
    // Past the end of the file the records read blank.
    std::fill(bytes.data() + done, bytes.data() + wanted, ' ');
    return bytes;
}

QString RecordFile::read(int recordNo, bool* ok) const {
    return cp932::decode(readBytes(recordNo), ok);
}

void RecordFile::write(int recordNo, const QString& text) {
    writeBytes(recordNo, cp932::encodeField(text, m_recordSize));
}

void RecordFile::writeBytes(int recordNo, const QByteArray& bytes) {
    if (recordNo < 1 || bytes.size() != m_recordSize)
        throw RuntimeFailure(failure::BadFileName, QFileInfo(m_path).fileName());
    if (m_fd < 0)
        throw RuntimeFailure(failure::BadFileName, QFileInfo(m_path).fileName());
    const qint64 offset = qint64(recordNo - 1) * m_recordSize;
    const qint64 oldSize = size();
    try {
        // A gap before the record (a short last record, or an example file shorter than the
        // meaning file) is filled with spaces, which is how an empty record reads.
        if (offset > oldSize) {
            const QByteArray gap(offset - oldSize, ' ');
            diskio::writeAll(m_fd, m_path, gap.constData(), gap.size(), oldSize);
        }
        diskio::writeAll(m_fd, m_path, bytes.constData(), bytes.size(), offset);
    } catch (...) {
        // The failure being raised is the one to report; a failed cut changes nothing.
        if (offset >= oldSize && size() > oldSize && ::ftruncate(m_fd, off_t(oldSize)) != 0) {
        }
        throw;
    }
}

void RecordFile::sync() {
    if (m_fd >= 0)
        diskio::sync(m_fd, m_path);
}
