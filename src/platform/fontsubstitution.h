// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

// The settings name Windows fonts ("ＭＳ Ｐゴシック", "Arial", ...). They are kept as they are in
// the files; this maps each to the installed Japanese or metric-compatible font at start-up.
void registerFontSubstitutions();

// The Windows font names that have a substitute, in the table's order.
QStringList windowsFontNames();
