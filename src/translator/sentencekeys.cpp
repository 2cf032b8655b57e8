// SPDX-License-Identifier: GPL-3.0-or-later
#include "sentencekeys.h"

#include "frmtranslatorl.h"
#include "platform/errorguard.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"

SentenceKeys::SentenceKeys(FrmTranslatorL& window) : QObject(&window) {
    const auto watch = [this](RichTextPane* pane, const char* code) {
        connect(pane, &RichTextPane::keyDown, this,
                [pane, code](int key, Qt::KeyboardModifiers modifiers) {
                    if (key != Qt::Key_Right ||
                        (modifiers & ~Qt::KeypadModifier) != (Qt::ShiftModifier | Qt::AltModifier))
                        return;
                    guarded(reportOnly(u"区切りまでの選択時", code), [&] { selectSentence(pane); });
                });
    };
    watch(window.form()->Rtxt1, "Error205");
    watch(window.form()->Rtxt2, "Error206");
}

void SentenceKeys::selectSentence(RichTextPane* pane) {
    pane->span(QStringLiteral(".!?"));
    // Past the end of the text the pane keeps the selection at the end.
    pane->setSelLength(pane->selLength() + 1);
}

void SentenceKeys::jump(RichTextPane* pane) {
    pane->upTo(QStringLiteral(".!?。！？"));
    pane->setSelStart(pane->selStart() + 1);
}
