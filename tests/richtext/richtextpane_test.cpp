// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/richtext/charstyle.h"
#include "core/richtext/paragraphstyle.h"
#include "core/richtext/rtfwriter.h"
#include "ui/richtextpane.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QVBoxLayout>
#include <cmath>
#include <gtest/gtest.h>

namespace {

void select(RichTextPane& pane, int start, int length) {
    pane.setSelStart(start);
    pane.setSelLength(length);
}

} // namespace

TEST(RichTextPane, CharacterFormatOfASelectionIsUniformOrMixed) {
    RichTextPane pane;
    pane.setPlainText("plain bold");
    select(pane, 6, 4);
    pane.setSelBold(true);
    pane.setSelColor(QColor(0, 128, 0));
    pane.setSelFontName("Arial");
    EXPECT_TRUE(pane.setSelFontSize(14));
    EXPECT_FALSE(pane.setSelFontSize(0));
    EXPECT_FALSE(pane.setSelFontSize(std::nan("")));
    pane.setSelUnderline(true);
    EXPECT_EQ(pane.selBold(), true);
    EXPECT_EQ(pane.selColor(), QColor(0, 128, 0));
    EXPECT_EQ(pane.selFontName(), QString("Arial"));
    EXPECT_EQ(pane.selFontSize(), 14.0);
    EXPECT_EQ(pane.selUnderline(), true);

    select(pane, 3, 5); // "in bo": partly bold
    EXPECT_EQ(pane.selBold(), std::nullopt);
    EXPECT_EQ(pane.selColor(), std::nullopt);
    EXPECT_EQ(pane.selFontName(), std::nullopt);
    EXPECT_EQ(pane.selFontSize(), std::nullopt);
    EXPECT_EQ(pane.selItalic(), false);
    EXPECT_EQ(pane.selStrikeThrough(), false);

    select(pane, 0, 5); // automatic colour reads as black
    EXPECT_EQ(pane.selBold(), false);
    EXPECT_EQ(pane.selColor(), QColor(0, 0, 0));
}

TEST(RichTextPane, SelectionPositionsCountCharacters) {
    RichTextPane pane;
    pane.setPlainText(QString(1000, QChar(u'あ')));
    pane.selectAll();
    EXPECT_EQ(pane.selStart(), 0);
    EXPECT_EQ(pane.selLength(), 1000);
    select(pane, 990, 50); // clamped at the end of the text
    EXPECT_EQ(pane.selLength(), 10);
    pane.setSelText("x");
    EXPECT_EQ(pane.toPlainText().size(), 991);
}

TEST(RichTextPane, UpToAndSpanOnEnglishText) {
    RichTextPane pane;
    pane.setPlainText("He came. She left.");
    // Sentence selection: span over non-terminators, then take the terminator too.
    pane.setSelStart(0);
    pane.span(".!?");
    EXPECT_EQ(pane.selText(), "He came");
    pane.setSelLength(pane.selLength() + 1);
    EXPECT_EQ(pane.selText(), "He came.");
    // Sentence jump: up to the next terminator, one further, then past the spaces.
    pane.setSelStart(0);
    pane.upTo(".!?");
    EXPECT_EQ(pane.selStart(), 7);
    EXPECT_EQ(pane.selLength(), 0);
    pane.setSelStart(pane.selStart() + 1);
    pane.upTo(" ", false);
    EXPECT_EQ(pane.selStart(), 9);
    pane.upTo(".!?");
    EXPECT_EQ(pane.selStart(), 17);
    // Already at a terminator: the caret stays; with none ahead it goes to the end.
    pane.upTo(".!?");
    EXPECT_EQ(pane.selStart(), 17);
    pane.setSelStart(18);
    pane.upTo(".!?");
    EXPECT_EQ(pane.selStart(), 18);
}

TEST(RichTextPane, UpToAndSpanOnJapaneseText) {
    RichTextPane pane;
    pane.setPlainText(QString::fromUtf8("彼が来た。彼女は去った。"));
    pane.setSelStart(0);
    pane.upTo(QString::fromUtf8(".!?。！？"));
    EXPECT_EQ(pane.selStart(), 4);
    pane.setSelStart(5);
    pane.span(QString::fromUtf8("。"));
    EXPECT_EQ(pane.selText(), QString::fromUtf8("彼女は去った"));
    // The ASCII-only set finds no terminator: the selection runs to the end.
    pane.setSelStart(0);
    pane.span(".!?");
    EXPECT_EQ(pane.selLength(), 12);
}

