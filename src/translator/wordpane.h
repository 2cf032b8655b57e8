// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/incrementalsearch.h"

#include <QColor>
#include <QObject>
#include <QString>
#include <array>
#include <optional>

class Book;
class QuickSearch;

// The word pane of the translation editor without its widgets: look-up as the user types and
// with Enter, registration, modification and deletion through the shared book, stepping through
// the index, and the stock box of eight words.
//
// How the window uses it:
// - Open the book in the editor's order (Book(folder, WordIndex::Order::Ordinal)), construct the
//   pane over it and call start() once the widgets exist.
// - Forward the widgets' events to the methods below: txtInput's text change to inputChanged(),
//   Enter in txtInput to enterPressed(), the edits of txtWord, txtMean and txtRei to wordEdited(),
//   meaningEdited() and exampleEdited(), the buttons, menu items and keys to the operations.
//   Menu items run their own guard (e.g. "実行ﾒﾆｭｰ選択時", Error274) around the operation.
// - On changed(), copy the state into the widgets with their signals blocked, so a programmatic
//   change never comes back as an edit: the four texts (set a text only when it differs, so the
//   caret stays where the user is typing), the mode caption and colour, which fields are editable
//   and which buttons and menu items are enabled, the spinner (value, maximum) and lblud, lblCount,
//   lblMaxRec, the stock captions, the selected slot and the recalled slot.
// - On focusRequested(), after applying the state, focus the named field (selecting all of it
//   when asked) and give it the input-method mode of its font group; ActivePane means the pane
//   the user last worked in, as the window tracks it.
class WordPane : public QObject {
    Q_OBJECT

public:
    enum class Mode { Normal = 0, Register = 1, Modify = 2, Deleting = 3, Reselecting = 9 };
    enum class Field { Input, Word, Meaning, Example, ActivePane };

    struct StockSlot {
        int position = -1;
        QString word; // the caption; empty for an empty slot
        qint32 recordNo = -1;
        bool isEmpty() const { return word.isEmpty(); }
    };
    static constexpr int StockSlots = 8;
    static constexpr int MeaningChars = 100;
    static constexpr int ExampleChars = 200;

    explicit WordPane(Book& book, QObject* parent = nullptr);
    ~WordPane() override;

    // ---- State the window shows ----
    Mode mode() const { return m_mode; }
    const QString& input() const { return m_input; }
    const QString& word() const { return m_word; }
    const QString& meaning() const { return m_meaning; }
    const QString& example() const { return m_example; }
    // lblMode's caption and background.
    QString modeCaption() const;
    QColor modeColor() const;
    // txtInput is usable only outside register and modify mode; txtWord is editable in modify
    // mode, txtMean and txtRei in register and modify mode.
    bool inputEnabled() const { return m_mode != Mode::Register && m_mode != Mode::Modify; }
    bool wordEditable() const { return m_mode == Mode::Modify; }
    bool recordsEditable() const { return m_mode == Mode::Register || m_mode == Mode::Modify; }
    // cmdModify/mnuModify, cmdDel/mnuDel, cmdDo/mnuDo, cmdCancel/mnuCancel.
    bool canModify() const { return m_canModify; }
    bool canDelete() const { return m_canDelete; }
    bool canCarryOut() const { return m_canCarryOut; }
    bool canCancel() const { return m_canCancel; }
    // The index position of the word Modify and Delete act on.
    int currentPosition() const { return m_position; }
    qint32 currentRecordNo() const { return m_recordNo; }
    // The spinner: value 0..maximum, covering every position of the index; lblud's caption.
    int spinnerValue() const { return m_spinner; }
    int spinnerMaximum() const;
    const QString& spinnerText() const { return m_spinnerText; }
    int wordCount() const;                                      // lblMaxRec
    int remainingMeaning() const { return m_remainingMeaning; } // lblCount, may go negative
    int remainingExample() const { return m_remainingExample; }
    const StockSlot& stockSlot(int slot) const { return m_stock.at(size_t(slot)); }
    int selectedSlot() const { return m_selectedSlot; }
    // The slot shown in dark red after a recall, -1 when none.
    int recalledSlot() const { return m_recalledSlot; }
    static QColor selectedSlotColor() { return QColor(255, 255, 192); }
    static QColor recalledSlotColor() { return QColor(192, 0, 0); }

    // ---- Events and operations ----
    // Window start: the first word shown, normal mode, spinner at 0, stock box empty.
    void start();
    void inputChanged(const QString& text);
    void enterPressed();
    void wordEdited(const QString& text) { m_word = text; }
    void meaningEdited(const QString& text);
    void exampleEdited(const QString& text);
    void modify();
    void carryOut();
    void cancel();
    void deleteWord();
    // The spinner moved to value (ignored outside normal mode).
    void spinnerChanged(int value);
    // Alt+Up (towards the end of the index) and Alt+Down.
    void stepUp();
    void stepDown();
    void addToStock();
    void selectSlot(int slot);
    void clearSelectedSlot();
    void clearStock();
    void recall(int slot);
    // Undo and redo of word edits, shared with the main window on the same book; off unless
    // turned on.
    void setHistoryEnabled(bool enabled) { m_historyEnabled = enabled; }
    void undo() { takeStep(/*forward=*/false); }
    // Another program changed the book and it was read again: the pane looks its word up anew.
    void bookReloaded();
    void redo() { takeStep(/*forward=*/true); }

signals:
    void changed();
    // What an undo or redo did, for the status line.
    void historyMessage(const QString& text);
    void focusRequested(WordPane::Field field, bool selectAll);

private:
    friend class QuickSearch;

    void setInput(const QString& text);
    void runIncrementalSearch();
    void showEntry(int position, bool trimmed = true);
    void selectFound(int position);
    void enterRegisterMode(const QString& word);
    void doCancel();
    void finishCarryOut(int position);
    void stepTo(int value);
    void setEditing(bool canModifyAndDelete);
    void updateCounts();
    void requestFocus(Field field, bool selectAll = false) { m_focus = {field, selectAll}; }
    // Emits the state and a pending focus request.
    void publish();
    // Brings the widgets up to date before a box asks about them.
    void refreshBeforeMessage() { emit changed(); }
    int findRecalled(const StockSlot& slot) const;
    void takeStep(bool forward);

    Book& m_book;
    IncrementalSearch m_search;
    Mode m_mode = Mode::Normal;
    QString m_input;
    QString m_word;
    QString m_meaning;
    QString m_example;
    bool m_canModify = false;
    bool m_canDelete = false;
    bool m_canCarryOut = false;
    bool m_canCancel = false;
    int m_position = 0;
    int m_shown = -1; // the entry whose word the pane shows
    qint32 m_recordNo = 0;
    int m_spinner = 0;
    QString m_spinnerText;
    int m_remainingMeaning = MeaningChars;
    int m_remainingExample = ExampleChars;
    bool m_quiet = false;
    bool m_historyEnabled = false;
    std::array<StockSlot, StockSlots> m_stock;
    int m_selectedSlot = 0;
    int m_recalledSlot = -1;
    std::optional<std::pair<Field, bool>> m_focus;
};
