#pragma once

class FrmTranslatorL;
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

private:
    enum class Leave { Return, End };
    bool leave(Leave how);
    bool askAndSave(Leave how);
    // Saves the translation, and the original when the project keeps it too. A failure is
    // reported with the file and its reason; false then, with the work still in the panes.
    bool saveDocuments();
    bool saveDocument(RichTextPane* pane, const QString& path);

    FrmTranslatorL& m_window;
    bool m_leaving = false;
};