TEST(RichTextPane, ParagraphEndsMatchLineEndsInASet) {
    RichTextPane pane;
    pane.setPlainText("ab\ncd");
    pane.setSelStart(0);
    pane.span("\r\n");
    EXPECT_EQ(pane.selText(), "ab");
    pane.setSelLength(4);
    EXPECT_EQ(pane.selText(), "ab\nc");
    EXPECT_EQ(pane.toPlainText().mid(pane.selStart(), pane.selLength()), pane.selText());
    pane.setSelStart(0);
    pane.upTo("\n");
    EXPECT_EQ(pane.selStart(), 2);

    // Copying from any text control joins paragraphs and line breaks alike with line feeds.
    pane.setPlainText("a");
    QTextCursor cursor = pane.textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("b") + QChar::LineSeparator + QStringLiteral("c\nd"));
    cursor.select(QTextCursor::Document);
    EXPECT_EQ(RichTextPane::selectedPlainText(cursor), "ab\nc\nd");
}

TEST(RichTextPane, ParagraphOperationsApplyToTheSelectedParagraphsOnly) {
    RichTextPane pane;
    pane.setPlainText("one\ntwo\nthree\nfour");
    const QList<int> stops = {480, 960, 1440, 1920};
    select(pane, 5, 5); // from "two" into "three"
    pane.setSelTabs(stops);
    pane.setSelAlignment(RichTextPane::Alignment::Center);
    pane.setSelIndent(720);
    EXPECT_EQ(pane.selTabCount(), 4);
    EXPECT_EQ(pane.selTabs(), stops);
    EXPECT_EQ(pane.selAlignment(), RichTextPane::Alignment::Center);
    EXPECT_EQ(pane.selIndent(), 720);
    QTextDocument* doc = pane.document();
    for (int i : {0, 3}) {
        EXPECT_TRUE(richtext::tabStopsTwips(doc->findBlockByNumber(i).blockFormat()).isEmpty());
        EXPECT_EQ(richtext::leftIndentTwips(doc->findBlockByNumber(i).blockFormat()), 0);
    }
    EXPECT_EQ(richtext::tabStopsTwips(doc->findBlockByNumber(2).blockFormat()), stops);
    select(pane, 0, 6);
    EXPECT_EQ(pane.selAlignment(), std::nullopt);
    EXPECT_EQ(pane.selIndent(), std::nullopt);
    EXPECT_EQ(pane.selTabs(), QList<int>()); // the first paragraph's
}

TEST(RichTextPane, BulletsHangAtTheBulletIndentAndComeOffAgain) {
    RichTextPane pane;
    pane.setPlainText("one\ntwo\nthree");
    select(pane, 0, 5);
    pane.setBulletIndent(480);
    pane.setSelBullet(true);
    EXPECT_EQ(pane.selBullet(), true);
    const QTextBlock first = pane.document()->firstBlock();
    EXPECT_EQ(richtext::leftIndentTwips(first.blockFormat()), 480);
    EXPECT_EQ(richtext::firstLineIndentTwips(first), -480);
    EXPECT_TRUE(richtext::hasBullet(first.next()));
    EXPECT_FALSE(richtext::hasBullet(first.next().next()));
    select(pane, 0, 10);
    EXPECT_EQ(pane.selBullet(), std::nullopt);

    pane.setBulletIndent(0);
    select(pane, 0, 0);
    pane.setSelBullet(false);
    const QTextBlock off = pane.document()->firstBlock();
    EXPECT_FALSE(richtext::hasBullet(off));
    EXPECT_EQ(richtext::leftIndentTwips(off.blockFormat()), 0);
    EXPECT_EQ(richtext::firstLineIndentTwips(off), 0);
    EXPECT_TRUE(richtext::hasBullet(off.next()));
}

TEST(RichTextPane, WrapMarginAndSelectionVisibility) {
    RichTextPane pane;
    pane.setRightMargin(1500);
    EXPECT_EQ(pane.lineWrapMode(), QTextEdit::FixedPixelWidth);
    EXPECT_EQ(pane.lineWrapColumnOrWidth(), 100);
    pane.setRightMargin(0);
    EXPECT_EQ(pane.lineWrapMode(), QTextEdit::WidgetWidth);

    pane.setKeepSelectionVisible(true);
    EXPECT_EQ(pane.palette().color(QPalette::Inactive, QPalette::Highlight),
              pane.palette().color(QPalette::Active, QPalette::Highlight));
    pane.setKeepSelectionVisible(false);
    EXPECT_EQ(pane.palette().color(QPalette::Inactive, QPalette::Highlight),
              pane.palette().color(QPalette::Inactive, QPalette::Base));
}

