#pragma once

#include <QList>

class QTextBlock;
class QTextBlockFormat;
class QTextCursor;

// Paragraph properties in the units the editor works in (twips), over the way QTextDocument holds
// them. A bulleted paragraph keeps its text at the left indent and hangs the bullet in front of
// it; its first-line indent is the bullet's offset and is kept apart from QTextDocument's own
// first-line indent, which would otherwise push the bullet out of the page.
namespace richtext {

int leftIndentTwips(const QTextBlockFormat& format);
int rightIndentTwips(const QTextBlockFormat& format);
int firstLineIndentTwips(const QTextBlock& block);
bool hasBullet(const QTextBlock& block);
// Custom tab stops, in twips from the left margin, in ascending order.
QList<int> tabStopsTwips(const QTextBlockFormat& format);

void setLeftIndent(QTextBlockFormat& format, int twips);
void setRightIndent(QTextBlockFormat& format, int twips);
// Positions that are not positive mean nothing to a paragraph and are dropped; the rest sorted.
void setTabStops(QTextBlockFormat& format, QList<int> twips);

// Sets the first-line indent of the cursor's block, as a bullet offset when it has a bullet.
void setFirstLineIndent(QTextCursor& cursor, int twips);

// Turns the bullet of the cursor's block on or off. On: the paragraph joins the bullet list of
// the paragraph before it (or starts one), its text starts at bulletIndent and the bullet hangs
// bulletIndent before it. Off: the paragraph leaves its list and its text returns to where the
// bullet was.
void setBullet(QTextCursor& cursor, bool on, int bulletIndentTwips);
// Reads the same paragraph back into a bullet with a given offset, as a reader finds it.
void makeBulleted(QTextCursor& cursor, int firstLineIndentTwips);

} // namespace richtext
