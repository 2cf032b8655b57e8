// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

class QComboBox;
class QProgressBar;

// The font-name list of the editor's formatting bar.
namespace fontlist {

// The screen fonts in the system's order, followed by the Windows font names documents use that
// the system does not list itself (they show through their substitutes).
QStringList screenFonts();

// Fills the combo with the screen fonts, advancing the bar (when given) by one per font from 0
// to count - 1, then shows "ＭＳ ｺﾞｼｯｸ" as its text, even when no such font is listed.
void fill(QComboBox* combo, QProgressBar* bar);

} // namespace fontlist
