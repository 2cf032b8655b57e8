// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace menukeys {

// Text boxes claim the desktop's line-editing keys (Ctrl+E to the line end, Ctrl+D to delete,
// Ctrl+K to cut to the end) before any menu sees them; in a window whose focus mostly sits in a
// text box that took keys like Ctrl+E and Ctrl+D away from their menu commands. After this call,
// a Ctrl or Alt key that an enabled action of the window carries goes to that action, in every
// text box the window holds now; the boxes keep their clipboard and undo keys.
void winOverTextBoxes(QWidget* window);

} // namespace menukeys
