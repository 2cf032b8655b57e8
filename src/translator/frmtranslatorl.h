// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <memory>

class Book;
class EditorExit;
class EditorSpelling;
class Formatting;
class GlossaryPanel;
class MemoryPanel;
class PanePopup;
class QEvent;
class QKeyEvent;
class QProgressBar;
class SelectionTracking;
class TranslatorLForm;
class WindowKeys;
class WordPaneBinding;
struct ProjectState;

// The translation editor's window: its start-up, the arrangement of the panes on every resize and
// on the layout command, the pane the user last worked in, the F2 focus cycle and the window-wide
// keys. The word pane, and saving and closing, are classes of their own that it owns.
class FrmTranslatorL : public QObject {
    Q_OBJECT
public:
    explicit FrmTranslatorL(QObject* parent = nullptr);
    ~FrmTranslatorL() override;

    TranslatorLForm* form() const { return m_form; }
    Book* book() const { return m_book.get(); }
    ProjectState& project() const { return *m_project; }
    WordPaneBinding* wordPane() const { return m_wordPane.get(); }
    EditorExit* exits() const { return m_exit.get(); }
    SelectionTracking* tracking() const { return m_tracking.get(); }
    Formatting* formatting() const { return m_formatting; }
    PanePopup* popup() const { return m_popup; }
    GlossaryPanel* glossary() const { return m_glossary.get(); }
    MemoryPanel* memory() const { return m_memory.get(); }
    EditorSpelling* spelling() const { return m_spelling; }

    // The start-up sequence: opens the current book in the editor's order, shows its first word,
    // fills the formatting bar (the font list advancing bar, when given), reads the tab stops and
    // the current project and loads its documents. False when it failed and the program is to end.
    bool formLoad(QProgressBar* fontProgress = nullptr);

    // The name of the control that last had the focus among "Rtxt1", "Rtxt2" and "txtInput";
    // empty until one of them had it.
    const QString& activePane() const { return m_activePane; }

    // Handlers.
    void formResize();
    void mnuLayoutClick();
    // Looks the selection of the pane last worked in up in the book.
    void mnuQuickSearchClick();
    void Rtxt1GotFocus();
    void Rtxt2GotFocus();
    void txtInputGotFocus();
    void keyF2();
    // Arranges the panes for an inner size in twips; shows "ｻｲｽﾞを小さくし過ぎです" and leaves
    // them as they were when a pane would not fit.
    void layoutRule(int width, int height);

    // Loads a project document into a pane: no path gives an empty pane; a file that is missing
    // or cannot be read is reported by name, the pane keeping what could be read. False when the
    // file is there but could not be read whole, so that Save leaves it alone.
    static bool loadPane(class RichTextPane* pane, const QString& path);

signals:
    // The book went back to disk and the word book's main window is to come back.
    void returnRequested();
    // The book went back to disk and the program is to end.
    void endRequested();
    // Save has written the project's documents.
    void projectSaved();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectEvents();
    bool handleKey(QKeyEvent* event);
    void fillFormatBar(QProgressBar* fontProgress);
    void applyTabStops();
    void loadCurrentProject(bool projectFileFound);
    void focusOriginalOrTranslation();

    TranslatorLForm* m_form;
    std::unique_ptr<Book> m_book;
    std::unique_ptr<ProjectState> m_project;
    std::unique_ptr<WordPaneBinding> m_wordPane;
    std::unique_ptr<GlossaryPanel> m_glossary; // lets go of the book before it goes
    std::unique_ptr<MemoryPanel> m_memory;
    std::unique_ptr<EditorExit> m_exit;
    std::unique_ptr<SelectionTracking> m_tracking;
    Formatting* m_formatting;
    PanePopup* m_popup;
    EditorSpelling* m_spelling;
    WindowKeys* m_keys;
    QString m_activePane;
    bool m_loaded = false;
};
