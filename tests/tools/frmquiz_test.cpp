// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/book.h"
#include "tools/frmquiz.h"
#include "tools/frmtrysetting.h"
#include "ui/limitedtextedit.h"
#include "ui/quizform.h"
#include "ui/trysettingform.h"
#include "wordbook/mainwindow_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QSpinBox>

namespace {

class QuizTest : public MainWindowTest {
protected:
    // Words w00, w01, ... with meanings m:w00, ...
    void startWithCount(int n) {
        QStringList words;
        for (int i = 0; i < n; ++i)
            words << QStringLiteral("w%1").arg(i, 2, 10, QChar(u'0'));
        startWith(words);
    }
    // A book of words with meanings of the test's choosing.
    void startWithMeanings(const QList<std::pair<QString, QString>>& words) {
        writeSettings();
        BookBuilder b(bookFolder());
        for (const auto& [word, meaning] : words)
            b.add(word, meaning);
        b.write();
        ASSERT_TRUE(start());
    }
    FrmTrySetting* openSettings() {
        form()->IdmTrial->trigger();
        FrmTrySetting* s = main()->quizSettings();
        EXPECT_NE(s, nullptr);
        if (s)
            EXPECT_TRUE(s->form()->isVisible());
        return s;
    }
    // The settings, then the quiz in one direction.
    FrmQuiz* openQuiz(bool toWord, const std::function<void(TrySettingForm*)>& set = {}) {
        FrmTrySetting* s = openSettings();
        if (!s)
            return nullptr;
        QPointer<TrySettingForm> settingsForm = s->form();
        if (set)
            set(settingsForm);
        click(toWord ? settingsForm->cmdJtoE : settingsForm->cmdEtoJ);
        QCoreApplication::processEvents();
        EXPECT_TRUE(!settingsForm || !settingsForm->isVisible()) << "the settings give way";
        FrmQuiz* quiz = main()->quizWindow();
        EXPECT_NE(quiz, nullptr);
        return quiz;
    }
    // Asks the next question and answers it; a typed answer brings the judge's box.
    void ask(FrmQuiz* quiz, const QString& answer = {}) {
        click(quiz->form()->cmdQuestion);
        quiz->form()->txtInput->setText(answer);
        if (!answer.isEmpty())
            dialogs.expectMessage(Answer::Ok);
        click(quiz->form()->cmdResult);
    }
    QStringList questionsAsked(FrmQuiz* quiz, int count) {
        QStringList out;
        for (int i = 0; i < count; ++i) {
            click(quiz->form()->cmdQuestion);
            out << quiz->form()->lblQuestion->text();
            click(quiz->form()->cmdResult);
        }
        return out;
    }
};

TEST_F(QuizTest, CountBoxTakesDigitsOnlyWithinItsLimits) {
    startWithCount(12);
    FrmTrySetting* s = openSettings();
    ASSERT_NE(s, nullptr);
    TrySettingForm* f = s->form();
    EXPECT_EQ(f->windowTitle(), QStringLiteral("ﾄﾗｲﾒﾆｭｰの設定"));
    EXPECT_EQ(f->lblScope->text(), QStringLiteral("すべて"));
    EXPECT_EQ(f->Combo1->currentText(), QStringLiteral("順番に出題"));
    EXPECT_EQ(f->txtCount->text(), QStringLiteral(" 12"));
    EXPECT_FALSE(f->txtCount->isEnabled());
    EXPECT_EQ(f->lblCount->text(), QStringLiteral("全問"));
    EXPECT_EQ(f->Ud1->maximum(), 12);

    click(f->chkCount);
    EXPECT_TRUE(f->txtCount->isEnabled());
    EXPECT_EQ(f->lblCount->text(), QString());
    // Letters never get in, nor does an input method that would commit full-width digits; one
    // more than the words is put back to all of them.
    EXPECT_FALSE(f->txtCount->testAttribute(Qt::WA_InputMethodEnabled));
    QTest::keyClicks(f->txtCount, QStringLiteral("1x"));
    EXPECT_EQ(f->txtCount->text(), QStringLiteral("1"));
    EXPECT_EQ(f->lblCount->text(), QStringLiteral("1"));
    dialogs.expectMessage(Answer::Ok);
    QTest::keyClicks(f->txtCount, QStringLiteral("3"));
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("設定値が上限を越えています"));
    EXPECT_EQ(dialogs.lastBox().title, AppTitle);
    EXPECT_EQ(f->txtCount->text(), QStringLiteral(" 12"));
    EXPECT_EQ(f->lblCount->text(), QStringLiteral("全問"));
    dialogs.expectMessage(Answer::Ok);
    QTest::keyClicks(f->txtCount, QStringLiteral("0"));
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("設定値を０以下にすることは出来ません"));
    EXPECT_EQ(f->txtCount->text(), QStringLiteral("1"));

    // An emptied box is no error and asks one question; the spinner steps the number.
    f->txtCount->clear();
    EXPECT_EQ(s->settings().total, 1);
    f->Ud1->setValue(5);
    EXPECT_EQ(f->txtCount->text(), QStringLiteral("5"));
    EXPECT_EQ(f->lblCount->text(), QStringLiteral("5"));
    EXPECT_EQ(s->settings().total, 5);

    dialogs.expectMessage(Answer::Ok);
    click(f->chkWord);
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("ﾁｪｯｸされた単語がひとつもありません"));
    EXPECT_FALSE(f->chkWord->isChecked());

    f->Combo1->setCurrentIndex(1);
    EXPECT_FALSE(f->Frame1->isVisible());
    EXPECT_TRUE(s->settings().random);
    EXPECT_TRUE(dialogs.done());

    // Closing the main window takes the settings with it.
    QPointer<TrySettingForm> settingsForm = f;
    form()->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(!settingsForm || !settingsForm->isVisible());
}