TEST(RichTextPane, LoadAndSaveFiles) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.rtf");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "{\\rtf1\\ansicpg932{\\colortbl;\\red0\\green128\\blue0;}\\'82\\'a0{\\cf1\\b x}\\par}");
    file.close();
    RichTextPane pane;
    ASSERT_TRUE(pane.loadFile(path));
    EXPECT_EQ(pane.toPlainText(), QString::fromUtf8("あx"));
    EXPECT_FALSE(pane.document()->isModified());
    select(pane, 1, 1);
    EXPECT_EQ(pane.selBold(), true);
    EXPECT_EQ(pane.selColor(), QColor(0, 128, 0));
    pane.setSelItalic(true);

    const QString copy = dir.filePath("b.txt");
    ASSERT_TRUE(pane.saveFile(copy));
    RichTextPane other;
    ASSERT_TRUE(other.loadFile(copy));
    select(other, 1, 1);
    EXPECT_EQ(other.selItalic(), true);
    EXPECT_EQ(other.selColor(), QColor(0, 128, 0));
    // Loading again replaces the document the pane loaded before.
    ASSERT_TRUE(other.loadFile(path));
    EXPECT_EQ(other.selItalic(), false);

    QString error;
    EXPECT_FALSE(other.loadFile(dir.filePath("missing.rtf"), &error));
    EXPECT_EQ(other.toPlainText(), QString::fromUtf8("あx"));
}

TEST(RichTextPane, ThePageOfALoadedDocumentIsSavedAgainAndLeavesWithItsText) {
    // An A4 letter with 2 cm margins, landscape, as another word processor saved it.
    QTemporaryDir dir;
    const QString path = dir.filePath("letter.rtf");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\\rtf1\\ansi\\ansicpg932\\paperw16838\\paperh11906\\margl1134\\margr1134"
               "\\margt1134\\margb1134\\landscape\\viewkind4 Dear reader,\\par}");
    file.close();
    RichTextPane pane;
    pane.resize(300, 200);
    ASSERT_TRUE(pane.loadFile(path));
    // The pane shows the text as any other: no page, no margins of the letter's.
    EXPECT_EQ(pane.toPlainText(), "Dear reader,");
    EXPECT_EQ(pane.document()->documentMargin(), RichTextPane().document()->documentMargin());
    EXPECT_FALSE(pane.document()->isModified());
    QTest::keyClicks(&pane, "X");

    const QString copy = dir.filePath("copy.rtf");
    ASSERT_TRUE(pane.saveFile(copy));
    QFile saved(copy);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("\\paperw16838\\paperh11906\\margl1134\\margr1134"
                                         "\\margt1134\\margb1134\\landscape"));

    // Emptied, the pane holds no letter any more, and a new text is saved without its page.
    pane.clear();
    pane.insertPlainText("New text.");
    ASSERT_TRUE(pane.saveFile(copy));
    saved.close();
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray fresh = saved.readAll();
    EXPECT_FALSE(fresh.contains("\\paperw")) << fresh.toStdString();
    EXPECT_FALSE(fresh.contains("\\landscape"));
}

