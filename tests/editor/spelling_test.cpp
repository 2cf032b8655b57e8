// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/projects/projectstate.h"
#include "editor_fixture.h"
#include "support/tinydictionary.h"
#include "translator/editorspelling.h"
#include "translator/spellhighlighter.h"
#include "translator/wordpane.h"
#include "translator/wordpanebinding.h"

#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

namespace {

class SpellingTest : public EditorTest {
protected:
    TinyDictionary dictionary; // "hello world the cat sat colour run", as en_US

    void startWithTranslation(const QString& text, const QStringList& words = {"apple", "Tokyo"}) {
        const QString trans = app.file(QStringLiteral("訳文.txt"));
        writeDocument(trans, text);
        writeCurrentProject(QStringLiteral("綴り"), QString(), trans, false);
        start(words);
    }
    EditorSpelling* spelling() const { return editor->spelling(); }
    RichTextPane* pane() const { return form()->Rtxt2; }
    // Lets the slices check everything still waiting.
    void settle(RichTextPane* p) {
        if (SpellHighlighter* h = spelling()->highlighter(p))
            while (h->checkSlice(1000)) {
            }
    }
    // The words shown with a wave, in document order.
    static QStringList marked(RichTextPane* p) {
        QStringList words;
        for (QTextBlock b = p->document()->begin(); b.isValid(); b = b.next())
            for (const QTextLayout::FormatRange& r : b.layout()->formats())
                if (r.format.underlineStyle() == QTextCharFormat::WaveUnderline)
                    words << b.text().mid(r.start, r.length);
        return words;
    }
    // Where a word of the pane is drawn, in viewport coordinates.
    static QPoint pointOf(RichTextPane* p, const QString& word) {
        QTextCursor c(p->document());
        c.setPosition(int(p->toPlainText().indexOf(word)) + 1);
        return p->cursorRect(c).center();
    }
    // A point on the letter at position, part of the way (0..1) from its left edge to its right.
    static QPoint pointOnLetter(RichTextPane* p, int position, double part) {
        QTextCursor c(p->document());
        c.setPosition(position);
        const QRect left = p->cursorRect(c);
        c.setPosition(position + 1);
        const QRect right = p->cursorRect(c);
        return {left.center().x() + int((right.center().x() - left.center().x()) * part),
                left.center().y()};
    }
    // The visible items of the pane's pop-up when it is right-clicked at the point; the pop-up is
    // closed without choosing.
    QStringList popupItemsAt(const QPoint& at) {
        QStringList items;
        QTimer::singleShot(0, pane(), [&] {
            for (QAction* a : form()->popPopup->actions())
                if (a->isVisible() && !a->isSeparator())
                    items << a->text();
            form()->popPopup->hide();
        });
        QTest::mouseClick(pane()->viewport(), Qt::RightButton, {}, at);
        return items;
    }
};

TEST_F(SpellingTest, MarksMisspeltWordsAsTheyAreTypedButNeverJapaneseOrBookWords) {
    startWithTranslation(
        QStringLiteral("hello wrold, 猫がsat on the mat.\nApple and Tokyo ｃａｔｔ"));
    settle(pane());
    EXPECT_EQ(marked(pane()), QStringList({"wrold", "on", "mat", "and"}));

    // A keystroke marks its word at once, without waiting for the slices.
    pane()->setFocus();
    pane()->moveCursor(QTextCursor::End);
    QTest::keyClicks(pane(), QStringLiteral(" helo"));
    EXPECT_EQ(marked(pane()), QStringList({"wrold", "on", "mat", "and", "helo"}));
    QTest::keyClick(pane(), Qt::Key_Backspace);
    QTest::keyClicks(pane(), QStringLiteral("lo"));
    EXPECT_EQ(marked(pane()), QStringList({"wrold", "on", "mat", "and"}));
}

TEST_F(SpellingTest, MarksNeverReachTheSavedFileTheModifiedFlagOrTheUndoHistory) {
    startWithTranslation(QStringLiteral("teh cat\nsat on teh mat"));
    QTextDocument* doc = pane()->document();
    QSignalSpy changed(pane(), &QTextEdit::textChanged);
    settle(pane());
    ASSERT_EQ(marked(pane()).size(), 4);
    EXPECT_FALSE(doc->isModified());
    EXPECT_FALSE(doc->isUndoAvailable());
    EXPECT_EQ(changed.count(), 0);

    const QString marks = app.file(QStringLiteral("marked.rtf"));
    const QString plain = app.file(QStringLiteral("plain.rtf"));
    ASSERT_TRUE(pane()->saveFile(marks));
    spelling()->setEnabled(false);
    EXPECT_TRUE(marked(pane()).isEmpty());
    ASSERT_TRUE(pane()->saveFile(plain));
    EXPECT_EQ(app.read(QStringLiteral("marked.rtf")), app.read(QStringLiteral("plain.rtf")));
    EXPECT_FALSE(app.read(QStringLiteral("marked.rtf")).contains("\\ul"));

    spelling()->setEnabled(true);
    settle(pane());
    EXPECT_EQ(marked(pane()).size(), 4);
    EXPECT_FALSE(doc->isModified());
    EXPECT_FALSE(doc->isUndoAvailable());
    EXPECT_EQ(changed.count(), 0);

    // Copying carries the text only.
    pane()->selectAll();
    pane()->copy();
    EXPECT_FALSE(QApplication::clipboard()->mimeData()->hasHtml());
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("teh cat\nsat on teh mat"));

