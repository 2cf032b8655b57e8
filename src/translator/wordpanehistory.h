// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class Book;
class FrmTranslatorL;
class WordPane;

// Undo and redo of word edits in the editor's word pane: the items at the end of the edit menu,
// their keys and the status line's report, on the history the main window keeps for the same
// book. Nothing is added when the history is turned off.
void addWordPaneHistory(FrmTranslatorL& window, WordPane& pane, const Book& book);
