// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Whether books are kept safe for a synchronised folder (a manifest and a change journal beside
// each book, conflict copies offered for merging), kept in a file of its own in the application
// folder. The file exists only while the safety is off; a missing or damaged file leaves it on.
struct SyncSettings {
    bool enabled = true;

    static inline const QString FileName = QStringLiteral("sync.ini");

    static SyncSettings read(const QString& appFolder);
    // Writes "enabled=0" atomically when off and removes the file when on; raises
    // RuntimeFailure when it cannot.
    void write(const QString& appFolder) const;
};
