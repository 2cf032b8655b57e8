// SPDX-License-Identifier: GPL-3.0-or-later
#include "panepprint.h"

#include "core/richtext/twips.h"
#include "platform/dialogservice.h"
#include "ui/richtextpane.h"

#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <memory>

namespace panepprint {
namespace {

// Cuts a copy of the pane's document down to the selection. Text removed up to a paragraph
// leaves that paragraph its own format and list, which a fragment inserted into an empty
// document would not (its first paragraph took the empty one's format).
void keepOnly(QTextDocument& copy, int start, int end) {
    QTextCursor cursor(&copy);
    cursor.setPosition(end);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor.setPosition(0);
    cursor.setPosition(start, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

} // namespace

bool printPane(const RichTextPane& pane) {
    QPrinter printer(QPrinter::HighResolution);
    PrintChoices choices;
    choices.selection = pane.textCursor().hasSelection();
    choices.pageRange = false;
    choices.printToFile = true;
    printer.setPrintRange(QPrinter::AllPages);
    if (!dialogs().printWith(printer, choices))
        return false;
    const bool selectionOnly = choices.selection && printer.printRange() == QPrinter::Selection;
    if (printPaneTo(pane, printer, selectionOnly))
        return true;
    showMessage(QStringLiteral("印刷を開始できませんでした。\r\nﾌﾟﾘﾝﾀあるいは出力先のﾌｧｲﾙを"
                               "確認して下さい。"),
                QStringLiteral("印刷"), MessageButtons::Ok, MessageIcon::Exclamation);
    return false;
}

std::unique_ptr<QTextDocument> printedCopy(const RichTextPane& pane, bool selectionOnly,
                                           qreal printerDpi) {
    const QTextDocument* document = pane.document();
    std::unique_ptr<QTextDocument> copy(document->clone());
    if (selectionOnly) {
        // The selection is printed from a document of its own, so that it is paginated from the
        // top of the first page and keeps its formatting.
        const QTextCursor selected = pane.textCursor();
        keepOnly(*copy, selected.selectionStart(), selected.selectionEnd());
    }
    // A printed document is laid out in the printer's dots. Qt scales fonts, tab stops and the
    // space between paragraphs to them, but takes a paragraph's left, right and first-line
    // indents as dots as they stand: on a 1200 dpi printer they would shrink to a twelfth, and a
    // bullet hanging before its text would stand in the page margin.
    const qreal scale = printerDpi * twips::PerPixel / 1440.0;
    QTextCursor cursor(copy.get());
    for (QTextBlock block = copy->begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        if (format.leftMargin() == 0 && format.rightMargin() == 0 && format.textIndent() == 0)
            continue;
        format.setLeftMargin(format.leftMargin() * scale);
        format.setRightMargin(format.rightMargin() * scale);
        format.setTextIndent(format.textIndent() * scale);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
    }
    return copy;
}

bool printPaneTo(const RichTextPane& pane, QPrinter& printer, bool selectionOnly) {
    const std::unique_ptr<QTextDocument> document =
        printedCopy(pane, selectionOnly, printer.logicalDpiX());
    // The range was the dialog's choice; the document prints every page it is given.
    printer.setPrintRange(QPrinter::AllPages);
    document->print(&printer);
    return printer.printerState() != QPrinter::Error;
}

} // namespace panepprint
