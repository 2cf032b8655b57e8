// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// How a text box meets the input method (IME): the mode its font group chose, held whatever
// leads the focus to the box, and compositions ended before the program reads the box.
namespace inputmethod {

// Gives box the input-method mode (see appearance::setInputMethodMode for the modes) now and
// again whenever the box takes the focus or becomes editable or enabled again: Qt's text boxes
// switch their input method back on when they leave the read-only state, and an input method
// asks again on every focus change.
void holdMode(QWidget* box, int mode);

// Ends a composition in box before the program reads it, so that what is stored is what the box
// shows: text still being composed and shown in the box is committed into it; the input method
// then forgets whatever it still holds, so nothing cancelled can be committed later.
void settle(QWidget* box);

} // namespace inputmethod
