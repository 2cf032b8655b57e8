// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <functional>

class FrmTranslatorL;
class RichTextPane;

// The editor's options, tab stops, indent width, printing and help: connects their menu items and
// pop-up item to the dialogs. The tool bar's print and help buttons run the menu items.
class OptionCommands : public QObject {
    Q_OBJECT
public:
    // Owned by parent, or by the window when there is none.
    explicit OptionCommands(FrmTranslatorL& window, QObject* parent = nullptr);

    // The comment window's pane, loading the comment window when it is not loaded; null when there
    // is none. Set by the comment window's commands so that new tab stops reach its pane too.
    std::function<RichTextPane*()> commentPane;

    void mnuOptionClick();
    void mnuTabsClick();
    void mnuIndentSettingClick();
    // Prints the original or the translation pane, whichever was last worked in.
    void mnuPrintClick();
    void mnuHelpOpenClick();

private:
    // The pane named by the window's active-pane name, or null.
    RichTextPane* activeTextPane() const;

    FrmTranslatorL& m_window;
};
