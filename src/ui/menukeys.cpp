// SPDX-License-Identifier: GPL-3.0-or-later
#include "menukeys.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTextEdit>
#include <QWidget>

namespace {

class MenuKeyFilter : public QObject {
public:
    explicit MenuKeyFilter(QWidget* window) : QObject(window), m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride)
            return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            return false;
        // The box's own clipboard and undo keys stay the box's. Select all is the window's where
        // it has the command: the command chooses the pane it selects, which is not always the
        // box.
        for (QKeySequence::StandardKey own :
             {QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste, QKeySequence::Undo,
              QKeySequence::Redo})
            if (key->matches(own))
                return false;
        const QKeySequence pressed(key->keyCombination());
        const QList<QAction*> actions = m_window->findChildren<QAction*>();
        for (const QAction* action : actions) {
            if (action->isEnabled() && action->shortcut() == pressed) {
                // Not accepted: the shortcut goes ahead; the box never sees the override.
                event->ignore();
                return true;
            }
        }
        return false;
    }

private:
    QWidget* m_window;
};

} // namespace

namespace menukeys {

void winOverTextBoxes(QWidget* window) {
    auto* filter = new MenuKeyFilter(window);
    for (QLineEdit* box : window->findChildren<QLineEdit*>())
        box->installEventFilter(filter);
    for (QTextEdit* box : window->findChildren<QTextEdit*>())
        box->installEventFilter(filter);
}

} // namespace menukeys
