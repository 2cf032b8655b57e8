// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordpane_fixture.h"

#include <QDir>
#include <QFile>

namespace {

using Field = WordPane::Field;
using Mode = WordPane::Mode;

TEST(WordPane, StartsOnTheFirstWordOfTheOrdinalOrder) {
    PaneFixture f;
    f.open({"banana", "apple", "Cherry"});
    WordPane& p = *f.pane;
    EXPECT_EQ(f.indexWords(), QStringList({"Cherry", "apple", "banana"}));
    EXPECT_EQ(p.input(), "Cherry");
    EXPECT_EQ(p.word(), "Cherry");
    EXPECT_EQ(p.meaning(), "m:Cherry");
    EXPECT_EQ(p.example(), "e:Cherry");
    EXPECT_EQ(p.currentPosition(), 0);
    EXPECT_EQ(p.spinnerValue(), 0);
    EXPECT_EQ(p.spinnerText(), "0");
    EXPECT_EQ(p.spinnerMaximum(), 2);
    EXPECT_EQ(p.wordCount(), 3);
    EXPECT_EQ(p.remainingMeaning(), 100 - 8);
    EXPECT_EQ(p.remainingExample(), 200 - 8);
    EXPECT_EQ(p.mode(), Mode::Normal);
    EXPECT_EQ(p.modeCaption(), QStringLiteral("通常ﾓｰﾄﾞ"));
    EXPECT_EQ(p.modeColor(), QColor(192, 255, 255));
    EXPECT_TRUE(p.canModify() && p.canDelete());
    EXPECT_FALSE(p.canCarryOut() || p.canCancel());
    EXPECT_TRUE(p.inputEnabled());
    EXPECT_FALSE(p.wordEditable() || p.recordsEditable());
    for (int s = 0; s < WordPane::StockSlots; ++s)
        EXPECT_TRUE(p.stockSlot(s).isEmpty());
    EXPECT_EQ(p.selectedSlot(), 0);
}

TEST(WordPane, TypingScansOnFromTheLastMatchAndComparesCase) {
    PaneFixture f;
    f.open({"apple", "apply", "Apricot", "banana", "applet"});
    WordPane& p = *f.pane;
    p.inputChanged("");
    f.type("app");
    EXPECT_EQ(p.word(), "apple");
    p.inputChanged("appl");
    p.inputChanged("apply");
    EXPECT_EQ(p.word(), "apply");
    p.inputChanged("appl");
    EXPECT_EQ(p.word(), "apple"); // shrinking scans again from the first letter's match
    p.inputChanged("a");
    EXPECT_EQ(p.word(), "apple"); // the first letter's match, without a scan
    // Typing never moves the current word, and Modify and Delete wait for a choice.
    EXPECT_EQ(p.currentPosition(), 0);
    EXPECT_EQ(p.spinnerValue(), 0);
    EXPECT_FALSE(p.canModify() || p.canDelete());
    p.inputChanged("");
    // A capital A does not find apple: capitals sort first and only match capitals.
    p.inputChanged("A");
    EXPECT_EQ(p.word(), "Apricot");
    p.inputChanged("");
    f.type("ban");
    EXPECT_EQ(p.word(), "banana");
    EXPECT_EQ(p.meaning(), "m:banana");
    // No match: the word stays, the meaning is cleared.
    p.inputChanged("banx");
    EXPECT_EQ(p.word(), "banana");
    EXPECT_EQ(p.meaning(), "");
}

TEST(WordPane, EnterSelectsAWordOrOffersToRegisterIt) {
    PaneFixture f;
    f.open({"apple", "banana", "cherry"});
    WordPane& p = *f.pane;
    p.inputChanged("cherry  "); // trailing spaces are cut from the key, leading ones kept
    f.focused.clear();
    p.enterPressed();
    EXPECT_EQ(p.currentPosition(), 2);
    EXPECT_EQ(p.spinnerValue(), 2);
    EXPECT_EQ(p.spinnerText(), "2");
    EXPECT_EQ(p.meaning(), "m:cherry");
    EXPECT_TRUE(p.canModify() && p.canDelete());
    EXPECT_EQ(f.focused, QList<Field>({Field::Input}));
    EXPECT_TRUE(f.dialogs.boxes().isEmpty());

    // Answered No: back on the current word.
    p.inputChanged(" cherry");
    f.dialogs.expectMessage(Answer::No, NotRegistered);
    p.enterPressed();
    EXPECT_EQ(f.lastBoxTitle(), QStringLiteral("未登録情報"));
    EXPECT_EQ(f.dialogs.lastBox().buttons, MessageButtons::YesNo);
    EXPECT_EQ(f.dialogs.lastBox().icon, MessageIcon::Question);
    EXPECT_EQ(p.mode(), Mode::Normal);
    EXPECT_EQ(p.input(), "cherry");
    EXPECT_EQ(p.word(), "cherry");
    EXPECT_TRUE(p.canModify());

    // Answered Yes: register mode for the typed word.
    p.inputChanged("date");
    f.dialogs.expectMessage(Answer::Yes, NotRegistered);
    f.focused.clear();
    p.enterPressed();
    EXPECT_EQ(p.mode(), Mode::Register);
    EXPECT_EQ(p.modeCaption(), QStringLiteral("登録ﾓｰﾄﾞ"));
    EXPECT_EQ(p.modeColor(), QColor(255, 192, 255));
    EXPECT_EQ(p.word(), "date");
    EXPECT_EQ(p.meaning(), "");
    EXPECT_FALSE(p.inputEnabled());
    EXPECT_TRUE(p.recordsEditable());
    EXPECT_FALSE(p.wordEditable());
    EXPECT_TRUE(p.canCarryOut() && p.canCancel());
    EXPECT_FALSE(p.canModify() || p.canDelete());
    EXPECT_EQ(f.focused, QList<Field>({Field::Meaning}));
    // Steps and recalls wait until the registration is done.
    p.stepUp();
    p.spinnerChanged(1);
    EXPECT_EQ(p.mode(), Mode::Register);
    EXPECT_EQ(p.word(), "date");
}

TEST(WordPane, RegisteringWritesAfterTheLastRecordAndSortsTheWordIn) {
    PaneFixture f;
    f.open({"apple", "cherry"});
    WordPane& p = *f.pane;
    f.startRegistering("banana");

    // No meaning yet.
    f.dialogs.expectMessage(Answer::Ok, QStringLiteral("単語の意味を入力して下さい"));
    p.carryOut();
    EXPECT_EQ(f.lastBoxTitle(), QStringLiteral("入力ｴﾗｰ"));
    EXPECT_EQ(p.mode(), Mode::Register);

    p.meaningEdited(QStringLiteral("バナナ"));
    EXPECT_EQ(p.remainingMeaning(), 97);
    p.exampleEdited("a banana");
    f.dialogs.expectMessage(Answer::Yes, QStringLiteral("登録します。よろしいですね？"));
    p.carryOut();
    EXPECT_EQ(f.lastBoxTitle(), QStringLiteral("登録の確認"));
    EXPECT_EQ(p.mode(), Mode::Normal);
    EXPECT_EQ(f.indexWords(), QStringList({"apple", "banana", "cherry"}));
    EXPECT_EQ(f.book->index().at(1).recordNo, 3);
    EXPECT_EQ(f.wordFile(), QStringLiteral("\"apple\",1\r\n\"banana\",3\r\n\"cherry\",2\r\n"));
    EXPECT_EQ(f.trimmedMeaning(3), QStringLiteral("バナナ"));
    EXPECT_EQ(p.currentPosition(), 1);
    EXPECT_EQ(p.spinnerValue(), 1);
    EXPECT_EQ(p.input(), "banana");
    EXPECT_EQ(p.word(), "banana");
    EXPECT_EQ(p.wordCount(), 3);
    EXPECT_EQ(p.spinnerMaximum(), 2);
    EXPECT_TRUE(p.canModify() && p.canDelete());
    EXPECT_FALSE(p.canCarryOut() || p.canCancel());

    // The scan memory follows the word now in the box: one more letter searches from there.
    p.inputChanged("bananas");
    EXPECT_EQ(p.word(), "banana");
    p.inputChanged("");
    p.inputChanged("c");
    EXPECT_EQ(p.word(), "cherry");

    // A word the book cannot store is refused with its reason; the mode stays.
    f.startRegistering(QStringLiteral("a\"b"));
    p.meaningEdited("m");
    f.dialogs.expectMessage(Answer::Ok, QStringLiteral("ダブルクォーテーション"));
    p.carryOut();
    EXPECT_EQ(f.lastBoxTitle(), QStringLiteral("登録できません"));
    EXPECT_EQ(p.mode(), Mode::Register);
    // Declining the confirmation cancels back to the current word.
    p.wordEdited("date");
    f.dialogs.expectMessage(Answer::No, QStringLiteral("登録します。"));
    p.carryOut();
    EXPECT_EQ(p.mode(), Mode::Normal);
    EXPECT_EQ(p.word(), "banana");
    EXPECT_EQ(f.book->index().size(), 3);
}

TEST(WordPane, ModifyingResortsAndRewritesTheWordFileAtOnce) {
    PaneFixture f;
    f.open({"apple", "banana", "cherry"});
    WordPane& p = *f.pane;
    f.focused.clear();
    p.modify();
    EXPECT_EQ(p.mode(), Mode::Modify);
    EXPECT_EQ(p.modeCaption(), QStringLiteral("修正ﾓｰﾄﾞ"));
    EXPECT_EQ(p.modeColor(), QColor(192, 192, 255));
    EXPECT_TRUE(p.wordEditable() && p.recordsEditable());
    EXPECT_FALSE(p.inputEnabled());
    EXPECT_EQ(f.focused, QList<Field>({Field::Word}));
    EXPECT_EQ(p.word(), "apple");

    // An empty word or meaning: said so, nothing written, still modifying.
    const QByteArray meanings = f.meaningsFile();
    const QString words = f.wordFile();
    p.meaningEdited("");
    f.dialogs.expectMessage(Answer::Yes, QStringLiteral("変更内容を登録します。よろしいですね？"))
        .expectMessage(Answer::Ok, QStringLiteral("入力が不十分です"));
    p.carryOut();
    EXPECT_EQ(f.lastBoxTitle(), QStringLiteral("入力ｴﾗｰ"));
    EXPECT_EQ(p.mode(), Mode::Modify);
    EXPECT_EQ(f.meaningsFile(), meanings);
    EXPECT_EQ(f.wordFile(), words);
    p.wordEdited("");
    p.meaningEdited("m");
    f.dialogs.expectMessage(Answer::Yes)
        .expectMessage(Answer::Ok, QStringLiteral("入力が不十分です"));
    p.carryOut();
    EXPECT_EQ(p.mode(), Mode::Modify);
    EXPECT_EQ(f.wordFile(), words);

    // A new spelling moves the word to its place and the file follows at once.
    p.wordEdited("date");
    p.meaningEdited(QStringLiteral("日付"));
    f.dialogs.expectMessage(Answer::Yes);
    p.carryOut();
    EXPECT_EQ(p.mode(), Mode::Normal);
    EXPECT_EQ(f.indexWords(), QStringList({"banana", "cherry", "date"}));
    // The new meaning went into a new record; the old one is marked for compaction.
    EXPECT_EQ(f.wordFile(), QStringLiteral("\"banana\",2\r\n\"cherry\",3\r\n\"date\",4\r\n"));
    EXPECT_EQ(f.trimmedMeaning(4), QStringLiteral("日付"));
    EXPECT_EQ(p.currentPosition(), 2);
    EXPECT_EQ(p.input(), "date");
    // Look-ups find the moved word and the others.
    for (const char* w : {"banana", "cherry", "date"}) {
        p.inputChanged(w);
        p.enterPressed();
        EXPECT_EQ(p.word(), w);
        EXPECT_EQ(p.meaning(),
                  w == QLatin1String("date") ? QStringLiteral("日付") : QStringLiteral("m:") + w);
    }

    // Cancel leaves the word as it was.
    p.modify();
    p.wordEdited("zzz");
    p.cancel();
    EXPECT_EQ(p.mode(), Mode::Normal);
    EXPECT_EQ(p.word(), "date");
    EXPECT_EQ(p.input(), "date");
    EXPECT_EQ(f.indexWords(), QStringList({"banana", "cherry", "date"}));
}

TEST(WordPane, DeletingFirstLastAndEveryWord) {
    PaneFixture f;
    f.open({"apple", "banana", "cherry"});
    WordPane& p = *f.pane;
    const QString confirm = QStringLiteral("現在表示されている単語を削除してもよろしいですか？");

    f.dialogs.expectMessage(Answer::No, confirm);
    p.deleteWord();
    EXPECT_EQ(f.lastBoxTitle(), QStringLiteral("削除の確認"));
    EXPECT_EQ(f.book->index().size(), 3);

    f.dialogs.expectMessage(Answer::Yes, confirm);
    p.deleteWord(); // the first word: the new first word is shown
    EXPECT_EQ(f.indexWords(), QStringList({"banana", "cherry"}));
    EXPECT_EQ(p.currentPosition(), 0);
    EXPECT_EQ(p.word(), "banana");
    EXPECT_EQ(p.meaning(), "m:banana");
    EXPECT_EQ(p.input(), "banana");
    EXPECT_EQ(p.wordCount(), 2);
    EXPECT_TRUE(f.book->deletionsPending());
    EXPECT_EQ(f.trimmedMeaning(1), "###");
    EXPECT_EQ(f.wordFile(), QStringLiteral("\"banana\",2\r\n\"cherry\",3\r\n"));

    p.stepUp();
    EXPECT_EQ(p.word(), "cherry");
    f.dialogs.expectMessage(Answer::Yes, confirm);
    p.deleteWord(); // the last word: the one before it is shown
    EXPECT_EQ(p.currentPosition(), 0);
    EXPECT_EQ(p.word(), "banana");
    EXPECT_EQ(p.spinnerValue(), 0);

    f.dialogs.expectMessage(Answer::Yes, confirm)
        .expectMessage(Answer::Ok, QStringLiteral("単語が1語もなくなりました。"));
    p.deleteWord();
    EXPECT_EQ(f.lastBoxTitle(), QStringLiteral("ﾃﾞｰﾀ件数情報"));
    EXPECT_TRUE(f.book->index().isEmpty());
    EXPECT_EQ(p.input(), "");
    EXPECT_EQ(p.word(), "");
    EXPECT_EQ(p.meaning(), "");
    EXPECT_EQ(p.spinnerText(), "");
    EXPECT_EQ(p.wordCount(), 0);
    EXPECT_FALSE(p.canModify() || p.canDelete());
    EXPECT_EQ(p.mode(), Mode::Normal);

    // Nothing fails on the empty index.
    p.stepUp();
    p.stepDown();
    p.spinnerChanged(3);
    p.modify();
    p.deleteWord();
    p.addToStock();
    p.recall(0);
    f.type("x");
    EXPECT_EQ(p.mode(), Mode::Normal);
    f.dialogs.expectMessage(Answer::Yes, NotRegistered);
    p.enterPressed();
    p.cancel(); // a registration started after the last word went
    EXPECT_EQ(p.mode(), Mode::Normal);
    EXPECT_EQ(p.input(), "");
    EXPECT_FALSE(p.canModify());

    // And the emptied book takes a new word after its last record.
    f.startRegistering("date");
    p.meaningEdited("m:date");
    f.dialogs.expectMessage(Answer::Yes);
    p.carryOut();
    EXPECT_EQ(f.indexWords(), QStringList({"date"}));
    EXPECT_EQ(f.book->index().at(0).recordNo, 4);
    EXPECT_TRUE(p.canModify());
}

TEST(WordPane, RegisteringAfterADeletionLeavesOtherRecordsAlone) {
    PaneFixture f;
    f.open({"apple", "banana", "cherry"});
    WordPane& p = *f.pane;
    p.stepUp();
    f.dialogs.expectMessage(Answer::Yes);
    p.deleteWord(); // banana, record 2
    const QByteArray before = f.meaningsFile();
    f.startRegistering("blueberry");
    p.meaningEdited("m:blueberry");
    f.dialogs.expectMessage(Answer::Yes);
    p.carryOut();
    EXPECT_EQ(f.book->index().at(f.book->index().find("blueberry")).recordNo, 4);
    const QByteArray after = f.meaningsFile();
    EXPECT_EQ(after.left(600), before);
    EXPECT_EQ(after.size(), 800);
    // Written back, the book holds what the editor shows.
    f.pane.reset();
    f.book->writeBack();
    f.reopen();
    EXPECT_EQ(f.indexWords(), QStringList({"apple", "blueberry", "cherry"}));
    for (int i = 0; i < 3; ++i) {
        const IndexEntry& e = f.book->index().at(i);
        EXPECT_EQ(f.trimmedMeaning(e.recordNo), "m:" + e.word);
    }
}

TEST(WordPane, TheSpinnerAndAltKeysStepThroughEveryPosition) {
    PaneFixture f;
    QStringList words;
    for (int i = 0; i < 33000; ++i)
        words << QStringLiteral("w%1").arg(i, 5, 10, QLatin1Char('0'));
    f.open(words);
    WordPane& p = *f.pane;
    EXPECT_EQ(p.spinnerMaximum(), 32999);
    p.spinnerChanged(32990);
    EXPECT_EQ(p.currentPosition(), 32990);
    EXPECT_EQ(p.spinnerText(), "32990");
    EXPECT_EQ(p.word(), "w32990");
    EXPECT_EQ(p.input(), "w32990");
    EXPECT_EQ(p.meaning(), "m:w32990");
    EXPECT_TRUE(p.canModify());
    p.spinnerChanged(99999); // beyond the end: the last word
    EXPECT_EQ(p.word(), "w32999");
    p.stepUp(); // at the end it stays
    EXPECT_EQ(p.spinnerValue(), 32999);
    EXPECT_EQ(p.word(), "w32999");
    p.stepDown();
    EXPECT_EQ(p.word(), "w32998");
    p.spinnerChanged(0);
    p.stepDown(); // at the start it stays
    EXPECT_EQ(p.spinnerValue(), 0);
    EXPECT_EQ(p.word(), "w00000");
    p.stepUp();
    EXPECT_EQ(p.word(), "w00001");
    // Enter on a word past the old 16-bit limit selects it too.
    p.inputChanged("w32768");
    p.enterPressed();
    EXPECT_EQ(p.spinnerValue(), 32768);
    p.stepUp();
    EXPECT_EQ(p.word(), "w32769");
}

TEST(WordPane, StockSlotsWrapAndFindTheirWordsAgain) {
    PaneFixture f;
    f.open({"a1", "a2", "a3", "a4", "a5", "a6", "a7", "a8", "a9"});
    WordPane& p = *f.pane;
    for (int i = 0; i < 8; ++i) {
        p.spinnerChanged(i);
        p.addToStock();
    }
    EXPECT_EQ(p.selectedSlot(), 0); // wrapped
    EXPECT_EQ(p.stockSlot(7).word, "a8");
    EXPECT_EQ(p.stockSlot(7).recordNo, 8);
    p.spinnerChanged(8);
    p.addToStock(); // the ninth overwrites slot 0
    EXPECT_EQ(p.stockSlot(0).word, "a9");
    EXPECT_EQ(p.selectedSlot(), 1);
    // The word shown is the one added, even when the user only typed it up.
    p.inputChanged("");
    p.inputChanged("a5");
    p.addToStock();
    EXPECT_EQ(p.stockSlot(1).word, "a5");

    // Recall: the word becomes current, the slot is marked, the focus goes back to the pane.
    f.focused.clear();
    p.recall(7);
    EXPECT_EQ(p.word(), "a8");
    EXPECT_EQ(p.input(), "a8");
    EXPECT_EQ(p.currentPosition(), 7);
    EXPECT_EQ(p.spinnerValue(), 7);
    EXPECT_EQ(p.recalledSlot(), 7);
    EXPECT_TRUE(p.canModify());
    EXPECT_EQ(f.focused, QList<Field>({Field::ActivePane}));
    p.inputChanged("a");
    EXPECT_EQ(p.recalledSlot(), -1); // typing takes the mark away

    // After the book changed the slot still finds its word.
    f.startRegistering("a0");
    p.meaningEdited("m:a0");
    f.dialogs.expectMessage(Answer::Yes);
    p.carryOut();
    p.recall(7);
    EXPECT_EQ(p.word(), "a8");
    EXPECT_EQ(p.meaning(), "m:a8");
    EXPECT_EQ(p.currentPosition(), 8);
    // A slot whose word was deleted is emptied and nothing else happens.
    p.recall(2);
    f.dialogs.expectMessage(Answer::Yes);
    p.deleteWord(); // a3
    p.recall(6);
    const QString shown = p.word();
    p.recall(2);
    EXPECT_TRUE(p.stockSlot(2).isEmpty());
    EXPECT_EQ(p.word(), shown);

    // No recall outside normal mode, none of an empty slot.
    p.modify();
    p.recall(4);
    EXPECT_EQ(p.mode(), Mode::Modify);
    EXPECT_EQ(p.word(), shown);
    p.cancel();
    p.recall(2);
    EXPECT_EQ(p.word(), shown);

    p.selectSlot(4);
    p.clearSelectedSlot();
    EXPECT_TRUE(p.stockSlot(4).isEmpty());
    EXPECT_EQ(p.selectedSlot(), 4);
    p.clearStock();
    EXPECT_EQ(p.selectedSlot(), 0);
    for (int s = 0; s < WordPane::StockSlots; ++s)
        EXPECT_TRUE(p.stockSlot(s).isEmpty());
}

TEST(WordPane, AFailedWriteIsReportedAndEndsTheProgramWithTheBookConsistent) {
    PaneFixture f;
    f.open({"apple", "cherry"});
    WordPane& p = *f.pane;
    f.startRegistering("banana");
    p.meaningEdited("m:banana");
    // Something in the way of the word file.
    QFile::remove(f.folder + "/words.vtd");
    QDir().mkpath(f.folder + "/words.vtd/in-the-way");
    f.expectedTerminations = 1;
    f.dialogs.expectMessage(Answer::Yes)
        .expectMessage(Answer::Ok, QStringLiteral("「実行ﾎﾞﾀﾝｸﾘｯｸ時」"))
        .expectMessage(Answer::Ok, QStringLiteral("ﾃﾞｰﾀ保護のため"));
    p.carryOut();
    EXPECT_EQ(f.dialogs.boxes().at(f.dialogs.boxes().size() - 2).title, "Error132");
    EXPECT_EQ(f.book->index().find("banana"), -1);
}

} // namespace
