// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dictionary/suggestionsettings.h"
#include "editor_fixture.h"
#include "support/sampledictionaries.h"
#include "translator/wordpanebinding.h"
#include "ui/limitedtextedit.h"
#include "ui/meaningsuggestions.h"
#include "ui/suggestionpanel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

// The editor with small dictionaries and an index cache of its own.
class EditorSuggestionsTest : public EditorTest {
protected:
    SampleDictionaries samples;

    SuggestionPanel* panel() const {
        return form()->findChild<SuggestionPanel*>(QStringLiteral("fraDictSuggest"));
    }
    QListWidget* list() const { return panel()->lstDictSuggest; }
    QStringList items() const { return itemTexts(list()); }
    QString mode() const { return form()->lblMode->text(); }
    void registerWord(const QString& word) {
        TranslatorLForm* f = form();
        f->txtInput->setFocus();
        f->txtInput->clear();
        QTest::keyClicks(f->txtInput, word);
        dialogs.expectMessage(Answer::Yes, QStringLiteral("この単語はまだ登録されていません。"));
        QTest::keyClick(f->txtInput, Qt::Key_Return);
        ASSERT_EQ(mode(), QStringLiteral("登録ﾓｰﾄﾞ"));
    }
    bool waitForSuggestions() { return ::waitForSuggestions(list()); }
    void meanKey(Qt::Key k) { QTest::keyClick(form()->txtMean, k); }
    QString storedMeaning(const QString& word) {
        Book book(bookFolder(), WordIndex::Order::Ordinal);
        book.open(/*readOnly=*/true);
        for (int i = 0; i < book.index().size(); ++i)
            if (book.index().at(i).word == word)
                return book.meaning(book.index().at(i).recordNo).trimmed();
        return {};
    }
    // Over the original only: the word pane and the font, size and colour boxes stay in sight.
    void expectPlacedOverTheOriginal() {
        // The list follows the panes once they are laid out for the window's size.
        QCoreApplication::processEvents();
        const QRect place = panel()->geometry();
        const QRect original = form()->Rtxt1->geometry();
        EXPECT_TRUE(original.contains(place))
            << place.x() << ',' << place.y() << ' ' << place.width() << 'x' << place.height()
            << " in " << original.x() << ',' << original.y() << ' ' << original.width() << 'x'
            << original.height();
        for (QWidget* w : std::initializer_list<QWidget*>{form()->cboFname, form()->cboFsize,
                                                          form()->ImcboFcolor, form()->txtRei})
            EXPECT_FALSE(place.intersects(w->geometry())) << w->objectName().toStdString();
        EXPECT_GE(place.width(), std::min(form()->txtMean->width(), original.width()));
    }
};

TEST_F(EditorSuggestionsTest, RegisterModeOffersMeaningsAndItsKeysChooseOrLetGo) {
    start({"apple", "cherry"});
    TranslatorLForm* f = form();
    ASSERT_TRUE(panel());
    EXPECT_FALSE(panel()->isVisible());
    registerWord("went");
    ASSERT_TRUE(waitForSuggestions());
    EXPECT_TRUE(panel()->isVisible());
    expectPlacedOverTheOriginal();
    EXPECT_EQ(items(), QStringList({QStringLiteral("EDICT  行く（いく）"),
                                    QStringLiteral("EDICT  参る（まいる）"),
                                    QStringLiteral("WordNet v.  change location; move")}));
    EXPECT_EQ(QApplication::focusWidget(), f->txtMean);

    // Down and Enter in the untouched meaning box fill it, and the pane takes it as typed.
    meanKey(Qt::Key_Down);
    meanKey(Qt::Key_Return);
    EXPECT_EQ(f->txtMean->text(), QStringLiteral("行く（いく）"));
    EXPECT_EQ(editor->wordPane()->pane()->meaning(), QStringLiteral("行く（いく）"));
    meanKey(Qt::Key_Down);
    meanKey(Qt::Key_Return);
    EXPECT_EQ(f->txtMean->text(), QStringLiteral("参る（まいる）"));

    // Esc on a highlighted suggestion lets go of it and nothing else.
    meanKey(Qt::Key_Up);
    EXPECT_EQ(list()->currentRow(), 0);
    meanKey(Qt::Key_Escape);
    EXPECT_EQ(list()->currentRow(), -1);
    EXPECT_EQ(f->txtMean->text(), QStringLiteral("参る（まいる）"));
    EXPECT_EQ(mode(), QStringLiteral("登録ﾓｰﾄﾞ"));

    // Typed text of the user's own keeps the arrow keys the box's.
    QTest::keyClicks(f->txtMean, QStringLiteral("!"));
    meanKey(Qt::Key_Down);
    EXPECT_EQ(list()->currentRow(), -1);
    EXPECT_EQ(f->txtMean->text(), QStringLiteral("参る（まいる）!"));

    // Esc with nothing highlighted cancels the registration as it always did; the list goes.
    meanKey(Qt::Key_Escape);
    EXPECT_EQ(mode(), QStringLiteral("通常ﾓｰﾄﾞ"));
    EXPECT_FALSE(panel()->isVisible());
    EXPECT_EQ(storedMeaning(QStringLiteral("went")), QString());

    // Modify mode edits a word the book has: no list.
    f->txtInput->setFocus();
    QTest::keyClick(f->txtInput, Qt::Key_F3);
    EXPECT_EQ(mode(), QStringLiteral("修正ﾓｰﾄﾞ"));
    EXPECT_FALSE(panel()->isVisible());
}

