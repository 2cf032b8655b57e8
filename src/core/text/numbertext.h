// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Numbers as the user sees and types them.
namespace numbertext {

// The sign-reserving form: a non-negative number is preceded by one space, a negative one by
// its minus sign ("  5" is never produced; " 5" and "-5" are).
QString signReserving(qint64 value);

// Typed text to a 16-bit whole number: blanks around it are ignored, a fraction is rounded half
// to even (2.5 -> 2, 3.5 -> 4). Text that is not a number raises failure 13 (type mismatch), a
// number outside -32768..32767 failure 6 (overflow).
qint16 toInt16(const QString& text);

} // namespace numbertext
