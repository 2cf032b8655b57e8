// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor_fixture.h"
#include "translator/wordpanebinding.h"
#include "ui/limitedtextedit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

class WordPaneBindingTest : public EditorTest {
protected:
    std::unique_ptr<Book> reread() {
        auto book = std::make_unique<Book>(bookFolder(), WordIndex::Order::Ordinal);
        book->open(/*readOnly=*/true);
        return book;
    }
    QStringList words() {
        const auto book = reread();
        QStringList list;
        for (int i = 0; i < book->index().size(); ++i)
            list << book->index().at(i).word;
        return list;
    }
    void key(QWidget* w, Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(w, k, mods);
    }
};

TEST_F(WordPaneBindingTest, TypingShowsTheWordAndItsRecordsInTheFields) {
    start({"apple", "banana", "cherry"});
    TranslatorLForm* f = form();
    EXPECT_EQ(f->txtWord->text(), QStringLiteral("apple"));
    EXPECT_EQ(f->txtMean->text(), QStringLiteral("m:apple"));
    EXPECT_EQ(f->txtRei->text(), QStringLiteral("e:apple"));
    EXPECT_EQ(f->lblMode->text(), QStringLiteral("通常ﾓｰﾄﾞ"));
    EXPECT_EQ(f->lblMode->palette().color(QPalette::Window), QColor(192, 255, 255));
    EXPECT_EQ(f->lblCount->text(), QStringLiteral("93"));
    EXPECT_TRUE(f->txtWord->isReadOnly());
    EXPECT_TRUE(f->txtMean->isReadOnly());
    EXPECT_FALSE(f->cmdDo->isEnabled());
    EXPECT_FALSE(f->mnuCancel->isEnabled());
    EXPECT_EQ(f->lblF[0]->palette().color(QPalette::Window), QColor(255, 255, 192));
    EXPECT_EQ(f->lblF[1]->palette().color(QPalette::Window), QColor(Qt::white));

    f->txtInput->clear();
    QTest::keyClicks(f->txtInput, QStringLiteral("ch"));
    EXPECT_EQ(f->txtInput->text(), QStringLiteral("ch"));
    EXPECT_EQ(f->txtWord->text(), QStringLiteral("cherry"));
    EXPECT_EQ(f->txtMean->text(), QStringLiteral("m:cherry"));
    // Typing alone never arms Modify and Delete for a word it merely shows.
    EXPECT_FALSE(f->cmdModify->isEnabled());
    key(f->txtInput, Qt::Key_Backspace);
    QTest::keyClicks(f->txtInput, QStringLiteral("herry"));
    key(f->txtInput, Qt::Key_Return);
    EXPECT_TRUE(dialogs.boxes().isEmpty());
    EXPECT_TRUE(f->cmdModify->isEnabled());
    EXPECT_TRUE(f->mnuDel->isEnabled());
    EXPECT_EQ(f->txtInput->selectedText(), QStringLiteral("cherry"));
}

TEST_F(WordPaneBindingTest, EnterFindsAConjugatedJapaneseWordByItsDictionaryForm) {
    start({"学ぶ", "用いる", "行く"});
    TranslatorLForm* f = form();
    f->txtInput->setFocus();
    // Committed at once, as an input method does: no word begins with it, yet typing shows the
    // word it is a form of.
    f->txtInput->setText(QStringLiteral("行かなければ"));
    EXPECT_EQ(f->txtWord->text(), QStringLiteral("行く"));
    EXPECT_FALSE(f->cmdModify->isEnabled());
    key(f->txtInput, Qt::Key_Return);
    EXPECT_EQ(f->txtWord->text(), QStringLiteral("行く"));
    EXPECT_EQ(f->txtMean->text(), QStringLiteral("m:行く"));
    EXPECT_EQ(f->txtInput->text(), QStringLiteral("行く"));
    EXPECT_TRUE(f->cmdModify->isEnabled());
    EXPECT_EQ(f->ud->value(), 2);
    EXPECT_TRUE(dialogs.boxes().isEmpty());

    // Without the analyser the text is looked up as it is, and is not in the book.
    qputenv("VERBANTA_MECAB_DICDIR", "/nonexistent/mecab-dictionary");
    f->txtInput->setText(QStringLiteral("用いて"));
    EXPECT_EQ(f->txtWord->text(), QStringLiteral("行く"));
    dialogs.expectMessage(Answer::No, QStringLiteral("この単語はまだ登録されていません。"));
    key(f->txtInput, Qt::Key_Return);
    qunsetenv("VERBANTA_MECAB_DICDIR");
    EXPECT_TRUE(dialogs.done());
    EXPECT_EQ(f->lblMode->text(), QStringLiteral("通常ﾓｰﾄﾞ"));
}

