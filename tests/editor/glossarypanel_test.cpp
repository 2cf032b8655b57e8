// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/glossary/glossarysettings.h"
#include "core/richtext/documentfile.h"
#include "editor_fixture.h"
#include "platform/mecabanalyser.h"
#include "support/testdictionaries.h"
#include "translator/glossarydock.h"
#include "translator/glossarypanel.h"
#include "translator/wordpanebinding.h"
#include "ui/glossarypanelform.h"
#include "ui/limitedtextedit.h"

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {

const QStringList Words = {"install", "look up", "翻訳", "翻訳者", "cherry"};
// Three sentences in the first paragraph (the second runs over a line break inside it), one in
// the second.
const QString Original = QStringLiteral("We installed it. Then look") + QChar::LineSeparator +
                         QStringLiteral("up the cherry! No more.\n翻訳者が翻訳した。");

class GlossaryPanelTest : public EditorTest {
protected:
    GlossaryPanel* panel() const { return editor->glossary(); }
    GlossaryPanelForm* panelForm() const { return panel()->form(); }

    // The panel shown and its matcher built, over the original text.
    void showPanel() {
        form()->Rtxt1->setPlainText(Original);
        panelForm()->mnuGlossary->trigger();
        ASSERT_TRUE(QTest::qWaitFor([this] { return panel()->isReady(); }, 60000));
    }

    void caretAt(int position) {
        QTextCursor c = form()->Rtxt1->textCursor();
        c.setPosition(position);
        form()->Rtxt1->setTextCursor(c);
    }

    // The list as shown, the words inside a phrase indented by two spaces.
    QStringList listed(int column = 0) const {
        QStringList out;
        for (QTreeWidgetItemIterator it(panelForm()->lstGlossary); *it; ++it)
            out << ((*it)->parent() ? QStringLiteral("  ") : QString()) + (*it)->text(column);
        return out;
    }

    // The editor started on a book of these words and meanings, the panel shown over original.
    void startWithMeanings(const QList<std::pair<QString, QString>>& words,
                           const QString& original) {
        BookBuilder b(bookFolder());
        for (const auto& [word, meaning] : words)
            b.add(word, meaning);
        b.write();
        editor = std::make_unique<FrmTranslatorL>();
        ASSERT_TRUE(editor->formLoad());
        form()->show();
        form()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form()));
        form()->Rtxt1->setPlainText(original);
        panelForm()->mnuGlossary->trigger();
        ASSERT_TRUE(QTest::qWaitFor([this] { return panel()->isReady(); }, 5000));
        caretAt(0);
    }

    QStringList menuEntries() const {
        QStringList out;
        for (const QAction* a : panelForm()->popGlossaryTerms->actions())
            out << (a->isSeparator() ? QStringLiteral("--") : a->text());
        return out;
    }

    // Picks the entry at index of the shown pop-up menu with the keyboard.
    void pickFromMenu(int index) {
        QMenu* menu = panelForm()->popGlossaryTerms;
        ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, 5000));
        menu->setActiveAction(menu->actions().at(index));
        QTest::keyClick(menu, Qt::Key_Return);
        EXPECT_FALSE(menu->isVisible());
    }

    QByteArray settingsFile() const {
        QFile f(app.file(GlossarySettings::FileName));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(GlossaryPanelTest, HiddenByDefaultToggledByItsMenuAndRememberedInItsOwnFile) {
    start(Words);
    ASSERT_NE(panelForm(), nullptr);
    EXPECT_EQ(panelForm()->windowTitle(), QStringLiteral("文中の登録語"));
    EXPECT_FALSE(panelForm()->isVisible());
    EXPECT_EQ(panelForm()->mnuGlossary->shortcut(), QKeySequence(QStringLiteral("Ctrl+L")));
    EXPECT_EQ(panelForm()->mnuGlossaryInsert->shortcut(), QKeySequence(QStringLiteral("Ctrl+J")));
    // Opening the editor leaves no file of the panel's behind.
    EXPECT_TRUE(settingsFile().isEmpty());

    QTest::keyClick(form()->Rtxt1, Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(panelForm()->isVisible());
    EXPECT_EQ(settingsFile(), QByteArray("enabled=1\nvisible=1\nhighlight=0\n"));

    editor.reset();
    start(Words);
    EXPECT_TRUE(panelForm()->isVisible());
    EXPECT_TRUE(panelForm()->mnuGlossary->isChecked());
    panelForm()->mnuGlossary->trigger();
    EXPECT_FALSE(panelForm()->isVisible());
    EXPECT_EQ(settingsFile(), QByteArray("enabled=1\nvisible=0\nhighlight=0\n"));
}

TEST_F(GlossaryPanelTest, SwitchedOffItLeavesTheWindowAsItWas) {
    // The menu as the window has it without this panel (other additions may add their own).
    const auto ownItems = [](const QMenu* menu) {
        int n = 0;
        for (const QAction* a : menu->actions())
            n += a->objectName().startsWith(QStringLiteral("mnuGlossary"));
        return n;
    };
    GlossarySettings off;
    off.enabled = false;
    off.visible = true;
    off.write(app.path());
    start(Words);
    EXPECT_EQ(panelForm(), nullptr);
    EXPECT_EQ(form()->findChild<QDockWidget*>(QStringLiteral("dockGlossary")), nullptr);
    EXPECT_EQ(ownItems(form()->mnuTransPart), 0);
}

TEST_F(GlossaryPanelTest, ADamagedSettingsFileGivesTheDefaults) {
    QFile f(app.file(GlossarySettings::FileName));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("visible=yes\n\xff\xfe garbage\nhighlight");
    f.close();
    start(Words);
    ASSERT_NE(panelForm(), nullptr);
    EXPECT_FALSE(panelForm()->isVisible());
    EXPECT_FALSE(panelForm()->chkGlossaryHighlight->isChecked());
}

TEST_F(GlossaryPanelTest, TheListFollowsTheCaretsSentence) {
    start(Words);
    showPanel();
    caretAt(3);
    EXPECT_EQ(listed(), QStringList({"install"}));
    EXPECT_EQ(listed(1), QStringList({"m:install"}));
    caretAt(int(Original.indexOf(u"Then")));
    EXPECT_EQ(listed(), QStringList({"look up", "cherry"}));
    caretAt(int(Original.indexOf(u"No more")));
    EXPECT_TRUE(listed().isEmpty());
    caretAt(int(Original.indexOf(u"が")));
    EXPECT_EQ(listed(), QStringList({"翻訳者（ほんやくしゃ）", "  翻訳（ほんやく）"}));

    // Typing in the sentence changes the list at once.
    form()->Rtxt1->textCursor().insertText(QStringLiteral("cherry"));
    EXPECT_EQ(listed(), QStringList({"翻訳者（ほんやくしゃ）", "  翻訳（ほんやく）", "cherry"}));
}

TEST_F(GlossaryPanelTest, APanelShownFromTheStartListsTheFirstSentenceOfTheLoadedOriginal) {
    GlossarySettings shown;
    shown.visible = true;
    shown.write(app.path());
    const QString original = app.file(QStringLiteral("org.txt"));
    writeDocument(original, QStringLiteral("Look up the cherry. We installed it.\r\n"));
    writeDocument(app.file(QStringLiteral("trans.txt")), QString());
    writeCurrentProject(QStringLiteral("p"), original, app.file(QStringLiteral("trans.txt")), true);
    writeBook(Words);
    // The matcher comes back while the window is being shown, before the user does anything.
    editor = std::make_unique<FrmTranslatorL>();
    ASSERT_TRUE(editor->formLoad());
    ASSERT_TRUE(QTest::qWaitFor([this] { return panel()->isReady(); }, 60000));
    form()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form()));
    EXPECT_EQ(listed(), QStringList({"look up", "cherry"}));
}