TEST_F(QuizTest, SequentialQuizAsksTheCountThenEnds) {
    startWithCount(10);
    FrmQuiz* quiz = openQuiz(true, [](TrySettingForm* f) {
        QTest::mouseClick(f->chkCount, Qt::LeftButton);
        f->txtCount->setText(QStringLiteral("3"));
    });
    ASSERT_NE(quiz, nullptr);
    QuizForm* f = quiz->form();
    EXPECT_EQ(f->objectName(), QStringLiteral("frmJtoE"));
    EXPECT_EQ(f->lblStyle->text(), QStringLiteral("順番に出題"));
    EXPECT_EQ(f->lblEndRec->text(), QStringLiteral(" 3"));
    EXPECT_FALSE(f->lblChkOnly->isVisible());
    EXPECT_EQ(f->lblQCount->text(), QStringLiteral("0"));

    // Esc does not throw the quiz away: it ends through its end button.
    QTest::keyClick(f->txtInput, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_TRUE(f->isVisible());

    // Answering before the first question does nothing.
    click(f->cmdResult);
    EXPECT_TRUE(dialogs.boxes().isEmpty());
    EXPECT_EQ(f->lblNoCount->text(), QStringLiteral("0"));

    EXPECT_EQ(questionsAsked(quiz, 2),
              (QStringList{QStringLiteral("m:w00"), QStringLiteral("m:w01")}));
    EXPECT_EQ(f->lblQCount->text(), QStringLiteral(" 2"));
    EXPECT_EQ(f->lblNoCount->text(), QStringLiteral(" 2"));
    click(f->cmdQuestion);
    EXPECT_EQ(f->lblQuestion->text(), QStringLiteral("m:w02"));
    EXPECT_EQ(f->lblPrompt->text(), QStringLiteral("答えは？"));
    dialogs.expectMessage(Answer::Ok);
    click(f->cmdResult);
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("これで出題は終わりです"));
    EXPECT_EQ(f->lblResult->text(), QStringLiteral("w02"));

    dialogs.expectMessage(Answer::No);
    click(f->cmdQuestion);
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("終了確認"));
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("「総出題数」に達しました。終了しますか"));
    EXPECT_EQ(dialogs.lastBox().buttons, MessageButtons::YesNo);
    EXPECT_EQ(f->lblQCount->text(), QStringLiteral(" 3"));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(QuizTest, CheckedOnlyStopsAfterTheLastCheckedWord) {
    startWithCount(10);
    model()->setChecked(2, true);
    model()->setChecked(5, true);
    FrmQuiz* quiz = openQuiz(false, [](TrySettingForm* f) {
        QTest::mouseClick(f->chkWord, Qt::LeftButton);
        EXPECT_TRUE(f->chkWord->isChecked());
    });
    ASSERT_NE(quiz, nullptr);
    QuizForm* f = quiz->form();
    EXPECT_EQ(f->objectName(), QStringLiteral("frmEtoJ"));
    EXPECT_EQ(f->lblEndRec->text(), QStringLiteral(" 10"));
    EXPECT_EQ(f->lblChkOnly->text(), QStringLiteral("ﾁｪｯｸ語のみ"));
    EXPECT_EQ(questionsAsked(quiz, 1), QStringList{QStringLiteral("w02")});
    click(f->cmdQuestion);
    EXPECT_EQ(f->lblQuestion->text(), QStringLiteral("w05"));
    dialogs.expectMessage(Answer::Ok, QStringLiteral("これで出題は終わりです"));
    click(f->cmdResult);
    EXPECT_TRUE(dialogs.done());
}

