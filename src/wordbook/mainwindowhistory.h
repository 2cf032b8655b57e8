// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/history/wordhistory.h"
#include "ui/historyitems.h"

#include <QObject>
#include <vector>

class Book;
class FrmMain;

// Undo, redo and backups in the main window: the menu items and the status line, the steps the
// window's edits record, and the backups taken before a deletion of checked words or a
// compaction at close. With the history turned off it adds nothing and records nothing.
class MainWindowHistory : public QObject {
    Q_OBJECT
public:
    explicit MainWindowHistory(FrmMain& window);

    bool enabled() const { return m_enabled; }
    const HistoryItems& items() const { return m_items; }

    void bookOpened();
    // Another book, or the same book replaced as a whole: the steps no longer apply.
    void bookClosed();

    WordState wordAt(int position) const;
    void registered(int position);
    void modified(const WordState& before, int position);
    void deleted(const WordState& before);
    // Before the checked words are deleted: false when a backup was needed and failed.
    bool beforeDeleteChecked(std::vector<WordState>& checked);
    void deletedChecked(std::vector<WordState> checked);
    // Writes the book back, taking a backup first when compaction drops many records.
    void writeBack(Book& book);

    void undo();
    void redo();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void record(EditStep step);
    void showResult(const WordHistory::Result& result);
    void takeMarks();
    void marksTouched();
    void recordMarkChanges();
    void updateItems();
    void restoreBackup();

    FrmMain& m_window;
    bool m_enabled = false;
    HistoryItems m_items;
    // The marks as the last step left them, by position, to tell what the user changed.
    std::vector<char> m_marks;
    bool m_marksPending = false;
};
