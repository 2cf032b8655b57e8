// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class FrmTranslatorL;
class RichTextPane;

// Sentence keys of the rich-text panes: Shift+Alt+Right selects from the caret to the end of the
// sentence (ASCII terminators only), Alt+Right puts the caret behind the next sentence end
// (full-width terminators too).
class SentenceKeys : public QObject {
    Q_OBJECT
public:
    explicit SentenceKeys(FrmTranslatorL& window);

    static void selectSentence(RichTextPane* pane);
    static void jump(RichTextPane* pane);
};
