// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

class QTextBlock;
class QTextBlockFormat;
class QTextCursor;

// Paragraph properties in the units the editor works in (twips), over the way QTextDocument holds
// them. A bulleted or numbered paragraph keeps its text at the left indent and hangs its label in
// front of it; its first-line indent is the label's offset and is kept apart from QTextDocument's
// own first-line indent, which would otherwise push the label out of the page.
namespace richtext {

// A tab stop as word processors keep it: where, how the text aligns at it, and what fills the
// gap before it.
struct TabStop {
    enum class Kind { Left, Center, Right, Decimal };
    enum class Leader { None, Dots, MiddleDots, Hyphens, Underline, ThickLine, Equals };
    int twips = 0;
    Kind kind = Kind::Left;
    Leader leader = Leader::None;
    bool operator==(const TabStop&) const = default;
};

// How the paragraphs of a numbered list count.
struct Numbering {
    enum class Style { Decimal, LowerLetter, UpperLetter, LowerRoman, UpperRoman };
    Style style = Style::Decimal;
    int start = 1;
    QString prefix;
    QString suffix = QStringLiteral(".");
    bool operator==(const Numbering&) const = default;
};

int leftIndentTwips(const QTextBlockFormat& format);
int rightIndentTwips(const QTextBlockFormat& format);
int firstLineIndentTwips(const QTextBlock& block);
bool hasBullet(const QTextBlock& block);
bool isNumbered(const QTextBlock& block);
// The numbering of a numbered paragraph; the default for any other.
Numbering numbering(const QTextBlock& block);
// The label a numbered paragraph shows ("3."); empty for any other.
QString numberLabel(const QTextBlock& block);
// Custom tab stops, in twips from the left margin, in ascending order.
QList<int> tabStopsTwips(const QTextBlockFormat& format);
QList<TabStop> tabStops(const QTextBlockFormat& format);

void setLeftIndent(QTextBlockFormat& format, int twips);
void setRightIndent(QTextBlockFormat& format, int twips);
// Positions that are not positive mean nothing to a paragraph and are dropped; the rest sorted.
void setTabStops(QTextBlockFormat& format, QList<int> twips);
void setTabStops(QTextBlockFormat& format, QList<TabStop> stops);

// Sets the first-line indent of the cursor's block, as a label offset when it has a label.
void setFirstLineIndent(QTextCursor& cursor, int twips);

// The indent the editor shows and sets: where the paragraph starts. For a bulleted or numbered
// paragraph that is the label's position, with the text a bullet indent further in. Never
// negative.
int indentTwips(const QTextBlock& block);
void setIndent(QTextCursor& cursor, int twips);

// Turns the bullet of the cursor's block on or off. On: the paragraph joins the bullet list of
// the paragraph before it (or starts one), its text starts at bulletIndent and the bullet hangs
// bulletIndent before it. Off: the paragraph leaves its list (numbered ones too) and its text
// returns to where the label was.
void setBullet(QTextCursor& cursor, bool on, int bulletIndentTwips);
// Reads the same paragraph back into a bullet with a given offset, as a reader finds it.
void makeBulleted(QTextCursor& cursor, int firstLineIndentTwips);
// Puts the paragraph into a numbered list: the one of the paragraph before it when that counts
// the same way, else a new one.
void makeNumbered(QTextCursor& cursor, const Numbering& numbering, int firstLineIndentTwips);

} // namespace richtext
