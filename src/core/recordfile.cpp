#include "recordfile.h"

#include "cp932.h"
#include "failure.h"

#include <QFileInfo>
#include <fcntl.h>
#include <unistd.h>

RecordFile::RecordFile(QString path, int recordSize)
    : m_path(std::move(path)), m_recordSize(recordSize), m_file(m_path) {}

void RecordFile::open(bool readOnly) {
    if (m_file.isOpen())
        return;
    if (!m_file.open(readOnly ? QIODevice::ReadOnly : QIODevice::ReadWrite))
        throw RuntimeFailure(readOnly ? failure::FileNotFound : failure::PermissionDenied,
                             QFileInfo(m_path).fileName());
}

void RecordFile::close() {
    m_file.close();
}

int RecordFile::recordCount() const {
    const qint64 size = m_file.isOpen() ? m_file.size() : QFileInfo(m_path).size();
    return int((size + m_recordSize - 1) / m_recordSize);
}

bool RecordFile::hasPartialRecord() const {
    const qint64 size = m_file.isOpen() ? m_file.size() : QFileInfo(m_path).size();
    return size % m_recordSize != 0;
}

QByteArray RecordFile::readRange(int first, int count) const {
    if (first < 1 || count < 0)
        throw RuntimeFailure(failure::BadFileName, QFileInfo(m_path).fileName());
    const qint64 wanted = qint64(count) * m_recordSize;
    QByteArray bytes;
    if (m_file.seek(qint64(first - 1) * m_recordSize))
        bytes = m_file.read(wanted);
    if (bytes.size() < wanted)
        bytes.append(wanted - bytes.size(), ' ');
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
    const qint64 offset = qint64(recordNo - 1) * m_recordSize;
    const qint64 size = m_file.size();
    // A gap before the record (a short last record, or an example file shorter than the meaning
    // file) is filled with spaces, which is how an empty record reads.
    if (offset > size) {
        if (!m_file.seek(size) || m_file.write(QByteArray(offset - size, ' ')) != offset - size)
            throw RuntimeFailure(failure::DiskFull, QFileInfo(m_path).fileName());
    }
    if (!m_file.seek(offset) || m_file.write(bytes) != bytes.size() || !m_file.flush())
        throw RuntimeFailure(failure::DiskFull, QFileInfo(m_path).fileName());
}

void RecordFile::sync() {
    syncToDisk(m_file);
}

void syncToDisk(QFile& file) {
    if (!file.flush() || ::fsync(file.handle()) != 0)
        throw RuntimeFailure(failure::DeviceIo, QFileInfo(file.fileName()).fileName());
}

void syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}
