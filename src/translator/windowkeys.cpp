// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowkeys.h"

#include "frmtranslatorl.h"
#include "sentencekeys.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"
#include "wordpanebinding.h"

#include <QKeyEvent>
#include <QPushButton>

namespace {

enum class Shift { Any, Ctrl, Alt };

// One key of the table: a key or a range of keys, the modifiers it asks for, whether it must come
// from the numeric pad, and its action, which answers false when the key is the control's after
// all.
struct Row {
    int first;
    int last;
    Shift shift;
    bool keypad;
    bool (*action)(FrmTranslatorL& window, int key);
};

// A word-pane button's key does what a click does, and nothing while the button is disabled.
template <QPushButton* TranslatorLForm::*Button, void (WordPaneBinding::*Click)()>
bool clickWhenEnabled(FrmTranslatorL& window, int) {
    if ((window.form()->*Button)->isEnabled())
        (window.wordPane()->*Click)();
    return true;
}

bool sentenceJump(FrmTranslatorL& window, int) {
    const QString& active = window.activePane();
    if (active != u"Rtxt1" && active != u"Rtxt2")
        return false;
    SentenceKeys::jump(active == u"Rtxt1" ? window.form()->Rtxt1 : window.form()->Rtxt2);
    return true;
}

template <void (WordPaneBinding::*Click)()> bool stock(FrmTranslatorL& window, int) {
    (window.wordPane()->*Click)();
    return true;
}

template <void (WordPaneBinding::*Click)(int)> bool stockSlot(FrmTranslatorL& window, int key) {
    (window.wordPane()->*Click)(key - Qt::Key_1);
    return true;
}

template <void (WordPane::*Step)()> bool spinner(FrmTranslatorL& window, int) {
    (window.wordPane()->pane()->*Step)();
    return true;
}

constexpr Row Table[] = {
    {Qt::Key_F3, Qt::Key_F3, Shift::Any, false,
     clickWhenEnabled<&TranslatorLForm::cmdModify, &WordPaneBinding::cmdModifyClick>},
    {Qt::Key_F5, Qt::Key_F5, Shift::Any, false,
     clickWhenEnabled<&TranslatorLForm::cmdDo, &WordPaneBinding::cmdDoClick>},
    {Qt::Key_Escape, Qt::Key_Escape, Shift::Any, false,
     clickWhenEnabled<&TranslatorLForm::cmdCancel, &WordPaneBinding::cmdCancelClick>},
    {Qt::Key_F4, Qt::Key_F4, Shift::Any, false,
     clickWhenEnabled<&TranslatorLForm::cmdDel, &WordPaneBinding::cmdDelClick>},
    {Qt::Key_Right, Qt::Key_Right, Shift::Alt, false, sentenceJump},
    {Qt::Key_F2, Qt::Key_F2, Shift::Any, false,
     [](FrmTranslatorL& window, int) {
         window.keyF2();
         return true;
     }},
    {Qt::Key_Plus, Qt::Key_Plus, Shift::Ctrl, true, stock<&WordPaneBinding::cmdAddClick>},
    {Qt::Key_Minus, Qt::Key_Minus, Shift::Ctrl, true, stock<&WordPaneBinding::cmdCLClick>},
    {Qt::Key_Minus, Qt::Key_Minus, Shift::Alt, true, stock<&WordPaneBinding::cmdACClick>},
    {Qt::Key_Up, Qt::Key_Up, Shift::Alt, false, spinner<&WordPane::stepUp>},
    {Qt::Key_Down, Qt::Key_Down, Shift::Alt, false, spinner<&WordPane::stepDown>},
    {Qt::Key_1, Qt::Key_8, Shift::Ctrl, true, stockSlot<&WordPaneBinding::lblStockClick>},
    {Qt::Key_1, Qt::Key_8, Shift::Alt, true, stockSlot<&WordPaneBinding::lblFClick>},
};

bool shiftMatches(Shift shift, Qt::KeyboardModifiers modifiers) {
    switch (shift) {
    case Shift::Any:
        return true;
    case Shift::Ctrl:
        return modifiers == Qt::ControlModifier;
    case Shift::Alt:
        return modifiers == Qt::AltModifier;
    }
    return false;
}

} // namespace

WindowKeys::WindowKeys(FrmTranslatorL& window) : QObject(&window), m_window(window) {}

bool WindowKeys::handle(const QKeyEvent& event) {
    // Before the book is open there is no word pane to act on.
    if (!m_window.wordPane()->pane())
        return false;
    const int key = event.key();
    const bool keypad = event.modifiers() & Qt::KeypadModifier;
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    for (const Row& row : Table)
        if (key >= row.first && key <= row.last && shiftMatches(row.shift, modifiers) &&
            (keypad || !row.keypad))
            return row.action(m_window, key);
    return false;
}
