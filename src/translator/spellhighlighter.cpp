// SPDX-License-Identifier: GPL-3.0-or-later
#include "spellhighlighter.h"

#include "core/spelling/spellchecker.h"
#include "ui/richtextpane.h"

#include <QElapsedTimer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace {

// An edit larger than this (a paste, a format over the whole text) is checked in slices.
constexpr int LargestEditCheckedAtOnce = 4000;
// Paragraphs whose marks change are laid out again; a slice stops after this many characters of
// them so that the layout stays within the slice too.
constexpr int LargestRedrawPerSlice = 8000;

// Remembers, per paragraph, under which rules it was last checked.
struct CheckedUnder : QTextBlockUserData {
    explicit CheckedUnder(quint64 g) : generation(g) {}
    quint64 generation;
};

} // namespace

SpellHighlighter::SpellHighlighter(RichTextPane& pane, spelling::SpellChecker& checker)
    : QObject(&pane), m_pane(pane), m_checker(checker) {
    m_wave.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    m_wave.setUnderlineColor(Qt::red);
    m_slices.setSingleShot(true);
    m_slices.setInterval(0);
    connect(&m_slices, &QTimer::timeout, this, [this] {
        if (checkSlice())
            m_slices.start();
    });
    connect(&pane, &RichTextPane::documentReplaced, this, [this] {
        if (m_active)
            attach();
    });
    // A scroll shows paragraphs that may not be checked yet; they come first in the next slice.
    connect(pane.verticalScrollBar(), &QScrollBar::valueChanged, this,
            &SpellHighlighter::scheduleSlices);
}

void SpellHighlighter::setActive(bool active) {
    if (active == m_active)
        return;
    m_active = active;
    if (active)
        attach();
    else
        detach();
}

void SpellHighlighter::attach() {
    if (m_document)
        disconnect(m_document, nullptr, this, nullptr);
    m_document = m_pane.document();
    connect(m_document, &QTextDocument::contentsChange, this, &SpellHighlighter::noteChange);
    recheckAll();
}

void SpellHighlighter::detach() {
    m_slices.stop();
    if (!m_document)
        return;
    disconnect(m_document, nullptr, this, nullptr);
    DirtyRange marked;
    for (QTextBlock b = m_document->begin(); b.isValid(); b = b.next()) {
        b.setUserData(nullptr);
        if (!b.layout()->formats().isEmpty()) {
            b.layout()->clearFormats();
            marked.add(b);
        }
    }
    redraw(marked);
    m_document = nullptr;
}

void SpellHighlighter::noteChange(int position, int removed, int added) {
    const QTextBlock first = m_document->findBlock(position);
    const int end = position + added;
    if (removed + added > LargestEditCheckedAtOnce) {
        // Paragraphs that were there before the edit keep their note of being checked, though
        // their text changed: the slices must take them again.
        for (QTextBlock b = first; b.isValid() && b.position() <= end; b = b.next())
            b.setUserData(nullptr);
        m_nextBlock = std::min(m_nextBlock, std::max(first.blockNumber(), 0));
        scheduleSlices();
        return;
    }
    // Runs before the document is laid out again, so the paragraph is drawn once, marked.
    DirtyRange marked;
    for (QTextBlock b = first; b.isValid() && b.position() <= end; b = b.next())
        if (checkBlock(b))
            marked.add(b);
    redraw(marked);
}

bool SpellHighlighter::isChecked(const QTextBlock& block) const {
    const auto* data = static_cast<const CheckedUnder*>(block.userData());
    return data && data->generation == m_checker.generation();
}

bool SpellHighlighter::checkBlock(const QTextBlock& block) {
    QList<QTextLayout::FormatRange> marks;
    for (const spelling::WordSpan& w : m_checker.misspelt(block.text()))
        marks.append({w.start, w.length, m_wave});
    QTextBlock b = block;
    b.setUserData(new CheckedUnder(m_checker.generation()));
    if (marks == block.layout()->formats())
        return false;
    // A paragraph the pane has not laid out yet takes its marks along when it is; asking for it
    // now would lay out everything before it at once.
    const bool laidOut = block.layout()->lineCount() > 0;
    block.layout()->setFormats(marks);
    return laidOut;
}

void SpellHighlighter::DirtyRange::add(const QTextBlock& block) {
    const int start = block.position();
    const int end = start + block.length();
    from = from < 0 ? start : std::min(from, start);
    to = std::max(to, end);
}

void SpellHighlighter::redraw(DirtyRange range) {
    // Lays out and repaints the paragraphs without an edit of the document; once for a whole
    // run, since every call makes the layout walk on from there.
    if (range.from >= 0)
        m_document->markContentsDirty(range.from, range.to - range.from);
}

void SpellHighlighter::recheckAll() {
    if (!m_active)
        return;
    m_nextBlock = 0;
    scheduleSlices();
}

bool SpellHighlighter::isComplete() const {
    if (!m_active || !m_document)
        return true;
    for (QTextBlock b = m_document->findBlockByNumber(m_nextBlock); b.isValid(); b = b.next())
        if (!isChecked(b))
            return false;
    return true;
}

void SpellHighlighter::scheduleSlices() {
    if (m_active && !m_slices.isActive())
        m_slices.start();
}

bool SpellHighlighter::checkSlice(int milliseconds) {
    if (!m_active || !m_document)
        return false;
    QElapsedTimer clock;
    clock.start();
    const auto outOfTime = [&] { return clock.elapsed() >= milliseconds; };

    // The paragraphs in view are checked whatever the time left: there are only as many as the
    // pane shows, and a slow machine must not leave the ones the user reads unmarked.
    const QRect view = m_pane.viewport()->rect();
    const QTextBlock firstShown = m_pane.cursorForPosition(view.topLeft()).block();
    const int lastShown =
        std::max(firstShown.blockNumber(),
                 m_pane.cursorForPosition(view.bottomRight()).block().blockNumber());
    DirtyRange shown;
    for (QTextBlock b = firstShown; b.isValid() && b.blockNumber() <= lastShown; b = b.next())
        if (!isChecked(b) && checkBlock(b))
            shown.add(b);
    redraw(shown);
    DirtyRange walked;
    QTextBlock b = m_document->findBlockByNumber(m_nextBlock);
    while (b.isValid() && !outOfTime() && walked.to - walked.from < LargestRedrawPerSlice) {
        if (!isChecked(b) && checkBlock(b))
            walked.add(b);
        b = b.next();
    }
    redraw(walked);
    m_nextBlock = b.isValid() ? b.blockNumber() : m_document->blockCount();
    return b.isValid();
}