TEST_F(EditorSuggestionsTest, AChosenMeaningKeepsToTheBoxAndIsRegistered) {
    start({"apple", "cherry"});
    TranslatorLForm* f = form();
    registerWord("scold");
    ASSERT_TRUE(waitForSuggestions());
    ASSERT_EQ(list()->count(), 2) << items().join(u'|').toStdString();
    // A click; a character the code page lacks becomes the geta mark.
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                      list()->visualItemRect(list()->item(0)).center());
    EXPECT_EQ(f->txtMean->text(), QStringLiteral("〓る（しかる）"));
    // A definition longer than the box is cut to it, with a mark that it was cut.
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                      list()->visualItemRect(list()->item(1)).center());
    const QString cut = QString(99, u'w') + u'…';
    EXPECT_EQ(f->txtMean->text(), cut);
    EXPECT_EQ(f->lblCount->text(), QStringLiteral("0"));
    EXPECT_EQ(QApplication::focusWidget(), f->txtMean);

    dialogs.expectMessage(Answer::Yes, QStringLiteral("登録します。よろしいですね？"));
    QTest::keyClick(f->txtMean, Qt::Key_F5);
    EXPECT_EQ(mode(), QStringLiteral("通常ﾓｰﾄﾞ"));
    EXPECT_FALSE(panel()->isVisible());
    EXPECT_EQ(storedMeaning(QStringLiteral("scold")), cut);
    EXPECT_TRUE(dialogs.done());
}

TEST_F(EditorSuggestionsTest, TheListMakesWayWhileTheUserWorksInAPane) {
    start({"apple"});
    TranslatorLForm* f = form();
    registerWord("went");
    ASSERT_TRUE(waitForSuggestions());
    f->txtMean->setFocus();
    QTest::keyClick(f->txtMean, Qt::Key_Down);
    ASSERT_EQ(list()->currentRow(), 0);

    // Reading the original: the list it covers goes, and a pane's keys are its own.
    f->Rtxt1->setFocus();
    EXPECT_FALSE(panel()->isVisible());
    EXPECT_EQ(mode(), QStringLiteral("登録ﾓｰﾄﾞ"));
    // F2 from the translation comes back to the meaning box, and the list as it was.
    f->Rtxt2->setFocus();
    EXPECT_FALSE(panel()->isVisible());
    QTest::keyClick(f->Rtxt2, Qt::Key_F2);
    ASSERT_EQ(QApplication::focusWidget(), f->txtMean);
    EXPECT_TRUE(panel()->isVisible());
    EXPECT_EQ(list()->count(), 3);
    EXPECT_EQ(list()->currentRow(), 0);
    QTest::keyClick(f->txtMean, Qt::Key_Return);
    EXPECT_EQ(f->txtMean->text(), QStringLiteral("行く（いく）"));

    // Left in a pane when the registration ends, the list stays away at the next one too until
    // the focus is back in the word pane.
    f->Rtxt1->setFocus();
    dialogs.expectMessage(Answer::Yes, QStringLiteral("登録します。よろしいですね？"));
    f->cmdDo->click();
    EXPECT_EQ(mode(), QStringLiteral("通常ﾓｰﾄﾞ"));
    registerWord("mice");
    EXPECT_EQ(QApplication::focusWidget(), f->txtMean);
    EXPECT_TRUE(panel()->isVisible());
    EXPECT_EQ(list()->item(0)->text(), QStringLiteral("EDICT  ねずみ（鼠）"));
}