TEST_F(GlossaryPanelTest, TheListFollowsRegistrationModificationAndDeletion) {
    start(Words);
    showPanel();
    caretAt(3);
    ASSERT_EQ(listed(), QStringList({"install"}));
    WordPane& p = *editor->wordPane()->pane();

    p.inputChanged(QStringLiteral("it"));
    dialogs.expectMessage(Answer::Yes,
                          QStringLiteral("この単語はまだ登録されていません。\r\n登録しますか？"));
    p.enterPressed();
    p.meaningEdited(QStringLiteral("それ"));
    dialogs.expectMessage(Answer::Yes, QStringLiteral("登録します。よろしいですね？"));
    p.carryOut();
    EXPECT_EQ(listed(), QStringList({"install", "it"}));
    EXPECT_EQ(listed(1), QStringList({"m:install", "それ"}));

    p.inputChanged(QStringLiteral("install"));
    p.enterPressed();
    dialogs.expectMessage(Answer::Yes,
                          QStringLiteral("現在表示されている単語を削除してもよろしいですか？"));
    p.deleteWord();
    EXPECT_EQ(listed(), QStringList({"it"}));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(GlossaryPanelTest, EnterShowsTheWordAndTheInsertKeyPutsItsMeaningInOneUndoStep) {
    start(Words);
    showPanel();
    caretAt(int(Original.indexOf(u"Then")));
    QTreeWidget* list = panelForm()->lstGlossary;
    list->setCurrentItem(list->topLevelItem(1));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(form()->txtWord->text(), QStringLiteral("cherry"));
    EXPECT_EQ(form()->txtMean->text().trimmed(), QStringLiteral("m:cherry"));

    RichTextPane* translation = form()->Rtxt2;
    translation->setPlainText(QStringLiteral("訳: "));
    translation->moveCursor(QTextCursor::End);
    QTest::keyClick(list, Qt::Key_J, Qt::ControlModifier);
    EXPECT_EQ(translation->toPlainText(), QStringLiteral("訳: m:cherry"));
    translation->undo();
    EXPECT_EQ(translation->toPlainText(), QStringLiteral("訳: "));
    EXPECT_FALSE(translation->document()->isUndoAvailable());
}

TEST_F(GlossaryPanelTest, TheHighlightNeverReachesTheSavedFileTheUndoHistoryOrTheModifiedFlag) {
    start(Words);
    showPanel();
    RichTextPane* original = form()->Rtxt1;
    original->document()->setModified(false);
    const int undoSteps = original->document()->availableUndoSteps();
    const QString before = app.file(QStringLiteral("before.rtf"));
    ASSERT_TRUE(richtext::saveDocument(before, *original->document()));

    panelForm()->chkGlossaryHighlight->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return panel()->isHighlightDone(); }, 60000));
    QStringList marked;
    for (const QTextEdit::ExtraSelection& s : original->extraSelections())
        marked << s.cursor.selectedText();
    EXPECT_EQ(marked,
              QStringList({"installed", QStringLiteral("look") + QChar::LineSeparator + "up",
                           "cherry", "翻訳者", "翻訳"}));
    EXPECT_FALSE(original->document()->isModified());
    EXPECT_EQ(original->document()->availableUndoSteps(), undoSteps);

    const QString with = app.file(QStringLiteral("with.rtf"));
    ASSERT_TRUE(richtext::saveDocument(with, *original->document()));
    QFile a(before), b(with);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());
    QTextDocument reloaded;
    ASSERT_EQ(richtext::loadDocument(with, &reloaded), richtext::LoadOutcome::Loaded);
    EXPECT_EQ(reloaded.toPlainText(), original->toPlainText());
    for (QTextBlock block = reloaded.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            EXPECT_FALSE(it.fragment().charFormat().hasProperty(QTextFormat::BackgroundBrush));

    panelForm()->chkGlossaryHighlight->click();
    EXPECT_TRUE(original->extraSelections().isEmpty());
}

