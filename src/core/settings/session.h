// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/settings/languageset.h"
#include "core/settings/settings.h"

#include <QString>
#include <QStringList>

// What the whole program shares while it runs: the settings read at start-up, the book in use
// and its palette, and the flags that pass between the word book and the translation editor.
struct Session {
    QString appFolder;
    DisplaySettings display;
    PaletteFont paletteFont;
    CurrentBook current;
    PaletteRows palette;
    QStringList setList;
    bool bookInUse = false;
    // Set just before the main window goes to make way for the translation editor.
    bool handOver = false;
};

// The one session of this process. Tests reset it with session() = Session().
Session& session();