TEST_F(WordPaneBindingTest, RegisteringThroughTheKeysWritesTheBook) {
    start({"apple", "cherry"});
    TranslatorLForm* f = form();
    f->txtInput->setFocus();
    f->txtInput->clear();
    QTest::keyClicks(f->txtInput, QStringLiteral("banana"));
    dialogs.expectMessage(Answer::Yes, QStringLiteral("この単語はまだ登録されていません。"));
    key(f->txtInput, Qt::Key_Return);
    EXPECT_EQ(f->lblMode->text(), QStringLiteral("登録ﾓｰﾄﾞ"));
    EXPECT_EQ(f->lblMode->palette().color(QPalette::Window), QColor(255, 192, 255));
    EXPECT_FALSE(f->txtInput->isEnabled());
    EXPECT_EQ(f->txtWord->text(), QStringLiteral("banana"));
    EXPECT_EQ(QApplication::focusWidget(), f->txtMean);
    EXPECT_TRUE(f->cmdDo->isEnabled());
    EXPECT_FALSE(f->cmdModify->isEnabled());
    // F2 from the translation pane comes back to the meaning box in register mode.
    f->Rtxt2->setFocus();
    key(f->Rtxt2, Qt::Key_F2);
    EXPECT_EQ(QApplication::focusWidget(), f->txtMean);

    f->txtMean->insertPlainText(QStringLiteral("ﾊﾞﾅﾅ"));
    EXPECT_EQ(f->lblCount->text(), QStringLiteral("96"));
    dialogs.expectMessage(Answer::Yes, QStringLiteral("登録します。よろしいですね？"));
    key(f->txtMean, Qt::Key_F5);
    EXPECT_EQ(f->lblMode->text(), QStringLiteral("通常ﾓｰﾄﾞ"));
    EXPECT_EQ(f->lblMaxRec->text(), QStringLiteral("3"));
    EXPECT_EQ(f->txtInput->text(), QStringLiteral("banana"));
    EXPECT_TRUE(f->cmdModify->isEnabled());
    EXPECT_EQ(words(), QStringList({"apple", "banana", "cherry"}));
    const auto book = reread();
    EXPECT_EQ(book->meaning(book->index().at(1).recordNo).trimmed(), QStringLiteral("ﾊﾞﾅﾅ"));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(WordPaneBindingTest, LeavingIsRefusedOutsideNormalModeAndEscCancels) {
    start({"apple", "cherry"});
    TranslatorLForm* f = form();
    key(f->txtInput, Qt::Key_F3);
    EXPECT_EQ(f->lblMode->text(), QStringLiteral("修正ﾓｰﾄﾞ"));
    EXPECT_EQ(QApplication::focusWidget(), f->txtWord);
    EXPECT_FALSE(f->txtWord->isReadOnly());
    dialogs.expectMessage(Answer::Ok);
    f->mnuEnd->trigger();
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("通常ﾓｰﾄﾞに戻してから再度実行して下さい。"));
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("確認"));
    EXPECT_TRUE(editor->book()->isOpen());
    key(f->txtWord, Qt::Key_Escape);
    EXPECT_EQ(f->lblMode->text(), QStringLiteral("通常ﾓｰﾄﾞ"));
    EXPECT_TRUE(f->txtInput->isEnabled());
    EXPECT_EQ(f->txtInput->text(), QStringLiteral("apple"));
}

