// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QIcon;

// The program's own icon, the picture the desktop entry names, in the sizes drawn for it. Every
// window shows it in its title bar and the task bar once it is the application's window icon.
QIcon applicationIcon();

// Makes the icon every window's icon and ties the windows to the desktop entry, so a desktop
// shows the entry's name and icon for them.
void installApplicationIcon();
