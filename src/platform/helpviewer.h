// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// The program's help, written as HTML pages shipped inside it, shown in a window with a contents
// list beside the page, opened at the contents.
enum class HelpBook { WordBook, TranslationEditor };

// Shows the help window. Returns false, showing nothing, when the help cannot be found.
bool showHelp(HelpBook book, QWidget* parent);
