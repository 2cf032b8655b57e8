// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QRect>

class GlossaryPanelForm;
class TranslatorLForm;

// Where the book-words panel goes so that it never hides the word pane: beside the panes when
// the window is wide enough for both, beside them in a window widened within the screen when it
// is shown, and below the panes when there is no room beside them.
namespace glossarydock {

enum class Place { Beside, BesideWidened, Below };

struct Decision {
    Place place = Place::Beside;
    int windowWidth = 0; // the window's new inner width when widened
};

// wordPaneWidth: the inner width the word pane needs; panelWidth: the panel with its separator;
// screenWidth: the inner width the screen leaves the window; mayWiden: the panel is being shown
// (a window the user has sized is not widened behind their back).
Decision decide(int windowWidth, int wordPaneWidth, int panelWidth, int screenWidth, bool mayWiden);

// The inner width the word pane's controls need, in pixels.
int wordPaneWidth(const TranslatorLForm& form);

// Places the panel for the window's size; screen is the screen's available area.
void makeRoom(TranslatorLForm& form, GlossaryPanelForm& panel, const QRect& screen, bool mayWiden);

// Places the panel again whenever the window's size changes while the panel is shown.
class Follower : public QObject {
public:
    Follower(TranslatorLForm& form, GlossaryPanelForm& panel);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TranslatorLForm& m_form;
    GlossaryPanelForm& m_panel;
};

} // namespace glossarydock
