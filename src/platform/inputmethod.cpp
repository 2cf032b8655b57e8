// SPDX-License-Identifier: GPL-3.0-or-later
#include "inputmethod.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QVariant>
#include <QWidget>

namespace inputmethod {
namespace {

constexpr char ModeProperty[] = "verbantaImeMode";
constexpr char PreeditProperty[] = "verbantaPreedit";
constexpr int Disabled = 3;

void apply(QWidget* box, int mode) {
    switch (mode) {
    case 0:
        return;
    case 2:
    case 7:
        box->setAttribute(Qt::WA_InputMethodEnabled, true);
        box->setInputMethodHints(Qt::ImhPreferLatin);
        break;
    case Disabled:
        box->setAttribute(Qt::WA_InputMethodEnabled, false);
        break;
    case 8:
        box->setAttribute(Qt::WA_InputMethodEnabled, true);
        box->setInputMethodHints(Qt::ImhLatinOnly | Qt::ImhPreferLatin);
        break;
    default:
        box->setAttribute(Qt::WA_InputMethodEnabled, true);
        box->setInputMethodHints(Qt::ImhNone);
        break;
    }
    if (box->hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImEnabled | Qt::ImHints);
}

// Watches every box that holds a mode; the mode and the text being composed live on the box.
class Keeper : public QObject {
public:
    static Keeper& instance() {
        static auto* keeper = new Keeper(QCoreApplication::instance());
        return *keeper;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = qobject_cast<QWidget*>(watched);
        if (!box)
            return false;
        const int mode = box->property(ModeProperty).toInt();
        switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::ReadOnlyChange:
        case QEvent::EnabledChange:
            apply(box, mode);
            return false;
        case QEvent::InputMethod:
            box->setProperty(PreeditProperty,
                             static_cast<QInputMethodEvent*>(event)->preeditString());
            return false;
        case QEvent::InputMethodQuery:
            return answerDisabled(box, static_cast<QInputMethodQueryEvent*>(event), mode);
        default:
            return false;
        }
    }

private:
    using QObject::QObject;

    // A text box answers "enabled" from its own state, whatever the attribute says; an input
    // method must hear "disabled" from a box whose mode switches it off.
    static bool answerDisabled(QWidget* box, QInputMethodQueryEvent* query, int mode) {
        if (mode != Disabled || !(query->queries() & Qt::ImEnabled))
            return false;
        static_cast<QObject*>(box)->event(query);
        query->setValue(Qt::ImEnabled, false);
        return true;
    }
};

} // namespace

void holdMode(QWidget* box, int mode) {
    if (!box->property(ModeProperty).isValid())
        box->installEventFilter(&Keeper::instance());
    box->setProperty(ModeProperty, mode);
    apply(box, mode);
}

void settle(QWidget* box) {
    const QString shown = box->property(PreeditProperty).toString();
    if (!shown.isEmpty() && box->hasFocus())
        QGuiApplication::inputMethod()->commit();
    // The input method may not commit at once, or at all; what the box shows is what counts.
    const QString stillShown = box->property(PreeditProperty).toString();
    if (!stillShown.isEmpty()) {
        QInputMethodEvent commit;
        commit.setCommitString(stillShown);
        QCoreApplication::sendEvent(box, &commit);
    }
    if (box->hasFocus())
        QGuiApplication::inputMethod()->reset();
}

} // namespace inputmethod
