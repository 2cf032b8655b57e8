#include "panepprint.h"

#include "platform/dialogservice.h"
#include "ui/richtextpane.h"

#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <memory>

namespace panepprint {

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

bool printPaneTo(const RichTextPane& pane, QPrinter& printer, bool selectionOnly) {
    const QTextDocument* document = pane.document();
    // The selection is printed from a document of its own, so that it is paginated from the top
    // of the first page and keeps its formatting.
    std::unique_ptr<QTextDocument> selection;
    if (selectionOnly) {
        selection = std::make_unique<QTextDocument>();
        selection->setDefaultFont(document->defaultFont());
        selection->setDefaultTextOption(document->defaultTextOption());
        selection->setIndentWidth(document->indentWidth());
        QTextCursor(selection.get()).insertFragment(pane.textCursor().selection());
        document = selection.get();
    }
    // The range was the dialog's choice; the document prints every page it is given.
    printer.setPrintRange(QPrinter::AllPages);
    document->print(&printer);
    return printer.printerState() != QPrinter::Error;
}

} // namespace panepprint
