// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dictionary/suggestionsettings.h"
#include "core/text/cp932.h"
#include "mainwindow_fixture.h"
#include "support/sampledictionaries.h"
#include "ui/limitedtextedit.h"
#include "ui/meaningsuggestions.h"
#include "ui/suggestionpanel.h"

#include <QProgressBar>
#include <QTemporaryDir>

namespace {

// The main window with small dictionaries of its own and a cache folder of its own.
class SuggestionsTest : public MainWindowTest {
protected:
    SampleDictionaries samples;

    SuggestionPanel* panel() const { return main()->suggestions()->panel(); }
    QListWidget* list() const { return panel()->lstDictSuggest; }
    QStringList items() const { return itemTexts(list()); }
    void registerWord(const QString& word) {
        form()->txtInput->clear();
        type(word);
        dialogs.expectMessage(Answer::Yes);
        enter();
        ASSERT_EQ(main()->editMode(), FrmMain::Register);
    }
    bool waitForSuggestions() { return ::waitForSuggestions(list()); }
    void meanKey(Qt::Key k) { QTest::keyClick(form()->txtMean, k); }
};

TEST_F(SuggestionsTest, ListFollowsTheWordBoxAndKeysFillTheMeaningOrLeaveIt) {
    startWith({"apple"});
    registerWord("mice");
    ASSERT_TRUE(waitForSuggestions());
    EXPECT_TRUE(panel()->isVisible());
    EXPECT_EQ(panel()->lblDictCaption->text(), QStringLiteral("辞書の候補"));
    EXPECT_EQ(items(), QStringList({QStringLiteral("EDICT  ねずみ（鼠）"),
                                    QStringLiteral("WordNet n.  any of numerous small rodents")}));

    // Each change of the word box.
    form()->txtWord->setText(QStringLiteral("went"));
    EXPECT_EQ(items(), QStringList({QStringLiteral("EDICT  行く（いく）"),
                                    QStringLiteral("EDICT  参る（まいる）"),
                                    QStringLiteral("WordNet v.  change location; move")}));
    form()->txtWord->setText(QStringLiteral("xyzzy"));
    EXPECT_EQ(list()->count(), 0);
    form()->txtWord->setText(QStringLiteral("went"));

    // Down and Enter in the untouched meaning box fill it; the user can go on choosing.
    form()->txtMean->setFocus();
    meanKey(Qt::Key_Down);
    meanKey(Qt::Key_Return);
    EXPECT_EQ(form()->txtMean->text(), QStringLiteral("行く（いく）"));
    meanKey(Qt::Key_Down);
    meanKey(Qt::Key_Return);
    EXPECT_EQ(form()->txtMean->text(), QStringLiteral("参る（まいる）"));
    // Esc while a suggestion is highlighted leaves the box as it was and stays in register mode.
    meanKey(Qt::Key_Up);
    meanKey(Qt::Key_Escape);
    EXPECT_EQ(form()->txtMean->text(), QStringLiteral("参る（まいる）"));
    EXPECT_EQ(main()->editMode(), FrmMain::Register);
    EXPECT_EQ(list()->currentRow(), -1);

    // Once the user types, the arrow keys are the box's own again.
    QTest::keyClicks(form()->txtMean, QStringLiteral("!"));
    meanKey(Qt::Key_Down);
    EXPECT_EQ(list()->currentRow(), -1);
    EXPECT_EQ(form()->txtMean->text(), QStringLiteral("参る（まいる）!"));

    // Keys in the list itself.
    list()->setFocus();
    list()->setCurrentRow(2);
    QTest::keyClick(list(), Qt::Key_Escape);
    EXPECT_EQ(form()->txtMean->text(), QStringLiteral("参る（まいる）!"));
    EXPECT_EQ(main()->editMode(), FrmMain::Register);
    list()->setFocus();
    list()->setCurrentRow(2);
    QTest::keyClick(list(), Qt::Key_Return);
    EXPECT_EQ(form()->txtMean->text(), QStringLiteral("change location; move"));

    // Esc with nothing highlighted cancels the registration as before; the list goes.
    meanKey(Qt::Key_Escape);
    EXPECT_EQ(main()->editMode(), FrmMain::Register);
    meanKey(Qt::Key_Escape);
    EXPECT_EQ(main()->editMode(), FrmMain::Normal);
    EXPECT_FALSE(panel()->isVisible());
}

TEST_F(SuggestionsTest, AChosenMeaningKeepsToTheBoxAndIsStored) {
    startWith({"apple"});
    registerWord("scold");
    ASSERT_TRUE(waitForSuggestions());
    ASSERT_EQ(list()->count(), 2) << items().join(u'|').toStdString();
    // A character the code page lacks becomes the geta mark.
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                      list()->visualItemRect(list()->item(0)).center());
    EXPECT_EQ(form()->txtMean->text(), QStringLiteral("〓る（しかる）"));
    // A definition longer than the box is cut to it with a mark.
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                      list()->visualItemRect(list()->item(1)).center());
    const QString cut = QString(99, u'w') + u'…';
    EXPECT_EQ(form()->txtMean->text(), cut);
    EXPECT_EQ(form()->lblCount->text(), QStringLiteral("0"));

    dialogs.expectMessage(Answer::Yes);
    click(form()->cmdDo);
    EXPECT_EQ(main()->editMode(), FrmMain::Normal);
    const QByteArray means = app.read(QStringLiteral("英単語/means.vtd"));
    EXPECT_TRUE(means.contains(cp932::encode(cut)));
}