TEST_F(GlossaryPanelTest, OnlyTheMarksOnScreenGoToThePaneAndTheyFollowEdits) {
    start(Words);
    showPanel();
    RichTextPane* original = form()->Rtxt1;
    QStringList lines;
    for (int i = 0; i < 400; ++i)
        lines << QStringLiteral("line %1 has a cherry.").arg(i);
    original->setPlainText(lines.join(u'\n'));
    panelForm()->chkGlossaryHighlight->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return panel()->isHighlightDone(); }, 60000));
    const auto marked = [original] {
        QStringList out;
        for (const QTextEdit::ExtraSelection& s : original->extraSelections())
            out << s.cursor.selectedText();
        return out;
    };
    // The marks reach the pane once the part on screen is laid out, which a slow machine may
    // finish only after the matching.
    ASSERT_TRUE(
        QTest::qWaitFor([original] { return !original->extraSelections().isEmpty(); }, 60000));
    const qsizetype onScreen = original->extraSelections().size();
    EXPECT_LT(onScreen, 400);

    // Typing before the marks moves them along with their words.
    QTextCursor c(original->document());
    c.insertText(QStringLiteral("A new first line, no word\n"));
    original->verticalScrollBar()->setValue(original->verticalScrollBar()->maximum());
    EXPECT_FALSE(marked().isEmpty());
    EXPECT_EQ(marked().count(QStringLiteral("cherry")), marked().size());
    const QTextEdit::ExtraSelection last = original->extraSelections().back();
    EXPECT_EQ(last.cursor.block().text(), QStringLiteral("line 399 has a cherry."));
}

