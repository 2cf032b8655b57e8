// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class Book;
class FrmTranslatorL;
struct PlanInfo;
class RichTextPane;
class QString;

// Saving the project in use and leaving the editor: End ends the program, the return command
// goes back to the word book. Both ask their questions first and write the book back only when
// nothing was cancelled, so a cancelled question leaves the editor working with its book open.
class EditorExit {
public:
    explicit EditorExit(FrmTranslatorL& window);

    void mnuSaveClick();
    // "Verbantaへ戻る(&W)".
    void mnuExitClick();
    // "終了(&X)".
    void mnuEndClick();
    // The window's frame was closed: End. False when the window is to stay.
    bool closingByFrame();

    // Saves the translation, and the original when the project keeps it too. A failure is
    // reported with the file and its reason; false then, with the work still in the panes.
    bool saveDocuments();
    // Saves one pane as RTF; a failure is reported with the file and its reason.
    static bool saveDocument(RichTextPane* pane, const QString& path);
    // The box that says a file could not be written, naming it and the reason.
    static void reportUnsaved(const QString& path, const QString& reason);

    // What the project commands above the window do for Save and for leaving; each may stay
    // empty, and then that step does nothing.
    struct Hooks {
        // Gives work that belongs to no project a project of its own and saves it there; true
        // when the work is now saved, false when the user cancelled or the save failed.
        std::function<bool()> saveUntitledWork;
        // Saves the comment pane of the project in use; false when that failed (reported).
        std::function<bool()> saveComment;
        // Closes the comment window, saving it, before the editor goes away; false when the
        // save failed (reported): the editor then stays so the notes can be saved elsewhere.
        std::function<bool()> closeComment;
        // The editor is asked to close, before any question.
        std::function<void()> leaving;
        // Save has written the work.
        std::function<void()> saved;
        // Writes the book back on the way out (compacting it); empty: the book's own write-back.
        std::function<void(Book&)> writeBack;
    };
    Hooks& hooks() { return m_hooks; }

private:
    enum class Leave { Return, End };
    bool leave(Leave how);
    bool askAndSave(Leave how);
    // The project's documents that the panes hold.
    enum class Document { Original, Translation };
    RichTextPane* paneOf(Document which) const;
    QString pathOf(Document which) const;
    bool& notReadFlag(Document which) const;
    // Saves the pane into its document; one the editor could not read, or one that is read-only,
    // only after asking. False when nothing was saved.
    bool saveProjectDocument(Document which);
    // Saves over a document the editor could not read only when the user says so; the user may
    // save under another name instead.
    bool saveOverUnreadDocument(Document which);
    // A read-only document is kept as it is; the user may save under another name.
    bool saveInsteadOfReadOnly(Document which);
    // Saves under a name the user picks, which then is the project's document from now on.
    bool saveUnderAnotherName(Document which);
    // The project's records, the status bar and the state follow the document to its new file.
    void adoptDocument(Document which, const PlanInfo& moved);

    FrmTranslatorL& m_window;
    Hooks m_hooks;
    bool m_leaving = false;
};
