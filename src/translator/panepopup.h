// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class FrmTranslatorL;
class QPoint;
class RichTextPane;

// The pop-up menu of the rich-text panes, opened by the right mouse button: cut, copy, font and
// quick search only for a selection. It keeps the two requests its items make for after it has
// closed: moving the focus to the word pane (a quick search that wants it there) and opening the
// comment window.
class PanePopup : public QObject {
    Q_OBJECT
public:
    explicit PanePopup(FrmTranslatorL& window);

    // Shows the pop-up for the pane at a screen position and returns once it has closed.
    void show(RichTextPane* pane, const QPoint& at);
    // True while it is open for a pane with a selection.
    bool isOpen() const { return m_open; }
    bool wordPaneFocusRequested() const { return m_wordPaneFocus; }
    bool commentWindowRequested() const { return m_commentWindow; }

    // A pane got the focus (and is the active pane): serves the requests.
    void paneGotFocus();

private:
    void quickSearch();
    void serveWordPaneFocus();

    FrmTranslatorL& m_window;
    bool m_open = false;
    bool m_wordPaneFocus = false;
    bool m_commentWindow = false;
};
