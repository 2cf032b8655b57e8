// SPDX-License-Identifier: GPL-3.0-or-later
#include "comment_fixture.h"
#include "editor/editor_fixture.h"
#include "projects/commentcommands.h"
#include "projects/frmcomment.h"
#include "projects/frmtransoption.h"
#include "projects/spellingoptions.h"
#include "support/tinydictionary.h"
#include "translator/editorspelling.h"
#include "translator/spellhighlighter.h"
#include "ui/spelloptionpage.h"
#include "ui/transoptionform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

namespace {

class SpellingOptionsTest : public EditorTest {
protected:
    SpellOptionPage* openPage(std::unique_ptr<FrmTransOption>& dialog) {
        dialog = std::make_unique<FrmTransOption>(*editor);
        QTabWidget* tabs = dialog->form()->SSTab1;
        EXPECT_EQ(tabs->count(), 3);
        EXPECT_EQ(tabs->tabText(2), QStringLiteral("ｽﾍﾟﾙﾁｪｯｸ"));
        return qobject_cast<SpellOptionPage*>(tabs->widget(2));
    }
};

TEST_F(SpellingOptionsTest, ListsTheInstalledLanguagesInJapaneseAndKeepsTheChoice) {
    TinyDictionary english;
    TinyDictionary german("de_DE");
    // Both in the folder named last.
    for (const char* ext : {".aff", ".dic"})
        QFile::copy(english.path() + "/en_US" + ext, german.path() + "/en_US" + ext);
    start();
    std::unique_ptr<FrmTransOption> dialog;
    SpellOptionPage* page = openPage(dialog);
    ASSERT_TRUE(page);
    QComboBox* languages = page->cboSpellLanguage;
    ASSERT_EQ(languages->count(), 3);
    EXPECT_EQ(languages->itemText(0), QStringLiteral("(ﾁｪｯｸしない)"));
    EXPECT_EQ(languages->itemText(1), QStringLiteral("ドイツ語 (ドイツ)"));
    EXPECT_EQ(languages->itemText(2), QStringLiteral("英語 (米国)"));
    // English (US) is the default when installed.
    EXPECT_EQ(languages->currentIndex(), 2);
    EXPECT_TRUE(page->chkSpellCheck->isChecked());
    EXPECT_FALSE(page->lblNoDictionary->isVisibleTo(page));

    languages->setCurrentIndex(1);
    emit languages->activated(1);
    EXPECT_EQ(editor->spelling()->language(), QStringLiteral("de_DE"));
    page->chkSpellCheck->click();
    EXPECT_FALSE(editor->spelling()->isEnabled());
    EXPECT_EQ(app.read(QStringLiteral("spelling.ini")), QByteArray("enabled=0\nlanguage=de_DE\n"));

    languages->setCurrentIndex(0);
    emit languages->activated(0);
    EXPECT_TRUE(editor->spelling()->language().isEmpty());
    EXPECT_FALSE(editor->spelling()->isChecking());
}

// The words shown with a wave in the translation pane once it is checked through.
QStringList markedWords(FrmTranslatorL& editor) {
    RichTextPane* pane = editor.form()->Rtxt2;
    SpellHighlighter* h = editor.spelling()->highlighter(pane);
    while (h && h->checkSlice(1000)) {
    }
    QStringList words;
    for (QTextBlock b = pane->document()->begin(); b.isValid(); b = b.next())
        for (const QTextLayout::FormatRange& r : b.layout()->formats())
            words << b.text().mid(r.start, r.length);
    return words;
}

TEST_F(SpellingOptionsTest, IdentifiersAreLeftUnmarkedUntilTheSwitchesAreTurnedOff) {
    TinyDictionary english;
    const QString trans = app.file(QStringLiteral("訳文.txt"));
    writeDocument(trans, QStringLiteral("SolutionActionRejected x86 Teh cat"));
    writeCurrentProject(QStringLiteral("綴り"), QString(), trans, false);
    start();
    EXPECT_EQ(markedWords(*editor), QStringList({"Teh"}));
    std::unique_ptr<FrmTransOption> dialog;
    SpellOptionPage* page = openPage(dialog);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->chkIgnoreCapitals->text(), QStringLiteral("大文字を含む語を無視"));
    EXPECT_EQ(page->chkIgnoreDigits->text(), QStringLiteral("数字を含む語を無視"));
    EXPECT_TRUE(page->chkIgnoreCapitals->isChecked());
    EXPECT_TRUE(page->chkIgnoreDigits->isChecked());
    EXPECT_TRUE(page->chkIgnoreCapitals->isVisibleTo(page));

    page->chkIgnoreCapitals->click();
    EXPECT_EQ(markedWords(*editor), QStringList({"SolutionActionRejected", "Teh"}));
    EXPECT_EQ(app.read(QStringLiteral("spelling.ini")),
              QByteArray("enabled=1\nignoreCapitals=0\n"));
    page->chkIgnoreDigits->click();
    EXPECT_EQ(markedWords(*editor), QStringList({"SolutionActionRejected", "x86", "Teh"}));
    EXPECT_EQ(app.read(QStringLiteral("spelling.ini")),
              QByteArray("enabled=1\nignoreCapitals=0\nignoreDigits=0\n"));

