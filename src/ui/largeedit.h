// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSizeF>
#include <QTextCursor>
#include <QTextDocument>

// Edits that touch much of a document (replace all, the sentence split, formatting a large
// selection) as one edit: one undo step and one change signal. A text edit lays out every
// paragraph between the first and the last change before it can repaint, which for a large
// document takes far longer than the edit. Here the document is instead laid out afresh the way
// a newly loaded one is: the part on screen first, the rest while the program waits for input.
namespace largeedit {

template <class Edit> void run(QTextCursor cursor, Edit edit) {
    QTextDocument* document = cursor.document();
    const QSizeF page = document->pageSize();
    cursor.beginEditBlock();
    edit(cursor);
    // Without a page size the layout ignores the change; setting it back lays out anew.
    document->setPageSize(QSizeF(0, 0));
    cursor.endEditBlock();
    document->setPageSize(page);
}

template <class Edit> void run(QTextDocument* document, Edit edit) {
    run(QTextCursor(document), edit);
}

} // namespace largeedit