TEST(RichTextPane, ReportsFocusKeysAndMouseToTheEditor) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* other = new QLineEdit(&window);
    auto* pane = new RichTextPane(&window);
    layout->addWidget(other);
    layout->addWidget(pane);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other->setFocus();

    QSignalSpy focus(pane, &RichTextPane::gotFocus);
    pane->setFocus();
    EXPECT_EQ(focus.count(), 1);

    // The key arrives before the pane acts on it, so the editor still sees the old text.
    QString textAtKey = "unset";
    QObject::connect(pane, &RichTextPane::keyDown, pane,
                     [&](int, Qt::KeyboardModifiers) { textAtKey = pane->toPlainText(); });
    QSignalSpy keys(pane, &RichTextPane::keyDown);
    QTest::keyClick(pane, Qt::Key_A, Qt::ShiftModifier); // Shift goes down first, then A
    ASSERT_EQ(keys.count(), 2);
    EXPECT_EQ(keys.at(0).at(0).toInt(), int(Qt::Key_Shift));
    EXPECT_EQ(keys.at(1).at(0).toInt(), int(Qt::Key_A));
    EXPECT_EQ(keys.at(1).at(1).value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
    EXPECT_EQ(textAtKey, QString());
    EXPECT_EQ(pane->toPlainText().size(), 1);

    // The release arrives after the pane placed the caret, so the editor sees the new position.
    pane->setPlainText("one two three");
    pane->setSelStart(0);
    int caretAtUp = -1;
    QObject::connect(pane, &RichTextPane::mouseUp, pane,
                     [&](Qt::MouseButton, Qt::KeyboardModifiers) { caretAtUp = pane->selStart(); });
    QSignalSpy ups(pane, &RichTextPane::mouseUp);
    QTextCursor atEnd(pane->document());
    atEnd.movePosition(QTextCursor::End);
    const QPoint where = pane->cursorRect(atEnd).center() + QPoint(2, 0);
    QTest::mouseClick(pane->viewport(), Qt::LeftButton, Qt::NoModifier, where);
    ASSERT_EQ(ups.count(), 1);
    EXPECT_EQ(ups.at(0).at(0).value<Qt::MouseButton>(), Qt::LeftButton);
    EXPECT_EQ(caretAtUp, 13);
    pane->setContextMenuPolicy(Qt::NoContextMenu); // no modal menu in a test
    QTest::mouseClick(pane->viewport(), Qt::RightButton, Qt::ControlModifier, where);
    ASSERT_EQ(ups.count(), 2);
    EXPECT_EQ(ups.at(1).at(0).value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(ups.at(1).at(1).value<Qt::KeyboardModifiers>(), Qt::ControlModifier);
}

TEST(RichTextPane, IndentOfABulletedParagraphIsWhereTheBulletStands) {
    RichTextPane pane;
    pane.setPlainText("item\nplain");
    select(pane, 0, 0);
    pane.setBulletIndent(480);
    pane.setSelBullet(true);
    const auto first = [&] { return pane.document()->firstBlock(); };
    EXPECT_EQ(pane.selIndent(), 0);
    // Indent moves the bullet, and the text with it.
    pane.setSelIndent(480);
    EXPECT_EQ(pane.selIndent(), 480);
    EXPECT_EQ(richtext::leftIndentTwips(first().blockFormat()), 960);
    EXPECT_EQ(richtext::firstLineIndentTwips(first()), -480);
    // Release puts the bullet back at the margin, never in front of it.
    pane.setSelIndent(0);
    EXPECT_EQ(pane.selIndent(), 0);
    EXPECT_EQ(richtext::leftIndentTwips(first().blockFormat()), 480);
    EXPECT_EQ(richtext::firstLineIndentTwips(first()), -480);
    pane.setSelIndent(-240);
    EXPECT_EQ(pane.selIndent(), 0);
    const QByteArray rtf = richtext::writeRtf(*pane.document());
    EXPECT_TRUE(rtf.contains("\\fi-480\\li480 ")) << rtf.toStdString();
    EXPECT_FALSE(rtf.contains("\\li-"));
    // A paragraph without a bullet indents its text; a bullet added later starts there.
    select(pane, 5, 0);
    pane.setSelIndent(720);
    EXPECT_EQ(pane.selIndent(), 720);
    pane.setSelBullet(true);
    EXPECT_EQ(pane.selIndent(), 720);
    EXPECT_EQ(richtext::leftIndentTwips(pane.document()->lastBlock().blockFormat()), 1200);
    select(pane, 0, 6);
    EXPECT_EQ(pane.selIndent(), std::nullopt);
}

TEST(RichTextPane, JustifiedParagraphsAndUnderlineKinds) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.rtf");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\\rtf1\\pard\\qj {\\ulwave wave}\\par\\pard\\qc c\\par}");
    file.close();
    RichTextPane pane;
    ASSERT_TRUE(pane.loadFile(path));
    select(pane, 1, 2);
    EXPECT_EQ(pane.selAlignment(), RichTextPane::Alignment::Justify);
    EXPECT_EQ(pane.selUnderline(), true);
    select(pane, 5, 1);
    pane.setSelAlignment(RichTextPane::Alignment::Justify);
    EXPECT_EQ(pane.selAlignment(), RichTextPane::Alignment::Justify);
    EXPECT_EQ(int(RichTextPane::Alignment::Center), 2);

    // Switching a wavy underline off and on again gives a plain one.
    select(pane, 0, 4);
    pane.setSelUnderline(false);
    EXPECT_EQ(pane.selUnderline(), false);
    pane.setSelUnderline(true);
    EXPECT_EQ(pane.selUnderline(), true);
    QTextCursor c(pane.document());
    c.setPosition(1);
    EXPECT_EQ(richtext::underline(c.charFormat()), richtext::Underline::Single);
}

