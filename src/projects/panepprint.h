// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>
#include <memory>

class QPrinter;
class QTextDocument;
class RichTextPane;

// Printing a rich-text pane of the editor windows (the original, the translation, the comment):
// its whole text or its selection, with its formatting, paginated for the printer's page.
namespace panepprint {

// Shows the print dialog, offering "selection" when the pane has one and "print to file" (PDF)
// always, and prints the pane as chosen. False when the dialog was cancelled or the printer could
// not be started (the user has been told); nothing is printed then.
bool printPane(const RichTextPane& pane);

// The document that goes to a printer of the given resolution (dots per inch): the pane's whole
// text or its selection, its indents in the printer's dots so that they print as the pane shows
// them.
std::unique_ptr<QTextDocument> printedCopy(const RichTextPane& pane, bool selectionOnly,
                                           qreal printerDpi);

// Prints to a printer that is set up already: only the selection when selectionOnly, otherwise
// all. False when the printer could not be started.
bool printPaneTo(const RichTextPane& pane, QPrinter& printer, bool selectionOnly);

} // namespace panepprint
