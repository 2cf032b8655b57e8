// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QtGlobal>

class QWidget;
struct FontGroup;

// Settings describe colours as 0x00BBGGRR, fonts by Windows name and input-method modes 0 to 8;
// this turns them into what Qt widgets take.
namespace appearance {

QColor toColor(qint32 bgr);
qint32 fromColor(const QColor& color);

void setBackColor(QWidget* widget, qint32 bgr);
void setTextColor(QWidget* widget, qint32 bgr);
// Paints the background of a window or frame and nothing else: the buttons, boxes and lists
// inside keep their own colours, so no chosen colour can hide their text.
void setWindowColor(QWidget* widget, qint32 bgr);
void setFont(QWidget* widget, const QString& name, int points, bool bold, bool italic);
// The same, for a control whose size is fixed: where its text would not fit at that size, the
// font is drawn smaller until it does, so a large palette font never clips a caption. Call again
// when the text changes.
void setFittingFont(QWidget* widget, const QString& name, int points, bool bold, bool italic);
// Font, size, bold, italic, text and back colour and input-method mode of one font group. Where
// the back colour would swallow the selection, the selection shows in reverse instead.
void applyFontGroup(QWidget* widget, const FontGroup& group);

// Whether the settings files can keep the name of a font the user chose; if not, tells the user
// which characters stand in the way and that the font stays as it was.
bool acceptChosenFont(const QString& family);

// The input-method modes, as far as Qt can express them:
//   0 none: the widget's input method is left as it is
//   1 on: the input method is enabled, no hints
//   2 off: enabled but Latin input preferred (Qt cannot switch an input method off and leave it
//     available)
//   3 disabled: the input method is switched off for the widget
//   4 hiragana, 5 katakana, 6 half-width katakana: enabled with no hints; Japanese input methods
//     start in kana and Qt has no hint to choose among kana forms
//   7 full-width alphanumeric: enabled, Latin preferred
//   8 half-width alphanumeric: enabled, Latin only
// The mode holds from then on, whatever brings the focus back to the widget.
void setInputMethodMode(QWidget* widget, int mode);

} // namespace appearance