TEST_F(QuizTest, RandomQuizHasNoEnd) {
    startWithCount(3);
    FrmQuiz* quiz = openQuiz(true, [](TrySettingForm* f) { f->Combo1->setCurrentIndex(1); });
    ASSERT_NE(quiz, nullptr);
    QuizForm* f = quiz->form();
    EXPECT_EQ(f->lblStyle->text(), QStringLiteral("ﾗﾝﾀﾞﾑに出題"));
    EXPECT_EQ(f->lblEndRec->text(), QStringLiteral("制限なし"));
    const QStringList asked = questionsAsked(quiz, 12);
    for (const QString& q : asked)
        EXPECT_TRUE(q == "m:w00" || q == "m:w01" || q == "m:w02") << q.toStdString();
    EXPECT_EQ(f->lblQCount->text(), QStringLiteral(" 12"));
    EXPECT_TRUE(dialogs.boxes().isEmpty()) << "no end is ever reached";

    // The quiz goes with the main window, and asks nothing on its way out.
    QPointer<QuizForm> quizForm = f;
    form()->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(!quizForm || !quizForm->isVisible());
    EXPECT_TRUE(dialogs.boxes().isEmpty());
}

TEST_F(QuizTest, JudgesKeepLetterCaseAndTheWordExactly) {
    startWithMeanings({{QStringLiteral("apple"), QStringLiteral("りんご")},
                       {QStringLiteral("sprint"), QStringLiteral("to run fast")}});
    // The answer button counts a question once, so each answer gets the quiz afresh.
    auto verdicts = [this](FrmQuiz* quiz, const QStringList& answers, bool onlyQuestion = false) {
        QStringList out;
        for (const QString& a : answers) {
            quiz->formLoad();
            click(quiz->form()->cmdQuestion);
            quiz->form()->txtInput->setText(a);
            dialogs.expectMessage(Answer::Ok);
            if (onlyQuestion)
                dialogs.expectMessage(Answer::Ok, QStringLiteral("これで出題は終わりです"));
            click(quiz->form()->cmdResult);
            out << dialogs.boxes()[dialogs.boxes().size() - (onlyQuestion ? 2 : 1)].text;
        }
        return out;
    };
    FrmQuiz* toWord = openQuiz(true);
    ASSERT_NE(toWord, nullptr);
    EXPECT_EQ(verdicts(toWord, {"Apple", "apple ", "apple"}),
              (QStringList{"ハズレです", "ハズレです", "正解です！"}));
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("解答ﾒｯｾｰｼﾞ"));
    // Once answered, a question takes no second answer.
    toWord->form()->txtInput->setText(QStringLiteral("apple"));
    click(toWord->form()->cmdResult);
    EXPECT_EQ(toWord->form()->lblOKCount->text(), QStringLiteral(" 1"));
    dialogs.expectMessage(Answer::No);
    click(toWord->form()->cmdExit);

    // Word to meaning: any part of the meaning, letter case kept, pattern characters allowed.
    QCoreApplication::processEvents();
    main()->Option1Click(18); // S
    FrmQuiz* toMeaning =
        openQuiz(false, [](TrySettingForm* f) { EXPECT_EQ(f->lblScope->text(), "s"); });
    ASSERT_NE(toMeaning, nullptr);
    click(toMeaning->form()->cmdQuestion);
    ASSERT_EQ(toMeaning->form()->lblQuestion->text(), QStringLiteral("sprint"));
    EXPECT_EQ(verdicts(toMeaning, {"run", "fast", "Run", "r?n f*", "slow"}, true),
              (QStringList{"正解です！", "正解です！", "ハズレです", "正解です！", "ハズレです"}));
    EXPECT_EQ(toMeaning->form()->lblResult->text(), QStringLiteral("to run fast"));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(QuizTest, MissesReplaceTheCheckMarks) {
    startWith({"apple", "banana", "cherry", "date"});
    model()->setChecked(2, true);
    model()->setChecked(3, true);
    FrmQuiz* quiz = openQuiz(true);
    ASSERT_NE(quiz, nullptr);
    ask(quiz, QStringLiteral("apricot")); // wrong
    ask(quiz);                            // unanswered
    ask(quiz, QStringLiteral("cherry"));  // right
    QPointer<QuizForm> f = quiz->form();
    dialogs.expectMessage(Answer::Yes);
    click(f->cmdExit);
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("終了後処理確認"));
    EXPECT_EQ(
        dialogs.lastBox().text,
        QStringLiteral("ハズレ・無回答だった問題をVerbantaのﾘｽﾄﾎﾞｯｸｽのﾁｪｯｸﾏｰｸに反映させますか？"));
    EXPECT_EQ(checked(), (QStringList{"apple", "banana"})) << "right and unasked words lose theirs";
    QCoreApplication::processEvents();
    EXPECT_TRUE(!f || !f->isVisible());
}