    // What was saved with marks on reads back without any wave or underline.
    RichTextPane reloaded;
    ASSERT_TRUE(reloaded.loadFile(marks));
    for (QTextBlock b = reloaded.document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            EXPECT_EQ(it.fragment().charFormat().underlineStyle(), QTextCharFormat::NoUnderline);
}

TEST_F(SpellingTest, ThePopupOffersSuggestionsFirstAndReplacesTheWordAsOneUndoStep) {
    startWithTranslation(QStringLiteral("the catt sat"));
    settle(pane());
    pane()->setFocus();
    const QList<QAction*> before = form()->popPopup->actions();
    QStringList items;
    QTimer::singleShot(0, pane(), [&] {
        QMenu* menu = form()->popPopup;
        for (QAction* a : menu->actions())
            if (a->isVisible())
                items << (a->isSeparator() ? QStringLiteral("-") : a->text());
        menu->hide();
        menu->actions().value(0)->trigger();
    });
    QTest::mouseClick(pane()->viewport(), Qt::RightButton, {}, pointOf(pane(), "catt"));
    ASSERT_GE(items.size(), 4);
    EXPECT_EQ(items[0], QStringLiteral("cat"));
    const qsizetype add = items.indexOf(QStringLiteral("辞書に追加"));
    ASSERT_GT(add, 0);
    EXPECT_LE(add, 5);
    EXPECT_EQ(items[add + 1], QStringLiteral("無視"));
    EXPECT_EQ(items[add + 2], QStringLiteral("-"));
    // The items were only for that opening.
    EXPECT_EQ(form()->popPopup->actions(), before);

    EXPECT_EQ(pane()->toPlainText(), QStringLiteral("the cat sat"));
    EXPECT_TRUE(marked(pane()).isEmpty());
    pane()->undo();
    EXPECT_EQ(pane()->toPlainText(), QStringLiteral("the catt sat"));
    EXPECT_FALSE(pane()->document()->isUndoAvailable());
}

TEST_F(SpellingTest, TheMarksFollowTheBooksWordsAsTheyAreRegisteredRenamedAndDeleted) {
    startWithTranslation(QStringLiteral("the cat ate sushi"));
    settle(pane());
    EXPECT_EQ(marked(pane()), QStringList({"ate", "sushi"}));
    Book* book = editor->book();
    const auto settleAfterChange = [&] {
        QCoreApplication::processEvents();
        settle(pane());
    };
    book->registerWord(QStringLiteral("sushi"), QStringLiteral("寿司"), QString());
    settleAfterChange();
    EXPECT_EQ(marked(pane()), QStringList({"ate"}));
    // A rename keeps the number of words: the marks follow all the same.
    book->modifyWord(book->index().find(QStringLiteral("sushi")), QStringLiteral("ate"),
                     QStringLiteral("食べた"), QString());
    settleAfterChange();
    EXPECT_EQ(marked(pane()), QStringList({"sushi"}));
    book->deleteWord(book->index().find(QStringLiteral("ate")));
    settleAfterChange();
    EXPECT_EQ(marked(pane()), QStringList({"ate", "sushi"}));
}

TEST_F(SpellingTest, AddedWordsGoToThePersonalListAndIgnoredOnesLastWhileTheProgramRuns) {
    app.write(QStringLiteral("spelling-words.txt"), "Verbanta\n");
    startWithTranslation(QStringLiteral("Verbanta kanji zzz"));
    settle(pane());
    EXPECT_EQ(marked(pane()), QStringList({"kanji", "zzz"}));

    QMenu menu;
    QList<QAction*> items = spelling()->addPopupItems(&menu, pane(), pointOf(pane(), "kanji"));
    ASSERT_FALSE(items.isEmpty());
    for (QAction* a : items)
        if (a->text() == u"辞書に追加")
            a->trigger();
    settle(pane());
    EXPECT_EQ(marked(pane()), QStringList({"zzz"}));
    EXPECT_EQ(app.read(QStringLiteral("spelling-words.txt")), QByteArray("Verbanta\nkanji\n"));

    items = spelling()->addPopupItems(&menu, pane(), pointOf(pane(), "zzz"));
    for (QAction* a : items)
        if (a->text() == u"無視")
            a->trigger();
    settle(pane());
    EXPECT_TRUE(marked(pane()).isEmpty());
    EXPECT_EQ(app.read(QStringLiteral("spelling-words.txt")), QByteArray("Verbanta\nkanji\n"));
    // A correct word has no spelling items.
    EXPECT_TRUE(spelling()->addPopupItems(&menu, pane(), pointOf(pane(), "Verbanta")).isEmpty());
}

TEST_F(SpellingTest, AWordIgnoredInLowerCaseIsIgnoredAtTheStartOfASentenceToo) {
    startWithTranslation(QStringLiteral("the cat sat teh mat. Teh catt sat."));
    settle(pane());
    ASSERT_EQ(marked(pane()), QStringList({"teh", "mat", "Teh", "catt"}));
    QMenu menu;
    for (QAction* a : spelling()->addPopupItems(&menu, pane(), pointOf(pane(), "teh")))
        if (a->text() == u"無視")
            a->trigger();
    settle(pane());
    EXPECT_EQ(marked(pane()), QStringList({"mat", "catt"}));
}

TEST_F(SpellingTest, ARightClickAnywhereOnAMisspeltWordOffersItsSuggestions) {
    startWithTranslation(QStringLiteral("the catt sat"));
    settle(pane());
    pane()->setFocus();
    const int start = int(pane()->toPlainText().indexOf(QStringLiteral("catt")));
    const int last = start + 3;
    // The right half of the last letter lies nearest the caret place after the word, the left
    // half of the first nearest the one before it.
    for (const QPoint at : {pointOnLetter(pane(), last, 0.8), pointOnLetter(pane(), last, 0.5),
                            pointOnLetter(pane(), start, 0.2)}) {
        SCOPED_TRACE(at.x());
        const QStringList items = popupItemsAt(at);
        ASSERT_FALSE(items.isEmpty());
        EXPECT_EQ(items.first(), QStringLiteral("cat"));
        EXPECT_TRUE(items.contains(QStringLiteral("辞書に追加")));
    }
    // Beside the word, on a correct one, there are none.
    EXPECT_FALSE(popupItemsAt(pointOnLetter(pane(), start + 6, 0.5)).contains("辞書に追加"));
}

TEST_F(SpellingTest, TheKeyTurnsCheckingOffAndOnAndTheChoiceIsKept) {
    startWithTranslation(QStringLiteral("teh cat"));
    settle(pane());
    ASSERT_EQ(marked(pane()), QStringList({"teh"}));
    pane()->setFocus();
    QTest::keyClick(pane(), Qt::Key_F7);
    EXPECT_FALSE(spelling()->toggleAction()->isChecked());
    EXPECT_TRUE(marked(pane()).isEmpty());
    EXPECT_EQ(app.read(QStringLiteral("spelling.ini")), QByteArray("enabled=0\n"));
    EXPECT_FALSE(pane()->document()->isModified());

    editor.reset();
    start({"apple"});
    settle(pane());
    EXPECT_TRUE(marked(pane()).isEmpty());
    EXPECT_FALSE(spelling()->toggleAction()->isChecked());
    spelling()->toggleAction()->trigger();
    settle(pane());
    EXPECT_EQ(marked(pane()), QStringList({"teh"}));
}

TEST_F(SpellingTest, TheOriginalPaneIsMarkedOnlyWhileItsEditingIsAllowed) {
    startWithProject(QStringLiteral("綴り"), QStringLiteral("teh original"),
                     QStringLiteral("訳文.txt"), QStringLiteral("teh translation"));
    settle(form()->Rtxt1);
    EXPECT_TRUE(marked(form()->Rtxt1).isEmpty());
    editor->project().allowOrgEdit = true;
    spelling()->followOriginalPaneEditing();
    settle(form()->Rtxt1);
    EXPECT_EQ(marked(form()->Rtxt1), QStringList({"teh", "original"}));
}

TEST_F(SpellingTest, ALargeDocumentIsCheckedInSlicesTheVisiblePartFirst) {
    startWithTranslation(QStringLiteral("the cat"));
    SpellHighlighter* h = spelling()->highlighter(pane());
    ASSERT_TRUE(h);
    QString text;
    for (int i = 0; i < 20000; ++i)
        text += QStringLiteral("the cat sat on teh mat number %1\n").arg(i);
    // A large paste is left to the slices.
    pane()->setPlainText(text);
    EXPECT_FALSE(h->isComplete());
    // Scrolled to the middle, far from where the slices' walk starts.
    pane()->setTextCursor(QTextCursor(pane()->document()->findBlockByNumber(10000)));
    pane()->ensureCursorVisible();

    // However short the slice, every paragraph in view is marked by it, and nothing else.
    h->checkSlice(0);
    EXPECT_FALSE(h->isComplete());
    const QRect view = pane()->viewport()->rect();
    const QTextBlock top = pane()->cursorForPosition(view.topLeft()).block();
    const QTextBlock bottom = pane()->cursorForPosition(view.bottomLeft()).block();
    ASSERT_GT(top.blockNumber(), 9000);
    ASSERT_GT(bottom.blockNumber(), top.blockNumber() + 2) << "the pane shows too little";
    for (QTextBlock b = top; b.isValid() && b.blockNumber() <= bottom.blockNumber(); b = b.next())
        EXPECT_FALSE(b.layout()->formats().isEmpty()) << "paragraph " << b.blockNumber();
    EXPECT_TRUE(pane()->document()->firstBlock().layout()->formats().isEmpty());

    // The slices run between events until the whole document is checked, however long it takes.
    EXPECT_TRUE(QTest::qWaitFor([h] { return h->isComplete(); }, 120000));
    EXPECT_FALSE(pane()->document()->firstBlock().layout()->formats().isEmpty());
    EXPECT_FALSE(pane()->document()->lastBlock().previous().layout()->formats().isEmpty());
}

TEST_F(SpellingTest, WithoutAnyDictionaryNothingIsMarked) {
    // Replaces the tiny dictionary's folder, which puts it back afterwards.
    qputenv("VERBANTA_HUNSPELL_DIR", app.file(QStringLiteral("nothing-here")).toUtf8());
    startWithTranslation(QStringLiteral("teh cat"));
    settle(pane());
    EXPECT_TRUE(marked(pane()).isEmpty());
    EXPECT_TRUE(spelling()->dictionaries().isEmpty());
    EXPECT_FALSE(spelling()->isChecking());
    EXPECT_TRUE(spelling()->language().isEmpty());
}

} // namespace
