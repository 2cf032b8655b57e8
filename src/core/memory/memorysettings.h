// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The translation memory keeps its settings in a file of its own in the application folder. A
// missing or damaged file gives the defaults: the memory on, its panel hidden, matches from 70 %,
// English originals translated into Japanese.
struct MemorySettings {
    bool enabled = true;  // false: no panel, no menu, nothing taken on save, no database opened
    bool visible = false; // the panel is shown
    int threshold = 70;   // the lowest match percentage listed, 50 to 100
    QString sourceLanguage = QStringLiteral("en");
    QString targetLanguage = QStringLiteral("ja");

    static inline const QString FileName = QStringLiteral("memory.ini");
    static constexpr int LowestThreshold = 50;

    static MemorySettings read(const QString& appFolder);
    // Rewrites the file atomically; raises RuntimeFailure when it cannot.
    void write(const QString& appFolder) const;
};
