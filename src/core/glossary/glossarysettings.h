// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The editor's list of book words in the current sentence keeps its own settings file in the
// application folder, apart from the program's other settings. A missing or damaged file gives
// the defaults: the list available, its panel hidden, no highlight.
struct GlossarySettings {
    bool enabled = true;    // false: no panel, no menu items, no keys
    bool visible = false;   // the panel is shown
    bool highlight = false; // the found words are marked in the original pane
    // A Japanese original is split into words by the morphological analyser, where installed;
    // written to the file only when switched off, so the file of a user who never did stays as
    // it was.
    bool japaneseWords = true;

    static inline const QString FileName = QStringLiteral("glossary.ini");

    static GlossarySettings read(const QString& appFolder);
    // Rewrites the file atomically; raises RuntimeFailure when it cannot.
    void write(const QString& appFolder) const;
};