TEST_F(GlossaryPanelTest, IrregularFormsAreFoundThroughTheInstalledEnglishDictionary) {
    QTemporaryDir dictionaries;
    QTemporaryDir cache;
    TestDictionaries(dictionaries.path()).writeSample(); // "mice mouse", "went go"
    const DictionaryEnvironment environment(dictionaries.path(), cache.path());
    start({"mouse", "go", "cherry"});
    form()->Rtxt1->setPlainText(QStringLiteral("The mice went for the cherries."));
    panelForm()->mnuGlossary->trigger();
    ASSERT_TRUE(QTest::qWaitFor([this] { return panel()->isReady(); }, 60000));
    caretAt(3);
    EXPECT_EQ(listed(), QStringList({"mouse", "go", "cherry"}));
}

const QString Progress =
    QStringLiteral("[名] なり行き（なりゆき）、ステップアップ、プログレス、運び（はこび）、…");

TEST_F(GlossaryPanelTest, TheInsertKeyPutsTheFirstTermInOneUndoStepApartFromTheTypingAroundIt) {
    startWithMeanings({{"progress", Progress + QStringLiteral("\r\n[動] 進む")}},
                      QStringLiteral("We progress."));
    ASSERT_EQ(listed(), QStringList{"progress"});
    // The first line, without the line break behind it.
    EXPECT_EQ(listed(1), QStringList{Progress});

    RichTextPane* translation = form()->Rtxt2;
    translation->setFocus();
    QTest::keyClicks(translation, QStringLiteral("xyz "));
    QTest::keyClick(translation, Qt::Key_J, Qt::ControlModifier);
    QTest::keyClicks(translation, QStringLiteral(" def"));
    EXPECT_EQ(translation->toPlainText(), QStringLiteral("xyz なり行き def"));
    QTest::keyClick(translation, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(translation->toPlainText(), QStringLiteral("xyz なり行き"));
    QTest::keyClick(translation, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(translation->toPlainText(), QStringLiteral("xyz "));
    translation->redo();
    EXPECT_EQ(translation->toPlainText(), QStringLiteral("xyz なり行き"));
    EXPECT_EQ(translation->textCursor().position(), 8);
}

TEST_F(GlossaryPanelTest, ASecondKeyAndTheItemsMenuOfferEachTermAndTheWholeFirstLine) {
    startWithMeanings({{"progress", Progress + QStringLiteral("\r\n[動] 進む")},
                       {"cherry", QStringLiteral("さくらんぼ")}},
                      QStringLiteral("Progress & cherry."));
    // The second key is the panel's own; no other entry of the window has it.
    const QKeySequence pick(QStringLiteral("Ctrl+Shift+J"));
    EXPECT_EQ(panelForm()->mnuGlossaryPick->shortcut(), pick);
    int holders = 0;
    for (const QAction* a : form()->findChildren<QAction*>())
        holders += a->shortcuts().contains(pick);
    EXPECT_EQ(holders, 1);

    RichTextPane* translation = form()->Rtxt2;
    translation->setFocus();
    QTest::keyClick(translation, Qt::Key_J, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(menuEntries(),
              QStringList({"なり行き", "ステップアップ", "プログレス", "運び", "--", Progress}));
    pickFromMenu(2);
    EXPECT_EQ(translation->toPlainText(), QStringLiteral("プログレス"));

    // A right click on an item offers its terms; the whole line keeps its labels and readings
    // and brings no line break.
    QTreeWidget* list = panelForm()->lstGlossary;
    const QPoint at = list->visualItemRect(list->topLevelItem(0)).center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &click);
    pickFromMenu(5);
    EXPECT_EQ(translation->toPlainText(), QStringLiteral("プログレス") + Progress);
    EXPECT_EQ(translation->document()->blockCount(), 1);

    // A meaning of one term offers just that.
    const QPoint second = list->visualItemRect(list->topLevelItem(1)).center();
    QContextMenuEvent click2(QContextMenuEvent::Mouse, second,
                             list->viewport()->mapToGlobal(second));
    QApplication::sendEvent(list->viewport(), &click2);
    EXPECT_EQ(menuEntries(), QStringList{"さくらんぼ"});
    panelForm()->popGlossaryTerms->hide();
}

TEST_F(GlossaryPanelTest, BehindAParagraphsLastSentenceTheListKeepsItAndAHeadingIsASentence) {
    startWithMeanings({{"install", "m"},
                       {"cherry", "m"},
                       {"start", "m"},
                       {"for instance", "m"},
                       {"instance", "m"}},
                      QStringLiteral("Install it. For instance the cherry.\nGetting started\n"
                                     "An instance."));
    RichTextPane* original = form()->Rtxt1;
    original->setFocus();
    EXPECT_EQ(listed(), QStringList{"install"});
    QTest::keyClick(original, Qt::Key_Right, Qt::AltModifier);
    // A phrase is followed by the words inside it.
    EXPECT_EQ(listed(), QStringList({"for instance", "  instance", "cherry"}));
    QTest::keyClick(original, Qt::Key_Right, Qt::AltModifier);
    ASSERT_EQ(original->textCursor().positionInBlock(), 36);
    EXPECT_EQ(listed(), QStringList({"for instance", "  instance", "cherry"}));
    caretAt(int(original->toPlainText().indexOf(u"Getting")) + 15);
    EXPECT_EQ(listed(), QStringList{"start"});
}

} // namespace

namespace {

using glossarydock::Place;

// The word pane's controls lie whole inside the window's inner area.
void expectWordPaneInSight(TranslatorLForm* f) {
    f->layout()->activate();
    const QRect client = f->client()->rect();
    QList<QWidget*> controls{f->cmdAdd, f->cmdCL, f->cmdAC, f->ud};
    for (QLabel* l : f->lblStock)
        controls << l;
    for (QWidget* w : controls)
        EXPECT_TRUE(client.contains(w->geometry())) << w->objectName().toStdString() << " outside "
                                                    << client.width() << 'x' << client.height();
}

TEST(GlossaryDock, BesideWhenThereIsRoomWidenedWhenTheScreenAllowsBelowOtherwise) {
    // A word pane of 822 pixels and a panel of 280 in a window of 840.
    EXPECT_EQ(glossarydock::decide(1200, 822, 280, 1910, true).place, Place::Beside);
    const auto wide = glossarydock::decide(840, 822, 280, 1910, true);
    EXPECT_EQ(wide.place, Place::BesideWidened);
    EXPECT_EQ(wide.windowWidth, 1102);
    EXPECT_EQ(glossarydock::decide(840, 822, 280, 1102, true).place, Place::BesideWidened);
    EXPECT_EQ(glossarydock::decide(840, 822, 280, 1014, true).place, Place::Below);
    // A window the user narrows is not widened again.
    EXPECT_EQ(glossarydock::decide(1101, 822, 280, 1910, false).place, Place::Below);
}

TEST_F(GlossaryPanelTest, ThePanelNeverHidesTheWordPane) {
    start(Words);
    TranslatorLForm* f = form();
    // The offscreen screen is narrower than the editor: the panel goes below the panes.
    panelForm()->mnuGlossary->trigger();
    ASSERT_TRUE(panelForm()->isVisible());
    EXPECT_EQ(f->dockWidgetArea(panelForm()), Qt::BottomDockWidgetArea);
    expectWordPaneInSight(f);

    // On a large screen the window widens and keeps the panel beside the panes.
    f->resize(840, 600);
    glossarydock::makeRoom(*f, *panelForm(), QRect(0, 0, 1920, 1040), true);
    EXPECT_EQ(f->dockWidgetArea(panelForm()), Qt::RightDockWidgetArea);
    EXPECT_GT(f->width(), 840);
    expectWordPaneInSight(f);

    // On a small one there is no room beside them.
    f->resize(840, 600);
    glossarydock::makeRoom(*f, *panelForm(), QRect(0, 0, 1024, 728), true);
    EXPECT_EQ(f->dockWidgetArea(panelForm()), Qt::BottomDockWidgetArea);
    EXPECT_LE(f->frameGeometry().width(), 1024);
    expectWordPaneInSight(f);
}

} // namespace

TEST_F(GlossaryPanelTest, AJapaneseOriginalIsReadAsWordsWithTheirReadings) {
    const QList<std::pair<QString, QString>> book = {{"用いる", "使う"},   {"学ぶ", "習う"},
                                                     {"翻訳者", "訳す人"}, {"翻訳", "訳すこと"},
                                                     {"学", "学問"},       {"用", "用事"}};
    const QString original = QStringLiteral("翻訳者はこの方法を用いて学びます。次の文。");
    startWithMeanings(book, original);
    EXPECT_EQ(listed(), QStringList({"翻訳者（ほんやくしゃ）", "  翻訳（ほんやく）",
                                     "用いる（もちいる）", "学ぶ（まなぶ）"}));
    EXPECT_EQ(listed(1), QStringList({"訳す人", "  訳すこと", "使う", "習う"}));
    EXPECT_TRUE(panelForm()->lblGlossaryState->text().isEmpty());
    // The word goes to the word pane without its reading.
    QTreeWidget* list = panelForm()->lstGlossary;
    list->setCurrentItem(list->topLevelItem(1));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(form()->txtWord->text(), QStringLiteral("用いる"));
}

TEST_F(GlossaryPanelTest, WithoutTheAnalyserJapaneseIsMatchedBySubstringAndThePanelSaysSoOnce) {
    GlossaryPanel::resetRun();
    qputenv("VERBANTA_MECAB_DICDIR", "/nonexistent/mecab-dictionary");
    const QString original = QStringLiteral("この方法を用いて学びます。次の文で学ぶ。");
    startWithMeanings({{"学ぶ", "習う"}, {"学", "学問"}, {"用", "用事"}}, original);
    qunsetenv("VERBANTA_MECAB_DICDIR");
    EXPECT_EQ(listed(), QStringList({"用", "学"}));
    EXPECT_EQ(panelForm()->lblGlossaryState->text(), japaneseanalyser::missingText());
    caretAt(int(original.indexOf(u"次")));
    EXPECT_EQ(listed(), QStringList({"学ぶ", "  学"}));
    EXPECT_TRUE(panelForm()->lblGlossaryState->text().isEmpty());
}
