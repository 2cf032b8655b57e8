// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversioncache.h"

#include "core/files/atomicfile.h"
#include "core/files/failure.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace wordprocessor {

ConversionCache::ConversionCache()
    : ConversionCache(QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
                      QStringLiteral("/converted")) {}

ConversionCache::ConversionCache(QString folder) : m_folder(std::move(folder)) {}

QString ConversionCache::keyOf(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile())
        return {};
    // The time to the millisecond and the size: a document saved again within the same second
    // with the same size is still told apart on file systems that keep finer times.
    const QString who = info.absoluteFilePath() + u'\n' + QString::number(info.size()) + u'\n' +
                        QString::number(info.lastModified().toMSecsSinceEpoch());
    return QString::fromLatin1(
        QCryptographicHash::hash(who.toUtf8(), QCryptographicHash::Sha256).toHex());
}

QString ConversionCache::fileOf(const QString& key) const {
    return m_folder + u'/' + key + QStringLiteral(".rtf");
}

std::optional<QByteArray> ConversionCache::find(const QString& key) const {
    if (key.isEmpty())
        return std::nullopt;
    QFile file(fileOf(key));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || bytes.isEmpty())
        return std::nullopt;
    return bytes;
}

void ConversionCache::store(const QString& key, const QByteArray& converted) const {
    if (key.isEmpty() || !QDir().mkpath(m_folder))
        return;
    removeStaleEntries();
    try {
        writeFileAtomically(fileOf(key), converted);
    } catch (const RuntimeFailure&) {
        // A full disk or a read-only cache: the document is converted again next time.
    }
}

void ConversionCache::removeStaleEntries() const {
    // Every version of every document opened leaves an entry that nothing finds once the
    // document changes; those not written for a month go, so the cache does not grow for ever.
    const QDateTime oldest = QDateTime::currentDateTime().addDays(-StaleAfterDays);
    const QFileInfoList entries =
        QDir(m_folder).entryInfoList({QStringLiteral("*.rtf")}, QDir::Files);
    for (const QFileInfo& entry : entries)
        if (entry.lastModified() < oldest)
            QFile::remove(entry.absoluteFilePath());
}

} // namespace wordprocessor
