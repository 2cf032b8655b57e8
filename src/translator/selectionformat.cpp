// SPDX-License-Identifier: GPL-3.0-or-later
#include "selectionformat.h"

#include "core/richtext/charstyle.h"
#include "ui/richtextpane.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <unordered_set>

namespace {

// Folds the values of one more stretch of text into the selection's: a value that differs
// becomes mixed and stays so.
class Accumulator {
public:
    Accumulator(const QString& defaultFamily, double defaultSize)
        : m_defaultFamily(defaultFamily), m_defaultSize(defaultSize) {}

    void add(const QTextCharFormat& f) {
        const QStringList families = f.fontFamilies().toStringList();
        merge(m_result.fontName, m_mixed[0],
              families.isEmpty() || families.front().isEmpty() ? m_defaultFamily
                                                               : families.front());
        merge(m_result.fontSize, m_mixed[1],
              f.fontPointSize() > 0 ? f.fontPointSize() : m_defaultSize);
        merge(m_result.bold, m_mixed[2], f.fontWeight() >= QFont::DemiBold);
        merge(m_result.italic, m_mixed[3], f.fontItalic());
        merge(m_result.underline, m_mixed[4], richtext::underline(f) != richtext::Underline::None);
        // Text in the automatic colour reads as black.
        const bool automatic =
            !f.hasProperty(QTextFormat::ForegroundBrush) || f.foreground().style() == Qt::NoBrush;
        merge(m_result.color, m_mixed[5], automatic ? QColor(0, 0, 0) : f.foreground().color());
        m_seen = true;
    }
    bool allMixed() const {
        for (bool mixed : m_mixed)
            if (!mixed)
                return false;
        return true;
    }
    bool seen() const { return m_seen; }
    const SelectionFormat& result() const { return m_result; }

private:
    template <typename T> void merge(std::optional<T>& value, bool& mixed, const T& next) {
        if (mixed)
            return;
        if (!m_seen)
            value = next;
        else if (*value != next) {
            value.reset();
            mixed = true;
        }
    }

    QString m_defaultFamily;
    double m_defaultSize;
    SelectionFormat m_result;
    bool m_mixed[6] = {};
    bool m_seen = false;
};

} // namespace

SelectionFormat SelectionFormat::of(const RichTextPane& pane) {
    const QTextDocument* document = pane.document();
    const QFont defaultFont = document->defaultFont();
    Accumulator values(defaultFont.family(), defaultFont.pointSizeF());
    const QTextCursor c = pane.textCursor();
    if (c.hasSelection()) {
        const int start = c.selectionStart();
        const int end = c.selectionEnd();
        // A long selection is mostly the same few formats over and over; each is read once.
        std::unordered_set<int> formatsRead;
        for (QTextBlock b = document->findBlock(start); b.isValid(); b = b.next()) {
            const int blockStart = b.position();
            if (blockStart >= end)
                break;
            // Finding a fragment's position is a search of its own: only the first and the last
            // paragraph can have fragments outside the selection.
            const bool inside = blockStart >= start && blockStart + b.length() <= end;
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextFragment f = it.fragment();
                if (!inside && (f.position() + f.length() <= start || f.position() >= end))
                    continue;
                if (!formatsRead.insert(f.charFormatIndex()).second)
                    continue;
                values.add(f.charFormat());
                if (values.allMixed())
                    return values.result();
            }
        }
    }
    if (!values.seen())
        values.add(c.charFormat());
    return values.result();
}