TEST_F(SuggestionsTest, NoDictionaryInstalledIsSaidOnceAndRegistrationWorks) {
    QTemporaryDir empty;
    qputenv("VERBANTA_DICTIONARIES", empty.path().toUtf8());
    startWith({"apple"});
    registerWord("banana");
    EXPECT_TRUE(panel()->isVisible());
    EXPECT_TRUE(panel()->lblDictNote->text().startsWith(QStringLiteral("辞書が見つかりません")));
    EXPECT_TRUE(
        panel()->lblDictNote->text().contains(QStringLiteral("apt install edict wordnet-base")));
    meanKey(Qt::Key_Escape);
    EXPECT_EQ(main()->editMode(), FrmMain::Normal);

    registerWord("banana");
    EXPECT_FALSE(panel()->isVisible());
    form()->txtMean->insertPlainText(QStringLiteral("バナナ"));
    dialogs.expectMessage(Answer::Yes);
    click(form()->cmdDo);
    EXPECT_EQ(listed(), QStringList({"apple", "banana"}));
    EXPECT_FALSE(QDir(samples.cache.path()).exists(QStringLiteral("Verbanta")));
}

TEST_F(SuggestionsTest, DamagedDictionaryIsDescribedAndTheRestIsOffered) {
    QFile edict(samples.dict.path(QStringLiteral("edict/edict")));
    ASSERT_TRUE(edict.open(QIODevice::Append));
    edict.write("\x8e\xff broken /(n) half");
    edict.close();
    startWith({"apple"});
    registerWord("mouse");
    ASSERT_TRUE(waitForSuggestions());
    EXPECT_TRUE(panel()->lblDictNote->isVisible());
    EXPECT_TRUE(panel()->lblDictNote->text().contains(QStringLiteral("途中で切れています")));
    EXPECT_EQ(list()->item(0)->text(), QStringLiteral("EDICT  ねずみ（鼠）"));
}

TEST_F(SuggestionsTest, ClosingTheWindowWhileTheIndexIsBuiltStopsTheBuildSafely) {
    samples.writeSlowEdict();
    startWith({"apple"});
    registerWord("mouse");
    program.reset();
    // The next window builds the index again and offers its meanings.
    ASSERT_TRUE(start());
    registerWord("mouse");
    ASSERT_TRUE(waitForSuggestions());
    EXPECT_EQ(list()->item(0)->text(), QStringLiteral("EDICT  ねずみ（鼠）"));
}

