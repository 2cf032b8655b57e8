// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The settings of undo and backups, in a file of their own in the application folder: whether
// they are on, and how many backups each book keeps. A missing or damaged file means the
// defaults; the program never writes it.
struct HistorySettings {
    bool enabled = true;
    int backupsKept = 10;

    static inline const QString FileName = QStringLiteral("history.vtd");
    static HistorySettings read(const QString& appFolder);
};
