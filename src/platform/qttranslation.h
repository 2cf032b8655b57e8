// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QTranslator;

// Qt's own texts (standard buttons, the font, colour, file and print dialogs) in Japanese, like
// the rest of the program.

// Installs Qt's Japanese translation in the running application and returns it (owned by the
// application), or null when it is not installed and Qt's texts stay English.
QTranslator* installQtJapanese();

// Installs the program's own Japanese for the texts of Qt's dialogs that Qt's translation lacks
// (the file dialog's "Folder", the print dialog's "Pages", ...) or gets wrong (the name of the
// Backspace key in shortcuts). Installed after Qt's, it is asked first. Returns it, owned by the
// application.
QTranslator* installMissingQtJapanese();

// The Japanese set-up at start: both translations, Japanese as the default locale, so that Qt's
// dialogs name file types and format numbers in Japanese, and file lists with Japanese dates.
void useJapaneseInterface();
