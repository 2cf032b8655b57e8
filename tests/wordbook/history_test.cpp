// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/history/bookbackup.h"
#include "core/store/book.h"
#include "mainwindow_fixture.h"
#include "platform/qttranslation.h"
#include "support/failingdisk.h"
#include "translator/wordpanebinding.h"
#include "ui/limitedtextedit.h"
#include "ui/restorebackupform.h"
#include "ui/translatorlform.h"

#include <QMenu>
#include <QStatusBar>
#include <QStyleOptionMenuItem>
#include <QTableWidget>
#include <QTranslator>

namespace {

class HistoryTest : public MainWindowTest {
protected:
    void undo() { key(Qt::Key_Backspace, Qt::AltModifier); }
    void redo() { key(Qt::Key_Backspace, Qt::AltModifier | Qt::ShiftModifier); }
    QString status() const {
        auto* bar = form()->findChild<QStatusBar*>();
        return bar ? bar->currentMessage() : QString();
    }
    std::vector<BookBackup> backups() const {
        return BookBackups(app.path()).list(QStringLiteral("英単語"));
    }
    QString meaningShown() const { return form()->txtMean->text().trimmed(); }
    void deleteSelected() {
        dialogs.expectMessage(Answer::Yes);
        click(form()->cmdDel);
    }
    // emptied: every word goes, which the window says.
    void deleteChecked(bool emptied = false) {
        dialogs.expectMessage(Answer::Ok);
        if (emptied)
            dialogs.expectMessage(Answer::Ok);
        form()->IdmCheckDel->trigger();
    }
};

TEST_F(HistoryTest, EditsGoBackAndForthWithTheirMeaningsAndMarks) {
    startWith({"apple", "banana", "cherry"});
    EXPECT_FALSE(form()->findChild<QAction*>("IdmUndo")->isEnabled());

    // A deletion.
    clickRow(1);
    deleteSelected();
    EXPECT_EQ(listed(), QStringList({"apple", "cherry"}));
    undo();
    EXPECT_EQ(status(), QStringLiteral("「banana」の削除を元に戻しました"));
    EXPECT_EQ(listed(), QStringList({"apple", "banana", "cherry"}));
    EXPECT_EQ(selected(), "banana");
    EXPECT_EQ(meaningShown(), "m:banana");
    redo();
    EXPECT_EQ(status(), QStringLiteral("「banana」の削除をやり直しました"));
    EXPECT_EQ(listed(), QStringList({"apple", "cherry"}));
    undo();

    // A registration.
    form()->txtInput->clear();
    type("date");
    dialogs.expectMessage(Answer::Yes);
    enter();
    form()->txtMean->setText(QStringLiteral("なつめやし"));
    dialogs.expectMessage(Answer::Yes);
    click(form()->cmdDo);
    EXPECT_EQ(listed(), QStringList({"apple", "banana", "cherry", "date"}));
    undo();
    EXPECT_EQ(status(), QStringLiteral("「date」の登録を元に戻しました"));
    EXPECT_EQ(listed(), QStringList({"apple", "banana", "cherry"}));
    redo();
    EXPECT_EQ(listed(), QStringList({"apple", "banana", "cherry", "date"}));
    clickRow(3);
    EXPECT_EQ(meaningShown(), QStringLiteral("なつめやし"));

    // A modification.
    clickRow(0);
    click(form()->cmdModify);
    form()->txtWord->setText("apricot");
    form()->txtMean->setText("m:apricot");
    dialogs.expectMessage(Answer::Yes);
    click(form()->cmdDo);
    EXPECT_EQ(listed(), QStringList({"apricot", "banana", "cherry", "date"}));
    undo();
    EXPECT_EQ(status(), QStringLiteral("「apple」の修正を元に戻しました"));
    EXPECT_EQ(listed(), QStringList({"apple", "banana", "cherry", "date"}));
    EXPECT_EQ(meaningShown(), "m:apple");

    // Check marks: one command is one step, whatever it marked.
    click(form()->cmdChecked);
    EXPECT_EQ(checked().size(), 4);
    undo();
    EXPECT_EQ(status(), QStringLiteral("4語のチェックマークの変更を元に戻しました"));
    EXPECT_TRUE(checked().isEmpty());
    model()->setChecked(2, true);
    QCoreApplication::processEvents();
    model()->setChecked(0, true);
    undo();
    EXPECT_EQ(checked(), QStringList({"cherry"}));

    // The deletion of checked words comes back in one step, marks and all.
    deleteChecked();
    EXPECT_EQ(listed(), QStringList({"apple", "banana", "date"}));
    undo();
    EXPECT_EQ(listed(), QStringList({"apple", "banana", "cherry", "date"}));
    EXPECT_EQ(checked(), QStringList({"cherry"}));

    // Back to the start, then the files agree with the list.
    while (form()->findChild<QAction*>("IdmUndo")->isEnabled())
        undo();
    EXPECT_EQ(listed(), QStringList({"apple", "banana", "cherry"}));
    form()->close();
    Book book(bookFolder());
    book.open(true);
    ASSERT_EQ(book.index().size(), 3);
    EXPECT_EQ(book.meaning(book.index().at(1).recordNo).trimmed(), "m:banana");
    EXPECT_EQ(book.example(book.index().at(1).recordNo).trimmed(), "e:banana");
}

TEST_F(HistoryTest, UndoWaitsForNormalModeAndIsClearedByAnotherBook) {
    startWith({"apple", "banana"});
    clickRow(0);
    deleteSelected();
    type("kiwi");
    dialogs.expectMessage(Answer::Yes);
    enter();
    ASSERT_EQ(main()->editMode(), FrmMain::Register);
    form()->findChild<QAction*>("IdmUndo")->trigger();
    EXPECT_EQ(listed(), QStringList({"banana"}));
    key(Qt::Key_Escape);
    // The book is closed and opened again as after an import: the steps no longer apply.
    main()->closeBook();
    main()->ReopenBook();
    EXPECT_FALSE(form()->findChild<QAction*>("IdmUndo")->isEnabled());
    undo();
    EXPECT_EQ(listed(), QStringList({"banana"}));
}

TEST_F(HistoryTest, DeletingSeveralCheckedWordsIsBackedUpFirst) {
    startWith({"apple", "banana", "cherry", "damson"});
    model()->setChecked(0, true);
    deleteChecked();
    EXPECT_TRUE(backups().empty()) << "one word is taken back by undo alone";
    model()->setChecked(0, true);
    model()->setChecked(1, true);
    deleteChecked();
    const std::vector<BookBackup> made = backups();
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].operation, QStringLiteral("チェック項目の削除"));
    EXPECT_EQ(made[0].wordCount, 3);
    Book copy(made[0].folder);
    copy.open(true);
    EXPECT_EQ(copy.index().size(), 3);
}

