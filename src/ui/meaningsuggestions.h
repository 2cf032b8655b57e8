// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QRect>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

class DictionaryIndex;
class LimitedTextEdit;
class QAction;
class QKeyEvent;
class QMenu;
class QThread;
class QWidget;
class SuggestionPanel;

// Meanings offered from the installed dictionaries while a window registers a word: the list
// follows the word being registered; Up/Down and Enter in an untouched meaning box, or a click,
// put the chosen meaning into it; Esc leaves it as it was. The index is opened or built off the
// interface thread the first time it is needed, once per run for every window. A menu item turns
// the whole addition off; the choice is shared by the windows through its settings file.
class MeaningSuggestions : public QObject {
    Q_OBJECT
public:
    // What a window lends the list.
    struct Host {
        // The widget the list is laid over, and where on it the list goes while shown.
        QWidget* parent = nullptr;
        std::function<QRect()> placement;
        // The word being registered.
        std::function<QString()> word;
        LimitedTextEdit* meaningBox = nullptr;
        // The menu that gets the on/off item, and the object names of the item and its separator.
        QMenu* menu = nullptr;
        QString itemName;
        QString separatorName;
    };

    explicit MeaningSuggestions(Host host, QObject* parent = nullptr);
    ~MeaningSuggestions() override;

    // The window entered or left register mode.
    void setRegistering(bool registering);
    // The word being registered may have changed.
    void wordChanged();
    // The window changed size: the list follows its place.
    void placeChanged();
    // Hides the list while the user works in what it covers, and brings it back as it was.
    void setAside(bool aside);
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

    Host m_host;
    SuggestionPanel* m_panel = nullptr; // a child of the host's widget, which outlives this
    QAction* m_menuItem = nullptr;
    bool m_enabled = true;
    bool m_registering = false;
    bool m_wanted = false; // register mode would show the list now
    bool m_aside = false;
    State m_state = State::Idle;
    std::shared_ptr<const DictionaryIndex> m_index;
    QString m_lastFilled;
    QString m_filledFor; // the word the list was last filled for
    QThread* m_thread = nullptr;
    std::atomic<bool> m_cancel{false};
    int m_progress = -1;
};
