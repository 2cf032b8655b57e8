#include "textsearch.h"

#include "ui/richtextpane.h"

#include <QTextCursor>
#include <QTextDocument>
#include <vector>

namespace textsearch {

qsizetype indexIn(QStringView text, QStringView needle, qsizetype from, Qt::CaseSensitivity cs) {
    if (needle.isEmpty() || from < 0 || from > text.size())
        return -1;
    // Qt compares case-insensitively by simple Unicode case folding, one code point to one.
    return text.indexOf(needle, from, cs);
}

bool selectNext(RichTextPane& pane, const QString& needle, int from, Qt::CaseSensitivity cs) {
    const QString text = pane.toPlainText();
    const qsizetype found = indexIn(text, needle, from, cs);
    if (found < 0)
        return false;
    QTextCursor c = pane.textCursor();
    c.setPosition(int(found));
    c.setPosition(int(found + needle.size()), QTextCursor::KeepAnchor);
    pane.setTextCursor(c);
    return true;
}

int replaceAll(RichTextPane& pane, const QString& needle, const QString& replacement, int from,
               Qt::CaseSensitivity cs) {
    const QString text = pane.toPlainText();
    std::vector<int> hits;
    for (qsizetype at = indexIn(text, needle, from, cs); at >= 0;
         at = indexIn(text, needle, at + needle.size(), cs))
        hits.push_back(int(at));
    if (hits.empty())
        return 0;
    // Every replacement goes into one edit block, so the document tells the view once and the
    // undo stack holds one step. Working from the last hit back leaves the earlier positions
    // where they were found.
    QTextCursor c(pane.document());
    QTextCursor caret;
    c.beginEditBlock();
    for (auto it = hits.rbegin(); it != hits.rend(); ++it) {
        c.setPosition(*it);
        c.setPosition(*it + int(needle.size()), QTextCursor::KeepAnchor);
        c.insertText(replacement);
        // The document moves this copy along as the earlier hits are replaced.
        if (caret.isNull())
            caret = c;
    }
    c.endEditBlock();
    pane.setTextCursor(caret);
    return int(hits.size());
}

} // namespace textsearch
