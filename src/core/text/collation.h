// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>
#include <string>

// How words are compared. The main window compares as Japanese text without regard to letter
// case; the translation editor's word pane compares by character code.
//
// Text comparison is ICU's Japanese collation at secondary strength. Besides letter case it
// ignores character width (Ａ = A, ｱ = ア) and kana type (あ = ア), the tertiary differences of
// that collation: this matches how users expect a Japanese notebook to look words up, and it keeps
// sorting, exact look-up and the palette ranges on one consistent order.
namespace collation {

enum class Mode { Text, Binary };

// <0, 0, >0. Text: the case-insensitive Japanese comparison. Binary: UTF-16 code units.
int compare(QStringView a, QStringView b, Mode mode = Mode::Text);

// Appends the sort key of the text comparison to out. Comparing keys bytewise (as unsigned
// bytes) gives the same order as compare().
void appendSortKey(QStringView text, std::string& out);

// A character in a form where characters the text comparison holds equal are equal
// (case, width and kana type folded). Used for per-character pattern matching.
char32_t fold(char32_t c);

} // namespace collation
