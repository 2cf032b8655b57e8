// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordpanesuggestions.h"

#include "frmtranslatorl.h"
#include "ui/limitedtextedit.h"
#include "ui/meaningsuggestions.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"
#include "wordpane.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>

namespace {

// Over the top of the original (of the translation when the project has none), at least wide
// enough for a short definition, level with the meaning box where the pane allows: the word
// pane and the formatting bar above stay in sight.
QRect placeOverTheOriginal(const TranslatorLForm& f) {
    const QRect pane = (f.Rtxt1->isVisibleTo(f.client()) ? f.Rtxt1 : f.Rtxt2)->geometry();
    const QRect mean = f.txtMean->geometry();
    const int left = std::max(pane.left(), std::min(mean.left(), pane.right() + 1 - 360));
    const int width = std::min(std::max(mean.width(), 360), pane.right() + 1 - left);
    const int height = std::max(0, std::min(220, pane.height()));
    return {left, pane.top(), std::max(0, width), height};
}

// Sees the window's keys before the window does, and follows its size.
class SuggestionKeys : public QObject {
public:
    SuggestionKeys(TranslatorLForm& form, const WordPane& pane, MeaningSuggestions& suggestions)
        : QObject(&suggestions), m_form(form), m_pane(pane), m_suggestions(suggestions) {
        qApp->installEventFilter(this);
    }
    ~SuggestionKeys() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize && watched == m_form.client()) {
            // The panes are laid out for the new size after this event; the list follows them.
            QTimer::singleShot(0, &m_suggestions, [this] { m_suggestions.placeChanged(); });
            return false;
        }
        // The list covers the top of the original; it makes way while the user works in a pane.
        if (event->type() == QEvent::FocusIn) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->window() == &m_form)
                m_suggestions.setAside(m_form.Rtxt1->isAncestorOf(widget) ||
                                       m_form.Rtxt2->isAncestorOf(widget));
            return false;
        }
        if (event->type() != QEvent::KeyPress || m_pane.mode() != WordPane::Mode::Register)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != &m_form)
            return false;
        return m_suggestions.takeKey(watched, static_cast<QKeyEvent*>(event));
    }

private:
    TranslatorLForm& m_form;
    const WordPane& m_pane;
    MeaningSuggestions& m_suggestions;
};

} // namespace

void addWordPaneSuggestions(FrmTranslatorL& window, WordPane& pane) {
    TranslatorLForm* f = window.form();
    auto* suggestions =
        new MeaningSuggestions(MeaningSuggestions::Host{
                                   .parent = f->client(),
                                   .placement = [f] { return placeOverTheOriginal(*f); },
                                   .word = [&pane] { return pane.word(); },
                                   .meaningBox = f->txtMean,
                                   .menu = f->mnuWordPart,
                                   .itemName = QStringLiteral("mnuDictSuggest"),
                                   .separatorName = QStringLiteral("mnuDictSuggestSep"),
                               },
                               &pane);
    new SuggestionKeys(*f, pane, *suggestions);
    // The pane tells of every change; the list needs only the mode and the word.
    QObject::connect(&pane, &WordPane::changed, suggestions, [&pane, suggestions] {
        suggestions->setRegistering(pane.mode() == WordPane::Mode::Register);
        suggestions->wordChanged();
    });
}
