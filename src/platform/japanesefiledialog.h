// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QFileDialog;

// Makes Qt's file dialog Japanese throughout. Qt writes the dates and sizes of its file list in
// the system's locale, English on most systems whatever the program's own language; the dialog
// shows them in Japanese form instead. It uses Qt's own widgets rather than the desktop's, so
// that the program's translations reach every text in it.
void makeFileDialogJapanese(QFileDialog& dialog);

// The same for every file dialog the program shows from now on, Qt's own included, from the
// moment it is shown.
void makeEveryFileDialogJapanese();
