#include "wordpanehistory.h"

#include "core/book.h"
#include "core/history/historysettings.h"
#include "core/history/wordhistory.h"
#include "core/session.h"
#include "frmtranslatorl.h"
#include "ui/historyitems.h"
#include "ui/translatorlform.h"
#include "wordpane.h"

#include <QAction>
#include <QStatusBar>

void addWordPaneHistory(FrmTranslatorL& window, WordPane& pane, const Book& book) {
    if (!HistorySettings::read(session().appFolder).enabled)
        return;
    wordHistory().attach(book.folder());
    pane.setHistoryEnabled(true);
    TranslatorLForm* f = window.form();
    const HistoryItems items =
        HistoryItems::add(f, f->mnuEdit, nullptr, nullptr, f->StBar, /*windowKeys=*/true);
    const auto update = [items] {
        items.IdmUndo->setEnabled(wordHistory().canUndo());
        items.IdmRedo->setEnabled(wordHistory().canRedo());
    };
    update();
    QObject::connect(items.IdmUndo, &QAction::triggered, &pane, [&pane] { pane.undo(); });
    QObject::connect(items.IdmRedo, &QAction::triggered, &pane, [&pane] { pane.redo(); });
    // Every change of the pane may follow an edit that made a step.
    QObject::connect(&pane, &WordPane::changed, items.IdmUndo, update);
    QObject::connect(&pane, &WordPane::historyMessage, f->StBar,
                     [bar = f->StBar](const QString& text) { bar->showMessage(text, 5000); });
}