TEST_F(HistoryTest, ABackupThatCannotBeWrittenStopsTheDeletion) {
    startWith({"apple", "banana", "cherry"});
    const QByteArray words = app.read(QStringLiteral("英単語/words.vtd"));
    click(form()->cmdChecked);
    {
        FailingDisk disk(0);
        dialogs.expectMessage(Answer::Ok); // the confirmation
        dialogs.expectMessage(Answer::Ok); // the backup's failure
        form()->IdmCheckDel->trigger();
    }
    EXPECT_TRUE(dialogs.lastBox().text.startsWith(
        QStringLiteral("ブックのバックアップを作れなかったため、処理を中止しました。")));
    EXPECT_EQ(listed(), QStringList({"apple", "banana", "cherry"}));
    EXPECT_EQ(app.read(QStringLiteral("英単語/words.vtd")), words);
    EXPECT_EQ(main()->editMode(), FrmMain::Normal);
    EXPECT_TRUE(app.entries(QStringLiteral("backup/英単語")).isEmpty());
}

TEST_F(HistoryTest, ACompactionThatDropsManyRecordsIsBackedUpAtClose) {
    startWith({"a1", "a2", "a3", "a4", "a5", "a6", "a7", "a8", "a9", "b1"});
    clickRow(0);
    deleteSelected();
    form()->close();
    EXPECT_TRUE(backups().empty()) << "one record in ten is not many";

    ASSERT_TRUE(start());
    clickRow(0);
    deleteSelected();
    clickRow(0);
    deleteSelected();
    form()->close();
    const std::vector<BookBackup> made = backups();
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].operation, QStringLiteral("閉じる時の整理"));
    EXPECT_EQ(QFileInfo(bookFolder() + "/means.vtd").size(), 7 * 200);
}