TEST_F(SuggestionsTest, MenuItemTurnsSuggestionsOffInAFileOfItsOwn) {
    startWith({"apple"});
    const QStringList before = app.entries();
    QAction* item = form()->findChild<QAction*>(QStringLiteral("IdmDictSuggest"));
    ASSERT_TRUE(item);
    EXPECT_TRUE(item->isChecked());
    item->trigger();
    EXPECT_EQ(app.read(QStringLiteral("DictSug.vtd")), QByteArray("#FALSE#\r\n"));
    QStringList after = app.entries();
    after.removeOne(QStringLiteral("DictSug.vtd"));
    EXPECT_EQ(after, before);

    registerWord("mice");
    QTest::qWait(50);
    EXPECT_FALSE(panel()->isVisible());
    // Turned on again while registering, the list comes.
    item->trigger();
    EXPECT_EQ(app.read(QStringLiteral("DictSug.vtd")), QByteArray("#TRUE#\r\n"));
    ASSERT_TRUE(waitForSuggestions());
    EXPECT_TRUE(panel()->isVisible());
    item->trigger();
    meanKey(Qt::Key_Escape);

    // The choice outlives the run.
    program.reset();
    ASSERT_TRUE(start());
    EXPECT_FALSE(form()->findChild<QAction*>(QStringLiteral("IdmDictSuggest"))->isChecked());
    registerWord("mice");
    EXPECT_FALSE(panel()->isVisible());
}

TEST_F(SuggestionsTest, ASaveThatWorksAfterARefusedOneWinsInBothWindows) {
    writeSettings();
    writeBook({"apple"});
    suggestionsettings::write(app.path(), true);
    const QString file = app.file(QStringLiteral("DictSug.vtd"));
    ASSERT_TRUE(
        QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    ASSERT_TRUE(start());
    QAction* item = form()->findChild<QAction*>(QStringLiteral("IdmDictSuggest"));
    ASSERT_TRUE(item);
    dialogs.expectMessage(Answer::Ok, QStringLiteral("辞書の候補の設定を保存できませんでした"));
    item->trigger();
    EXPECT_TRUE(dialogs.done());
    EXPECT_FALSE(item->isChecked());

    // Once the file can be written again, turning the list back on is saved without a word, and
    // the refused choice no longer holds.
    ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));
    item->trigger();
    EXPECT_TRUE(item->isChecked());
    EXPECT_EQ(app.read(QStringLiteral("DictSug.vtd")), QByteArray("#TRUE#\r\n"));
    registerWord("mice");
    EXPECT_TRUE(waitForSuggestions() && panel()->isVisible());
    EXPECT_TRUE(item->isChecked());
    meanKey(Qt::Key_Escape);
    ASSERT_NE(main()->editMode(), FrmMain::Register);

    // The editor, opened later in the run, offers the list too.
    TranslatorLForm* editor = goToEditor();
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor));
    EXPECT_TRUE(editor->findChild<QAction*>(QStringLiteral("mnuDictSuggest"))->isChecked());
    editor->txtInput->setFocus();
    editor->txtInput->clear();
    QTest::keyClicks(editor->txtInput, QStringLiteral("mice"));
    dialogs.expectMessage(Answer::Yes, QStringLiteral("この単語はまだ登録されていません。"));
    QTest::keyClick(editor->txtInput, Qt::Key_Return);
    auto* editorPanel = editor->findChild<SuggestionPanel*>(QStringLiteral("fraDictSuggest"));
    ASSERT_TRUE(editorPanel);
    EXPECT_TRUE(::waitForSuggestions(editorPanel->lstDictSuggest) && editorPanel->isVisible());
    EXPECT_TRUE(dialogs.done());
}

} // namespace

TEST_F(SuggestionsTest, AJapaneseHeadwordIsOfferedItsEnglishGlossesAndAConjugatedOneItsBaseForms) {
    startWith({"apple"});
    registerWord("mice");
    ASSERT_TRUE(waitForSuggestions());
    form()->txtWord->setText(QStringLiteral("ねずみ"));
    EXPECT_EQ(items(), QStringList({QStringLiteral("EDICT  mouse")}));
    form()->txtWord->setText(QStringLiteral("行かなければ"));
    EXPECT_EQ(items(), QStringList({QStringLiteral("EDICT  to go")}));
    form()->txtMean->setFocus();
    meanKey(Qt::Key_Down);
    meanKey(Qt::Key_Return);
    EXPECT_EQ(form()->txtMean->text(), QStringLiteral("to go"));
}