TEST_F(QuizTest, TransferFindsWordsAfterTheBookChangedUnderTheQuiz) {
    startWith({"apple", "banana", "cherry", "date"});
    FrmQuiz* quiz = openQuiz(true);
    ASSERT_NE(quiz, nullptr);
    ask(quiz, QStringLiteral("x")); // apple, wrong

    // A word registered before the others and another deleted while the quiz is open.
    type("aardvark");
    dialogs.expectMessage(Answer::Yes);
    enter();
    form()->txtMean->setText(QStringLiteral("ツチブタ"));
    dialogs.expectMessage(Answer::Yes);
    click(form()->cmdDo);
    clickRow(2);
    ASSERT_EQ(selected(), QStringLiteral("banana"));
    dialogs.expectMessage(Answer::Yes);
    click(form()->cmdDel);
    ASSERT_EQ(listed(), (QStringList{"aardvark", "apple", "cherry", "date"}));

    // banana's turn is passed over.
    click(quiz->form()->cmdQuestion);
    EXPECT_EQ(quiz->form()->lblQuestion->text(), QStringLiteral("m:cherry"));
    click(quiz->form()->cmdResult); // unanswered
    click(quiz->form()->cmdQuestion);
    quiz->form()->txtInput->setText(QStringLiteral("date"));
    dialogs.expectMessage(Answer::Ok, QStringLiteral("正解です！"));
    dialogs.expectMessage(Answer::Ok, QStringLiteral("これで出題は終わりです"));
    click(quiz->form()->cmdResult);
    dialogs.expectMessage(Answer::Yes);
    click(quiz->form()->cmdExit);
    EXPECT_EQ(checked(), (QStringList{"apple", "cherry"}));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(QuizTest, CopiesOfOneWordAreAskedAndMarkedAfterTheIndexMoved) {
    // A merge can leave one word twice in a book, each with a meaning of its own.
    startWithMeanings({{QStringLiteral("cat"), QStringLiteral("猫")},
                       {QStringLiteral("cat"), QStringLiteral("ネコ")},
                       {QStringLiteral("dog"), QStringLiteral("犬")}});
    FrmQuiz* quiz = openQuiz(true);
    ASSERT_NE(quiz, nullptr);
    // A word registered in front moves every word of the book one place on.
    type("ant");
    dialogs.expectMessage(Answer::Yes);
    enter();
    form()->txtMean->setText(QStringLiteral("アリ"));
    dialogs.expectMessage(Answer::Yes);
    click(form()->cmdDo);
    ASSERT_EQ(listed(), (QStringList{"ant", "cat", "cat", "dog"}));

    QStringList asked = questionsAsked(quiz, 2); // both left unanswered
    asked.sort();
    EXPECT_EQ(asked, (QStringList{QStringLiteral("ネコ"), QStringLiteral("猫")}));
    dialogs.expectMessage(Answer::Yes);
    click(quiz->form()->cmdExit);
    EXPECT_EQ(checked(), (QStringList{"cat", "cat"}));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(QuizTest, ALongMeaningIsShownWholeAndDarkColoursLeaveTheAnswerBoxReadable) {
    QString meaning;
    for (int i = 0; i < 8; ++i)
        meaning += QStringLiteral("長い意味の%1行目です\r\n").arg(i + 1);
    meaning.chop(2);
    startWithMeanings({{QStringLiteral("long"), meaning}});
    session().display.meaningToWordQuizBackColor = 0;        // black
    session().display.meaningToWordQuizTextColor = 0xFFFFFF; // white
    FrmQuiz* quiz = openQuiz(true);
    ASSERT_NE(quiz, nullptr);
    QuizForm* f = quiz->form();
    dialogs.expectMessage(Answer::Ok, QStringLiteral("これで出題は終わりです"));
    ask(quiz);
    QCoreApplication::processEvents();
    for (QLabel* shown : {f->lblQuestion, f->lblResult}) {
        EXPECT_EQ(shown->text(), shown == f->lblQuestion ? meaning : QStringLiteral("long"));
        EXPECT_GE(shown->height(), shown->heightForWidth(shown->width())) << "nothing cut off";
    }

    // The window and its labels take the quiz colours; the answer box and the buttons keep
    // their own, so typed text stays readable on a black window.
    EXPECT_EQ(f->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_EQ(f->lblQuestion->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_NE(f->txtInput->palette().color(QPalette::Base), QColor(Qt::black));
    EXPECT_NE(f->cmdQuestion->palette().color(QPalette::Button), QColor(Qt::black));
}

} // namespace