TEST_F(HistoryTest, TheRestoreDialogListsBackupsAndPutsOneBack) {
    startWith({"apple", "banana", "cherry"});
    click(form()->cmdChecked);
    deleteChecked(/*emptied=*/true);
    EXPECT_TRUE(listed().isEmpty());
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<RestoreBackupForm*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        shown = true;
        ASSERT_EQ(dialog->lstBackups->rowCount(), 1);
        EXPECT_EQ(dialog->lstBackups->item(0, 2)->text(), "3");
        EXPECT_EQ(dialog->lstBackups->item(0, 3)->text(), QStringLiteral("チェック項目の削除"));
        dialogs.expectMessage(Answer::Yes);
        dialogs.expectMessage(Answer::Ok);
        QTest::mouseClick(dialog->cmdRestore, Qt::LeftButton);
        // The present state was kept before the book was replaced (after the close of the
        // emptied book, which drops every record, took one of its own).
        EXPECT_EQ(dialog->lstBackups->rowCount(), 3);
        EXPECT_EQ(dialog->lstBackups->item(0, 3)->text(), QStringLiteral("バックアップから戻す前"));
        dialog->reject();
    });
    form()->findChild<QAction*>("IdmRestoreBackup")->trigger();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(dialogs.lastBox().text.contains(QStringLiteral("のバックアップから戻しました")));
    EXPECT_EQ(listed(), QStringList({"apple", "banana", "cherry"}));
    clickRow(1);
    EXPECT_EQ(meaningShown(), "m:banana");
}

TEST_F(HistoryTest, TurnedOffTheWindowIsAsItWas) {
    app.write(QStringLiteral("history.vtd"), "#FALSE#,10\r\n");
    startWith({"apple", "banana", "cherry"});
    EXPECT_EQ(form()->findChild<QAction*>("IdmUndo"), nullptr);
    EXPECT_EQ(form()->findChild<QAction*>("IdmRestoreBackup"), nullptr);
    EXPECT_EQ(form()->findChild<QStatusBar*>(), nullptr);
    click(form()->cmdChecked);
    deleteChecked(/*emptied=*/true);
    undo();
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_FALSE(app.exists(QStringLiteral("backup")));
}

TEST_F(HistoryTest, TheEditorsWordPaneSharesTheHistoryOfTheBook) {
    startWith({"apple", "banana", "cherry"});
    clickRow(1);
    deleteSelected();
    TranslatorLForm* editor = goToEditor();
    ASSERT_NE(editor, nullptr);
    const Book& book = *program->translator()->book();

    // The main window's deletion is taken back in the editor, by its key.
    QTest::keyClick(editor->txtInput, Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_GE(book.index().find("banana"), 0);
    EXPECT_EQ(editor->txtWord->text(), "banana");
    EXPECT_EQ(editor->StBar->currentMessage(), QStringLiteral("「banana」の削除を元に戻しました"));
    // A deletion in the editor, taken back in the main window after the return.
    WordPane* pane = program->translator()->wordPane()->pane();
    pane->inputChanged("cherry");
    pane->enterPressed();
    dialogs.expectMessage(Answer::Yes);
    pane->deleteWord();
    EXPECT_LT(book.index().find("cherry"), 0);
    editor->mnuExit->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NE(program->main(), nullptr);
    EXPECT_EQ(listed(), QStringList({"apple", "banana"}));
    undo();
    EXPECT_EQ(status(), QStringLiteral("「cherry」の削除を元に戻しました"));
    EXPECT_EQ(listed(), QStringList({"apple", "banana", "cherry"}));
    clickRow(2);
    EXPECT_EQ(meaningShown(), "m:cherry");
}

// The text a menu shows for one of its items, the key after a tab, as the menu draws it.
QString shownText(QMenu* menu, const char* actionName) {
    struct Drawn : QMenu {
        using QMenu::initStyleOption;
    };
    auto* action = menu->findChild<QAction*>(QLatin1StringView(actionName));
    if (!action)
        return QStringLiteral("no ") + QLatin1StringView(actionName);
    QStyleOptionMenuItem option;
    (menu->*&Drawn::initStyleOption)(&option, action);
    return option.text;
}

// Qt's Japanese catalogue misspells the Backspace key; both Edit menus show its right name.
TEST_F(HistoryTest, BothEditMenusNameTheUndoKeysRightInJapanese) {
    QTranslator* qt = installQtJapanese();
    ASSERT_NE(qt, nullptr) << "Qt's Japanese translation is not installed";
    QTranslator* own = installMissingQtJapanese();
    const auto removed = qScopeGuard([&] {
        QCoreApplication::removeTranslator(own);
        QCoreApplication::removeTranslator(qt);
        delete own;
        delete qt;
    });
    const QStringList expected = {QStringLiteral("元に戻す(&U)\tAlt+Backspace"),
                                  QStringLiteral("やり直し(&R)\tAlt+Shift+Backspace")};
    startWith({"apple"});
    EXPECT_EQ(
        QStringList({shownText(form()->IdmEdit, "IdmUndo"), shownText(form()->IdmEdit, "IdmRedo")}),
        expected);
    TranslatorLForm* editor = goToEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(
        QStringList({shownText(editor->mnuEdit, "IdmUndo"), shownText(editor->mnuEdit, "IdmRedo")}),
        expected);
}

} // namespace
