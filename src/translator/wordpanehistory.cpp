// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordpanehistory.h"

#include "core/history/historysettings.h"
#include "core/history/wordhistory.h"
#include "core/settings/session.h"
#include "core/store/book.h"
#include "frmtranslatorl.h"
#include "ui/historyitems.h"
#include "ui/translatorlform.h"
#include "wordpane.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QStatusBar>

namespace {

// The editor sees its keys before its controls do; these two are the history's, in every field.
class HistoryKeys : public QObject {
public:
    HistoryKeys(QWidget* window, HistoryItems items, QObject* parent)
        : QObject(parent), m_window(window), m_items(items) {
        qApp->installEventFilter(this);
    }
    ~HistoryKeys() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != m_window)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        for (QAction* action : {m_items.IdmUndo, m_items.IdmRedo})
            if (action->shortcut() == pressed) {
                if (action->isEnabled())
                    action->trigger();
                return true;
            }
        return false;
    }

private:
    QWidget* m_window;
    HistoryItems m_items;
};

} // namespace

void addWordPaneHistory(FrmTranslatorL& window, WordPane& pane, const Book& book) {
    if (!HistorySettings::read(session().appFolder).enabled)
        return;
    wordHistory().attach(book.folder());
    pane.setHistoryEnabled(true);
    TranslatorLForm* f = window.form();
    const HistoryItems items = HistoryItems::add(f, f->mnuEdit, nullptr, nullptr, f->StBar);
    const auto update = [items] {
        items.IdmUndo->setEnabled(wordHistory().canUndo());
        items.IdmRedo->setEnabled(wordHistory().canRedo());
    };
    update();
    new HistoryKeys(f, items, &pane);
    QObject::connect(items.IdmUndo, &QAction::triggered, &pane, [&pane] { pane.undo(); });
    QObject::connect(items.IdmRedo, &QAction::triggered, &pane, [&pane] { pane.redo(); });
    // Every change of the pane may follow an edit that made a step.
    QObject::connect(&pane, &WordPane::changed, items.IdmUndo, update);
    QObject::connect(&pane, &WordPane::historyMessage, f->StBar,
                     [bar = f->StBar](const QString& text) { bar->showMessage(text, 5000); });
}
