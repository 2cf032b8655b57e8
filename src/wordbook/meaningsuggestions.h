// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

class DictionaryIndex;
class LimitedTextEdit;
class MainForm;
class QAction;
class QKeyEvent;
class QThread;
class SuggestionPanel;

// Meanings offered from the installed dictionaries while the main window registers a word: the
// list over the word list (which is disabled then) follows the word box; Up/Down and Enter in an
// untouched meaning box, or a click, put the chosen meaning into it; Esc leaves it as it was. The
// index is opened or built off the interface thread the first time it is needed. A menu item
// turns the whole addition off.
class MeaningSuggestions : public QObject {
    Q_OBJECT
public:
    explicit MeaningSuggestions(MainForm* form, QObject* parent = nullptr);
    ~MeaningSuggestions() override;

    // The main window entered or left register mode.
    void setRegistering(bool registering);
    // Keys for the list, seen before the window's own key handling; true when taken.
    bool takeKey(QObject* watched, QKeyEvent* key);

    // Forgets what this run has read and said about the dictionaries (tests start many runs in
    // one process).
    static void resetRun();

    bool isEnabled() const { return m_enabled; }
    SuggestionPanel* panel() const { return m_panel; }
    QAction* menuItem() const { return m_menuItem; }

private:
    enum class State { Idle, Loading, Ready, Missing };
    void toggle(bool on);
    void refresh();
    void startLoading();
    void loaded();
    void fillList();
    void showNotes();
    bool browsing() const;
    void moveSelection(int step);
    void choose(int row);

    MainForm* m_form;
    SuggestionPanel* m_panel = nullptr; // a child of the form, which outlives this
    QAction* m_menuItem = nullptr;
    bool m_enabled = true;
    bool m_registering = false;
    State m_state = State::Idle;
    std::shared_ptr<const DictionaryIndex> m_index;
    QString m_lastFilled;
    QThread* m_thread = nullptr;
    std::atomic<bool> m_cancel{false};
    int m_progress = -1;
};