    // The next editor starts with the choices made.
    dialog.reset();
    editor.reset();
    start();
    EXPECT_EQ(markedWords(*editor), QStringList({"SolutionActionRejected", "x86", "Teh"}));
    page = openPage(dialog);
    ASSERT_TRUE(page);
    EXPECT_FALSE(page->chkIgnoreCapitals->isChecked());
    EXPECT_FALSE(page->chkIgnoreDigits->isChecked());
    page->chkIgnoreCapitals->click();
    EXPECT_EQ(markedWords(*editor), QStringList({"x86", "Teh"}));
    EXPECT_EQ(app.read(QStringLiteral("spelling.ini")), QByteArray("enabled=1\nignoreDigits=0\n"));
}

TEST_F(SpellingOptionsTest, WithoutADictionaryThePageSaysHowToInstallOne) {
    qputenv("VERBANTA_HUNSPELL_DIR", app.file(QStringLiteral("none")).toUtf8());
    const auto restore = qScopeGuard([] { qunsetenv("VERBANTA_HUNSPELL_DIR"); });
    start();
    std::unique_ptr<FrmTransOption> dialog;
    SpellOptionPage* page = openPage(dialog);
    ASSERT_TRUE(page);
    EXPECT_TRUE(page->lblNoDictionary->isVisibleTo(page));
    EXPECT_TRUE(page->lblNoDictionary->text().contains(QStringLiteral("hunspell-en-us")));
    EXPECT_FALSE(page->cboSpellLanguage->isEnabled());
    EXPECT_FALSE(page->chkSpellCheck->isEnabled());
    EXPECT_FALSE(page->chkIgnoreCapitals->isVisibleTo(page));
    EXPECT_FALSE(page->chkIgnoreDigits->isVisibleTo(page));
    EXPECT_FALSE(app.exists(QStringLiteral("spelling.ini")));
}

} // namespace

namespace {

class CommentSpellingTest : public CommentTest {
protected:
    TinyDictionary dictionary;

    // The editor over a project whose comment "teh cat sat" is loaded and checked through.
    RichTextPane* startWithMisspeltComment() {
        const PlanInfo plan = catProject(true);
        writeDocument(trans, QStringLiteral("{\\rtf1\\ansi the cat\\par}"));
        writeDocument(comment, QStringLiteral("{\\rtf1\\ansi teh cat sat\\par}"));
        writeProject(plan);
        startEditor();
        if (!commentWindow())
            return nullptr;
        RichTextPane* pane = commentWindow()->pane();
        SpellHighlighter* h = editor->spelling()->highlighter(pane);
        if (!h)
            return nullptr; // the comment pane is not checked
        while (h->checkSlice(1000)) {
        }
        return pane;
    }

    // Right-clicks the word in the pane and answers the menu that opens: its visible items, and
    // the one picked (none when pick is empty).
    static QStringList contextMenu(RichTextPane* pane, const QString& word, const QString& pick) {
        QTextCursor c(pane->document());
        c.setPosition(int(pane->toPlainText().indexOf(word)) + 1);
        const QPoint at = pane->cursorRect(c).center();
        QStringList items;
        bool answered = false;
        QTimer::singleShot(0, pane, [&] {
            answered = true;
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            QAction* chosen = nullptr;
            for (QAction* a : menu->actions()) {
                if (!a->isVisible())
                    continue;
                items << (a->isSeparator() ? QStringLiteral("-") : a->text());
                if (a->text() == pick)
                    chosen = a;
            }
            menu->hide();
            if (chosen)
                chosen->trigger();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, pane->viewport()->mapToGlobal(at));
        QApplication::sendEvent(pane->viewport(), &event);
        // The pane's own menu pops up without waiting; the one with suggestions waits.
        QTest::qWaitFor([&] { return answered; }, 60000);
        return items;
    }
};

TEST_F(CommentSpellingTest, TheCommentWindowIsMarkedAndItsFileAndModifiedStateStayClean) {
    RichTextPane* pane = startWithMisspeltComment();
    ASSERT_NE(pane, nullptr);
    const QTextBlock block = pane->document()->begin();
    ASSERT_EQ(block.layout()->formats().size(), 1);
    EXPECT_EQ(block.text().mid(block.layout()->formats()[0].start, 3), QStringLiteral("teh"));
    EXPECT_FALSE(commentWindow()->isModified());
    EXPECT_TRUE(comments()->unload());
    EXPECT_EQ(fileText(comment), QStringLiteral("teh cat sat"));
    QFile saved(comment);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_FALSE(saved.readAll().contains("\\ul"));
}

TEST_F(CommentSpellingTest, AMisspeltWordBringsItsSuggestionsIntoTheCommentWindowsMenu) {
    RichTextPane* pane = startWithMisspeltComment();
    ASSERT_NE(pane, nullptr);

    // A correct word: the pane's own menu, nothing added.
    const QStringList own = contextMenu(pane, QStringLiteral("cat"), {});
    ASSERT_FALSE(own.isEmpty());
    EXPECT_FALSE(own.contains(QStringLiteral("辞書に追加")));

    // A misspelt one: its suggestions first, then the two spelling items, then the same menu.
    const QStringList items = contextMenu(pane, QStringLiteral("teh"), QStringLiteral("the"));
    ASSERT_GE(items.size(), 4);
    EXPECT_EQ(items.first(), QStringLiteral("the"));
    const qsizetype add = items.indexOf(QStringLiteral("辞書に追加"));
    ASSERT_GT(add, 0);
    EXPECT_EQ(items[add + 1], QStringLiteral("無視"));
    EXPECT_EQ(items.mid(add + 3), own);
    EXPECT_EQ(pane->toPlainText(), QStringLiteral("the cat sat"));
    EXPECT_TRUE(commentWindow()->isModified());
    pane->undo();
    EXPECT_EQ(pane->toPlainText(), QStringLiteral("teh cat sat"));
}

} // namespace