TEST_F(WordPaneBindingTest, DeletingWithF4AndSteppingWithAltArrows) {
    start({"apple", "banana", "cherry"});
    TranslatorLForm* f = form();
    f->txtInput->setFocus();
    key(f->txtInput, Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(f->ud->value(), 1);
    EXPECT_EQ(f->txtWord->text(), QStringLiteral("banana"));
    EXPECT_EQ(f->txtInput->text(), QStringLiteral("banana"));
    key(f->txtInput, Qt::Key_Up, Qt::AltModifier);
    key(f->txtInput, Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(f->ud->value(), 2);
    EXPECT_EQ(f->txtWord->text(), QStringLiteral("cherry"));

    dialogs.expectMessage(Answer::Yes, QStringLiteral("現在表示されている単語を削除"));
    key(f->txtInput, Qt::Key_F4);
    EXPECT_EQ(words(), QStringList({"apple", "banana"}));
    EXPECT_EQ(f->lblMaxRec->text(), QStringLiteral("2"));
    EXPECT_EQ(f->txtWord->text(), QStringLiteral("banana"));
    EXPECT_EQ(f->ud->maximum(), 1);
    key(f->txtInput, Qt::Key_Down, Qt::AltModifier);
    key(f->txtInput, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(f->ud->value(), 0);
    EXPECT_EQ(f->txtWord->text(), QStringLiteral("apple"));
}

TEST_F(WordPaneBindingTest, StockBoxByKeysAndClicks) {
    start({"apple", "banana", "cherry"});
    TranslatorLForm* f = form();
    f->txtInput->setFocus();
    key(f->txtInput, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(f->lblStock[0]->text(), QStringLiteral("apple"));
    EXPECT_EQ(f->lblF[1]->palette().color(QPalette::Window), QColor(255, 255, 192));
    key(f->txtInput, Qt::Key_Up, Qt::AltModifier);
    QTest::mouseClick(f->cmdAdd, Qt::LeftButton);
    EXPECT_EQ(f->lblStock[1]->text(), QStringLiteral("banana"));
    // Recalling slot 0 shows its word in dark red; typing turns it back.
    f->txtInput->setFocus();
    key(f->txtInput, Qt::Key_1, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(f->txtWord->text(), QStringLiteral("apple"));
    EXPECT_EQ(f->lblStock[0]->palette().color(QPalette::WindowText), QColor(192, 0, 0));
    EXPECT_EQ(f->lblStock[1]->palette().color(QPalette::WindowText), QColor(Qt::black));
    QTest::keyClicks(f->txtInput, QStringLiteral("x"));
    EXPECT_NE(f->lblStock[0]->palette().color(QPalette::WindowText), QColor(192, 0, 0));
    // Selecting a slot by clicking its number; emptying it and all.
    QTest::mouseClick(f->lblF[5], Qt::LeftButton);
    EXPECT_EQ(f->lblF[5]->palette().color(QPalette::Window), QColor(255, 255, 192));
    QTest::mouseClick(f->lblStock[1], Qt::LeftButton);
    EXPECT_EQ(f->txtWord->text(), QStringLiteral("banana"));
    key(f->txtInput, Qt::Key_Minus, Qt::AltModifier | Qt::KeypadModifier);
    EXPECT_EQ(f->lblStock[0]->text(), QString());
    EXPECT_EQ(f->lblStock[1]->text(), QString());
    EXPECT_EQ(f->lblF[0]->palette().color(QPalette::Window), QColor(255, 255, 192));
}

TEST_F(WordPaneBindingTest, TheDisplayFieldsSendTheFocusBackInNormalMode) {
    start();
    TranslatorLForm* f = form();
    f->Rtxt2->setFocus();
    QTest::mouseClick(f->txtMean->viewport(), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), f->txtInput);
}

} // namespace
