// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/incrementalsearch.h"
#include "library/bookhost.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class Book;
class BookFollower;
class FrmPrint;
class FrmQuiz;
class FrmTrySetting;
class MainForm;
class MainWindowReview;
class MeaningSuggestions;
class MainWindowHistory;
class WordListModel;
class QKeyEvent;
class QWidget;

// The word book's main window: opens the book in use, lists and searches its words, registers,
// modifies and deletes them, keeps check marks, and writes the book back when it closes or hands
// over to the translation editor.
class FrmMain : public QObject, public BookHost {
    Q_OBJECT
public:
    enum EditMode { Normal = 0, Register = 1, Modify = 2, Deleting = 3, Reselecting = 9 };
    enum class LoadResult { Ready, EndProgram };

    explicit FrmMain(QObject* parent = nullptr);
    ~FrmMain() override;

    MainForm* form() const { return m_form; }
    Book* book() const { return m_book.get(); }
    WordListModel* listModel() const { return m_model; }
    MainWindowHistory* history() const { return m_history; }
    int editMode() const { return m_mode; }
    bool isLarge() const { return m_large; }
    MeaningSuggestions* suggestions() const { return m_suggestions.get(); }

    // The load step: opens the book in use and fills the list.
    LoadResult formLoad();
    // Opens the current book again after another book was chosen, a book was imported or merged.
    bool ReopenBook() override;
    // Writes the book back, closes its files and forgets its words (before the book chooser
    // switches or deletes books).
    void closeBook() override;
    void showChosenBook() override;
    // The user asked to end the program from a dialog.
    bool endRequested() const { return m_endRequested; }

    void ApplyDisplaySettings();
    void ApplyPaletteFont() override;
    void ApplyPalette();

    // Handlers, named after control and event.
    void txtInputChange();
    void txtInputEnter();
    void List1Click();
    void Option1Click(int index);
    void cmdDoClick();
    void cmdCancelClick();
    void cmdModifyClick();
    void cmdDelClick();
    void cmdScaleClick();
    void cmdGoTransClick();
    void cmdCheckedClick();
    void cmdUncheckedClick();
    void cmdChkRevClick();
    void IdmCheckDelClick();
    void IdmCopyClick();
    void IdmCutClick();
    void IdmPasteClick();
    void IdmHelpshowClick();
    void IdmVersionClick();
    void IdmBookSettingClick();
    void IdmPrintClick();
    void IdmCustomizeClick();
    // The open print dialog, or null.
    FrmPrint* printDialog() const;
    void IdmTrialClick();
    // The open quiz settings window or quiz window, or null.
    FrmTrySetting* quizSettings() const;
    FrmQuiz* quizWindow() const;
    // The review's part of the window: its menu items and the count of words due today.
    MainWindowReview* review() const { return m_review; }

signals:
    // The main window went away to make room for the translation editor.
    void handedOver();
    // The main window closed for good.
    void unloaded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Undo and backups work on the window's list and selection as its own commands do.
    friend class MainWindowHistory;

    void connectEvents();
    bool handleKey(QKeyEvent* event);
    bool closeCheck();
    // The tool windows that are not modal go when the main window goes.
    void closeToolWindows();
    void openBook(bool reopen);
    void selectListItem(int row);
    void selectAllWordsButton();
    void showEntry(int position);
    void showRecords(qint32 recordNo, bool trimmed);
    // Makes word, found at position, the current one after an edit or a cancel: its records
    // shown and the input box selected and focused for the next word.
    void showFound(int position, const QString& word);
    void updateCounters();
    void setModeLabel(int mode);
    void setEditGroup(bool enabled);
    void setExecuteGroup(bool enabled);
    void setSettingsGroup(bool enabled);
    void applyNormalControls();
    void applyEditingControls(int mode);
    void enterRegisterMode(const QString& word);
    void executeRegister();
    void executeModify();
    void reselect();
    bool refuseUnstorable(const QString& word);
    // Runs a change to the book's files. A write the disk refuses leaves the book as it was on
    // disk and in memory: the user is told and false comes back, the window keeping what was
    // typed so the command can be carried out again.
    bool changeBook(const QString& what, const std::function<void()>& change);
    void focusInput();
    void followBook();
    void bookReloaded(const QString& message);
    QWidget* activeControl() const;
    int currentRow() const;
    QString currentWord() const;

    MainForm* m_form;
    WordListModel* m_model;
    std::unique_ptr<MeaningSuggestions> m_suggestions;
    std::unique_ptr<Book> m_book;
    // Declared after the book it follows, so that it goes first.
    std::unique_ptr<BookFollower> m_follower;
    IncrementalSearch m_search;
    int m_mode = Normal;
    bool m_loading = false;
    bool m_large = true;
    bool m_inListClick = false;
    bool m_endRequested = false;
    int m_paletteButton = 26;
    int m_currentPosition = 0;
    qint32 m_currentRecord = 0;
    QString m_savedWord;
    QPointer<QObject> m_print;      // a FrmPrint
    QPointer<QObject> m_trySetting; // a FrmTrySetting
    QPointer<QObject> m_quiz;       // a FrmQuiz
    MainWindowReview* m_review = nullptr;
    MainWindowHistory* m_history;
};
