// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Whether the editor reads and writes word-processor documents, kept in a file of its own in the
// application folder. The file exists only while the documents are turned off, so a folder that
// never turned them off stays as it was; a missing or damaged file leaves them on.
struct DocumentSettings {
    bool enabled = true; // false: no document filters, no export, originals read as before

    static inline const QString FileName = QStringLiteral("documents.ini");
    // The open dialogs' filters for the documents, placed before their "all files" entry.
    static inline const QString OpenFilters =
        QStringLiteral("Word 文書 (*.docx *.doc);;OpenDocument 文書 (*.odt);;");

    static DocumentSettings read(const QString& appFolder);
    // Writes "enabled=0" atomically when off and removes the file when on; raises
    // RuntimeFailure when it cannot.
    void write(const QString& appFolder) const;
};
