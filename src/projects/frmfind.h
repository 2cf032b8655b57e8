// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/findform.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <Qt>

class FrmTranslatorL;
class RichTextPane;

// The find and replace dialog of the editor: finds text in the original or the translation
// pane, replaces the found text or every occurrence. Modeless: the editor stays usable.
class FrmFind : public QObject {
    Q_OBJECT
public:
    explicit FrmFind(FrmTranslatorL& window);
    ~FrmFind() override;

    FindForm* form() const { return m_form; }
    // Whether the next search starts at the top of the pane.
    bool fromTop() const { return m_fromTop; }

    // Starts the dialog with the search text the editor offers (empty: none).
    void formLoad(const QString& preset);
    void Check1Click();
    void cmdFindClick();
    void cmdRewriteClick();
    void cmdAllrewriteClick();
    void cmdCloseClick();

signals:
    // The dialog has closed, by its button, its frame or Esc.
    void closed();

private:
    RichTextPane* target() const;
    Qt::CaseSensitivity caseSensitivity() const;
    // Refuses an empty search text, which would find itself everywhere, with a message.
    bool searchTextMissing() const;
    // Refuses, with a message, to replace text in a pane the user may not edit.
    bool editRefused(const RichTextPane* pane) const;
    void startFromTopAgain();

    FrmTranslatorL& m_window;
    // The form is a child of the editor's window and goes with it if that goes first.
    QPointer<FindForm> m_form;
    bool m_fromTop = true;
    bool m_closed = false;
};

// The editor's find command (menu and tool bar): opens the find dialog, offering the selection
// of the pane being worked in as the search text.
class FindCommand : public QObject {
    Q_OBJECT
public:
    explicit FindCommand(FrmTranslatorL& window, QObject* parent = nullptr);
    ~FindCommand() override;

    void mnuFindClick();
    // The open dialog, or null.
    FrmFind* dialog() const { return m_dialog; }

private:
    FrmTranslatorL& m_window;
    QPointer<FrmFind> m_dialog;
    QString m_preset;
};