TEST(RichTextPane, ClipboardAndDropCarryPlainTextOnly) {
    RichTextPane source;
    source.setPlainText("plain red");
    select(source, 6, 3);
    source.setSelBold(true);
    source.setSelColor(QColor(255, 0, 0));
    select(source, 0, 9);
    source.copy(); // the menu's and the keys' path alike
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->formats(), QStringList({"text/plain"}));
    EXPECT_EQ(copied->text(), "plain red");

    RichTextPane target;
    target.setPlainText("[]");
    target.setSelStart(1);
    target.setFocus();
    QTest::keyClick(&target, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(target.toPlainText(), "[plain red]");
    select(target, 7, 3);
    EXPECT_EQ(target.selBold(), false);
    EXPECT_EQ(target.selColor(), QColor(0, 0, 0));

    // Formatted text from elsewhere brings in its text alone.
    auto* html = new QMimeData;
    html->setHtml("<b style='color:red'>fat</b><script>x()</script><br>line");
    QApplication::clipboard()->setMimeData(html);
    target.setSelStart(0);
    target.paste();
    EXPECT_TRUE(target.toPlainText().startsWith("fat\nline")) << target.toPlainText().toStdString();
    select(target, 0, 3);
    EXPECT_EQ(target.selBold(), false);

    // A drop is a paste at the drop point.
    QMimeData dropped;
    dropped.setHtml("<i>dropped</i>");
    target.setPlainText("");
    const QPoint at(5, 5);
    QDragEnterEvent enter(at, Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target.viewport(), &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target.viewport(), &move);
    QDropEvent drop(at, Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target.viewport(), &drop);
    EXPECT_EQ(target.toPlainText(), "dropped");
    target.selectAll();
    EXPECT_EQ(target.selItalic(), false);
}

TEST(RichTextPane, NewAndEmptiedPanesUseTheDefaultFont) {
    const QString gothic = QString::fromUtf8("ＭＳ Ｐゴシック");
    RichTextPane pane;
    EXPECT_EQ(pane.document()->defaultFont().family(), gothic);
    EXPECT_EQ(pane.document()->defaultFont().pointSizeF(), 11.0);
    EXPECT_EQ(pane.selFontName(), gothic);
    EXPECT_EQ(pane.selFontSize(), 11.0);
    pane.insertPlainText("typed");
    QByteArray rtf = richtext::writeRtf(*pane.document());
    EXPECT_TRUE(
        rtf.contains("\\'82\\'6c\\'82\\'72 \\'82\\'6f\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e"))
        << rtf.toStdString();
    EXPECT_TRUE(rtf.contains("\\fs22 "));
    EXPECT_FALSE(rtf.contains("Sans Serif"));

    QTemporaryDir dir;
    const QString path = dir.filePath("a.rtf");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs40 big}");
    file.close();
    ASSERT_TRUE(pane.loadFile(path));
    EXPECT_EQ(pane.selFontName(), QStringLiteral("Arial"));
    // Deleting everything, or clearing, leaves the next text in the default font.
    pane.selectAll();
    pane.textCursor().removeSelectedText();
    pane.insertPlainText("x");
    pane.selectAll();
    EXPECT_EQ(pane.selFontName(), gothic);
    EXPECT_EQ(pane.selFontSize(), 11.0);
    ASSERT_TRUE(pane.loadFile(path));
    pane.clear();
    pane.insertPlainText("y");
    pane.selectAll();
    EXPECT_EQ(pane.selFontName(), gothic);
    EXPECT_EQ(pane.selFontSize(), 11.0);
    // Emptying by keys is undone in one step, and the undone typing can be redone.
    pane.setPlainText("abc");
    pane.selectAll();
    QTest::keyClick(&pane, Qt::Key_Delete);
    EXPECT_EQ(pane.toPlainText(), QString());
    pane.undo();
    EXPECT_EQ(pane.toPlainText(), "abc");
    pane.clear();
    QTest::keyClicks(&pane, "new");
    pane.undo();
    EXPECT_EQ(pane.toPlainText(), QString());
    pane.redo();
    EXPECT_EQ(pane.toPlainText(), "new");
    // A font chosen for the empty pane is kept for the text typed next.
    pane.clear();
    pane.setSelFontName("Arial");
    pane.insertPlainText("z");
    pane.selectAll();
    EXPECT_EQ(pane.selFontName(), QStringLiteral("Arial"));
}