TEST_F(EditorSuggestionsTest, TheListFollowsTheWindowsSize) {
    start({"apple"});
    form()->resize(1000, 700);
    registerWord("mice");
    ASSERT_TRUE(waitForSuggestions());
    expectPlacedOverTheOriginal();
    const qsizetype boxes = dialogs.boxes().size();
    // Narrower than the meaning box's right edge plus the list, and lower than the list.
    form()->resize(440, 300);
    QTest::qWaitFor([&] { return form()->width() == 440; }, 60000);
    expectPlacedOverTheOriginal();
    EXPECT_EQ(dialogs.boxes().size(), boxes) << "the layout refused the size";
}

TEST_F(EditorSuggestionsTest, TheSwitchIsTheMainWindowsAndIsReadAgainOnEachRegistration) {
    suggestionsettings::write(app.path(), false);
    start({"apple"});
    QAction* item = form()->findChild<QAction*>(QStringLiteral("mnuDictSuggest"));
    ASSERT_TRUE(item);
    EXPECT_TRUE(form()->mnuWordPart->actions().contains(item));
    EXPECT_FALSE(item->isChecked());
    registerWord("mice");
    QTest::qWait(50);
    EXPECT_FALSE(panel()->isVisible());

    // Turned on while registering, the list comes, and the choice is written for both windows.
    item->trigger();
    EXPECT_EQ(app.read(QStringLiteral("DictSug.vtd")), QByteArray("#TRUE#\r\n"));
    ASSERT_TRUE(waitForSuggestions());
    EXPECT_EQ(list()->item(0)->text(), QStringLiteral("EDICT  ねずみ（鼠）"));
    meanKey(Qt::Key_Escape);

    // Turned off elsewhere (the main window) meanwhile, the next registration shows nothing.
    suggestionsettings::write(app.path(), false);
    registerWord("mice");
    QTest::qWait(50);
    EXPECT_FALSE(panel()->isVisible());
    EXPECT_FALSE(item->isChecked());
}

TEST_F(EditorSuggestionsTest, AChoiceTheSettingsFileCannotTakeHoldsForTheRun) {
    suggestionsettings::write(app.path(), true);
    // A file without write permission is refused, whoever runs the program.
    const QString file = app.file(QStringLiteral("DictSug.vtd"));
    ASSERT_TRUE(
        QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    start({"apple"});
    QAction* item = form()->findChild<QAction*>(QStringLiteral("mnuDictSuggest"));
    ASSERT_TRUE(item);
    dialogs.expectMessage(Answer::Ok, QStringLiteral("辞書の候補の設定を保存できませんでした"));
    item->trigger();
    EXPECT_TRUE(dialogs.done());
    EXPECT_FALSE(item->isChecked());
    EXPECT_EQ(app.read(QStringLiteral("DictSug.vtd")), QByteArray("#TRUE#\r\n"));
    // The next registration does not read the old choice back from the file.
    registerWord("mice");
    QTest::qWait(50);
    EXPECT_FALSE(panel()->isVisible());
    EXPECT_FALSE(item->isChecked());
}

TEST_F(EditorSuggestionsTest, ClosingTheEditorWhileTheIndexIsBuiltStopsTheBuildSafely) {
    samples.writeSlowEdict();
    start({"apple"});
    registerWord("mouse");
    EXPECT_TRUE(panel()->barDictProgress->isVisible());
    editor.reset();
    // The next editor builds the index again and offers its meanings.
    start({"apple"});
    registerWord("mouse");
    ASSERT_TRUE(waitForSuggestions());
    EXPECT_EQ(list()->item(0)->text(), QStringLiteral("EDICT  ねずみ（鼠）"));
}

TEST_F(EditorSuggestionsTest, NoDictionaryIsSaidOnceAndRegistrationGoesOn) {
    QTemporaryDir empty;
    qputenv("VERBANTA_DICTIONARIES", empty.path().toUtf8());
    start({"apple"});
    registerWord("banana");
    EXPECT_TRUE(panel()->isVisible());
    EXPECT_TRUE(panel()->lblDictNote->text().startsWith(QStringLiteral("辞書が見つかりません")));
    meanKey(Qt::Key_Escape);
    EXPECT_EQ(mode(), QStringLiteral("通常ﾓｰﾄﾞ"));

    registerWord("banana");
    EXPECT_FALSE(panel()->isVisible());
    form()->txtMean->insertPlainText(QStringLiteral("ﾊﾞﾅﾅ"));
    dialogs.expectMessage(Answer::Yes, QStringLiteral("登録します。よろしいですね？"));
    QTest::keyClick(form()->txtMean, Qt::Key_F5);
    EXPECT_EQ(storedMeaning(QStringLiteral("banana")), QStringLiteral("ﾊﾞﾅﾅ"));
    EXPECT_FALSE(QDir(samples.cache.path()).exists(QStringLiteral("Verbanta")));
}

} // namespace
