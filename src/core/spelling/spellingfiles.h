// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSet>
#include <QString>
#include <optional>

// The spelling check keeps its own two files in the application folder, in UTF-8 so that any
// Latin word fits: its settings and the user's personal word list. A missing or damaged file gives
// the defaults and never stops the program; both are rewritten whole and atomically.
namespace spelling {

inline constexpr auto SettingsFileName = "spelling.ini";
inline constexpr auto WordListFileName = "spelling-words.txt";

struct SpellSettings {
    // The menu switch: marks are shown at all.
    bool enabled = true;
    // The dictionary's code ("en_US"); empty for no checking; none when the user never chose, so
    // that the default applies.
    std::optional<QString> language;
    // Words with an upper-case letter after the first, and words with digits, are not checked.
    bool ignoreInnerCapitals = true;
    bool ignoreDigits = true;
};

SpellSettings readSettings(const QString& appFolder);
// Raises a RuntimeFailure when the file cannot be written.
void writeSettings(const QString& appFolder, const SpellSettings& settings);

QSet<QString> readWordList(const QString& appFolder);
void writeWordList(const QString& appFolder, const QSet<QString>& words);

} // namespace spelling
