// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/book.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QTextEdit>
#include <memory>
#include <thread>
#include <vector>

class FrmTranslatorL;
class Glossary;
class GlossaryPanelForm;
class QTimer;
struct GlossarySettings;

// The panel of book words in the current sentence: it lists the words of the book found in the
// original's sentence that holds the caret (the words inside a phrase below it), shows a chosen
// word in the word pane, puts the first term of its meaning, or the term or whole line the user
// picks, into the translation as one undo step of its own, and marks the words in the original for
// display only. The matcher is built on a thread of its own the first time it is needed, so opening
// the editor does not wait for it, and follows the book's registrations, changes and deletions.
// A Japanese original is read as words, each shown with its reading, where the analyser is
// installed; without it the panel says once which package brings it.
// With the panel switched off in its settings file nothing of it is created.
class GlossaryPanel : public QObject {
    Q_OBJECT
public:
    // The window owns the panel and lets it go before the book and the form.
    explicit GlossaryPanel(FrmTranslatorL& window);
    ~GlossaryPanel() override;

    // After the book is open: reads the panel's settings and, when it is on, sets the panel up.
    void start(Book& book);
    // Before the book goes: the panel lets go of it.
    void stop();
    // Null while the panel is switched off.
    GlossaryPanelForm* form() const { return m_form; }
    // The matcher is built and the list follows the caret.
    bool isReady() const { return m_glossary != nullptr; }
    // The highlight's marks in the original pane are all in place.
    bool isHighlightDone() const { return !m_highlightRunning; }

    void setPanelVisible(bool visible);
    void setHighlight(bool on);
    // Enter or a double click: the chosen word shown in the word pane as if looked up.
    void showChosenWord();
    // The first term of the chosen word's meaning (of its first line) at the translation pane's
    // caret.
    void insertMeaning();
    // The pop-up menu of the chosen meaning's terms and its whole first line, at the translation
    // pane's caret or at `at` (global); the one picked goes in as insertMeaning's term does.
    void pickTerm(const QPoint& at = {});
    // Forgets what this run has said (tests start many runs in one process).
    static void resetRun();

signals:
    // The matcher came back from its thread.
    void ready();

private:
    void createForm();
    // The panel takes its room without hiding the word pane.
    void makeRoom();
    void ensureBuilt();
    void adopt(std::shared_ptr<Glossary> glossary, unsigned generation);
    void bookChanged(const Book::WordChange& change);
    void apply(const Book::WordChange& change);
    void refreshList(bool force = false);
    QString chosenWord() const;
    QString meaningOf(const QString& word) const;
    QString chosenMeaningLine() const;
    void insertIntoTranslation(const QString& text);
    void saveSettings();
    void restartHighlight();
    void highlightSlice();
    void showVisibleMarks();
    void shiftMarks(int position, int removed, int added);
    void joinBuilder();

    FrmTranslatorL& m_window;
    Book* m_book = nullptr;
    int m_listenerKey = 0;
    GlossaryPanelForm* m_form = nullptr;
    std::unique_ptr<GlossarySettings> m_settings;
    std::shared_ptr<Glossary> m_glossary;
    std::thread m_builder;
    unsigned m_generation = 0;
    bool m_building = false;
    std::vector<Book::WordChange> m_pending; // changes made while the matcher was being built
    QString m_sentence;                      // the sentence the list shows
    QTimer* m_highlightDelay = nullptr;
    bool m_highlightRunning = false;
    int m_highlightBlock = 0;
    // Every mark of the original in document order, kept in step with edits until the next
    // count; only those on screen are handed to the pane, which lays out each one it holds.
    struct Mark {
        int start;
        int end;
    };
    std::vector<Mark> m_marks;
    // The marks of each paragraph's text, in the paragraph, until the book changes: a paragraph
    // the user did not touch is not analysed again.
    QHash<QString, std::vector<Mark>> m_paragraphMarks;
};
