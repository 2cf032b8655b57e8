// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class FrmTranslatorL;
class WordPane;

// Meanings offered from the installed dictionaries while the editor's word pane registers a word:
// the list lies under the meaning and example boxes, over the top of the original, for as long as
// register mode lasts and the focus is not in one of the panes. Its keys are seen before the
// window's own, so that Esc on a highlighted suggestion only lets go of it and a second Esc cancels
// the registration as before.
void addWordPaneSuggestions(FrmTranslatorL& window, WordPane& pane);
