// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QTextCharFormat>
#include <QTextLayout>
#include <QTimer>

class QTextBlock;
class QTextDocument;
class RichTextPane;
namespace spelling {
class SpellChecker;
}

// Underlines the misspelt words of one pane with a red wave. The marks are the layout's
// additional formats (what a syntax highlighter uses), never the document's own, so they reach no
// saved file, clipboard or undo step. They are set without the edit blocks a QSyntaxHighlighter
// wraps its re-highlighting in, which would tell the pane its text changed. A keystroke re-checks
// only its paragraph at once; a loaded or pasted document, or one whose rules changed, is checked
// in short slices between events, the visible paragraphs first, so that the pane never freezes.
class SpellHighlighter : public QObject {
    Q_OBJECT
public:
    // Longest slice of checking between two events, beyond the paragraphs in view.
    static constexpr int SliceMilliseconds = 12;

    SpellHighlighter(RichTextPane& pane, spelling::SpellChecker& checker);

    // Shows the marks (following the pane to every document it loads) or removes them.
    void setActive(bool active);
    bool isActive() const { return m_active; }
    // What counts as correct changed: every paragraph is checked again, the old marks staying
    // until then.
    void recheckAll();
    // Checks the paragraphs in view, then others for up to a slice's time; false when none is
    // left unchecked.
    bool checkSlice(int milliseconds = SliceMilliseconds);
    bool isComplete() const;

private:
    void attach();
    void detach();
    void noteChange(int position, int removed, int added);
    bool isChecked(const QTextBlock& block) const;
    // The characters of the paragraphs whose marks changed.
    struct DirtyRange {
        int from = -1;
        int to = -1;
        void add(const QTextBlock& block);
    };
    // Sets the paragraph's marks; true when they changed on a paragraph already laid out.
    bool checkBlock(const QTextBlock& block);
    void redraw(DirtyRange range);
    void scheduleSlices();

    RichTextPane& m_pane;
    spelling::SpellChecker& m_checker;
    QPointer<QTextDocument> m_document;
    QTextCharFormat m_wave;
    QTimer m_slices;
    bool m_active = false;
    // Where the walk through the document goes on in the next slice.
    int m_nextBlock = 0;
};
