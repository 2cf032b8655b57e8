// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class FrmTranslatorL;
class QWidget;
class RichTextPane;

// The formatting bar, the paragraph and font commands, the clipboard and select-all commands and
// the tool bar's buttons of the translation editor. Character formats change only the pane last
// worked in; paragraph commands fall back to the translation when the word pane was last used;
// the clipboard works on whichever control has the keyboard focus, as plain text.
class Formatting : public QObject {
    Q_OBJECT
public:
    explicit Formatting(FrmTranslatorL& window);

    // The pane a command changes: the pane last worked in, or none.
    RichTextPane* strictTarget() const;
    // The pane last worked in, the translation when it was neither pane.
    RichTextPane* defaultTarget() const;

    void fontName(const QString& name);
    // A size that is not a positive number is refused quietly: the selection keeps its size.
    void fontSize(const QString& text);
    // Applies the colour-list item (0-based); the last item asks for any colour.
    void color(int item);
    void fontDialog();
    enum class Attribute { Bold, Italic, Underline };
    // Off when the whole selection has it, on otherwise (a mixed selection becomes all on).
    void toggle(Attribute attribute);
    void bullet(bool on);
    void align(int alignment);
    void indent(bool on);
    void selectAll();
    void cut();
    void copy();
    void paste();
    // Runs the command of the tool-bar button with this key; an unknown key does nothing.
    void toolbarClick(const QString& key);

private:
    void connectCommands();
    void focusPane(RichTextPane* pane);

    FrmTranslatorL& m_window;
};
