// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QTextCharFormat;

// Character properties that word processors keep and QTextDocument cannot show as such.
namespace richtext {

// The editor's font where a document names none: a new or emptied pane, and text without a font
// of its own when saved. Shown through the font substitutions of the platform.
QString defaultFontFamily();
double defaultFontPointSize();

// The kinds of underline a document can carry. Those QTextDocument has no line for show as the
// nearest it has, and are kept so that saving gives them back.
enum class Underline {
    None,
    Single,
    Words,
    Double,
    Thick,
    Dotted,
    Dashed,
    DashDot,
    DashDotDot,
    LongDash,
    Wave,
    DoubleWave,
    HeavyWave,
    ThickDotted,
    ThickDashed,
    ThickDashDot,
    ThickDashDotDot,
    ThickLongDash,
};

Underline underline(const QTextCharFormat& format);
void setUnderline(QTextCharFormat& format, Underline kind);

} // namespace richtext
