// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Converted word-processor documents, kept in the per-user cache folder (never beside the user's
// file) so that reopening a document that has not changed takes no conversion. An entry is found
// by the document's path, size and time of last change; a changed document is simply not found.
namespace wordprocessor {

class ConversionCache {
public:
    // The cache in the per-user cache folder.
    ConversionCache();
    explicit ConversionCache(QString folder);

    // Who a document is at this moment: its key, empty when it cannot be looked at.
    static QString keyOf(const QString& path);

    std::optional<QByteArray> find(const QString& key) const;
    // Keeps the converted bytes; a cache that cannot be written only costs the next conversion.
    void store(const QString& key, const QByteArray& converted) const;

    QString folder() const { return m_folder; }

    // Entries older than this are removed when another is stored.
    static constexpr int StaleAfterDays = 30;

private:
    QString fileOf(const QString& key) const;
    void removeStaleEntries() const;

    QString m_folder;
};

} // namespace wordprocessor
