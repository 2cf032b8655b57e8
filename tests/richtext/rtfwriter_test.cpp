#include "core/richtext/documentfile.h"
#include "core/richtext/paragraphstyle.h"
#include "core/richtext/plaintextfile.h"
#include "core/richtext/rtfreader.h"
#include "core/richtext/rtfwriter.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

QTextDocument* readBack(const QByteArray& rtf, QTextDocument* into) {
    richtext::RtfReader reader;
    EXPECT_TRUE(reader.read(rtf, into)) << reader.errorString().toStdString();
    return into;
}

QByteArray rtfOfText(const QString& text) {
    QTextDocument document;
    QTextCursor(&document).insertText(text);
    return richtext::writeRtf(document);
}

// A document with every format the editor sets.
void buildFormattedDocument(QTextDocument* document) {
    QTextCursor c(document);
    QTextCharFormat japanese;
    japanese.setFontFamilies({QString::fromUtf8("ＭＳ Ｐゴシック")});
    japanese.setFontPointSize(10.5);
    c.insertText(QString::fromUtf8("普通の文字"), japanese);
    QTextCharFormat bold = japanese;
    bold.setFontWeight(QFont::Bold);
    bold.setFontItalic(true);
    c.insertText(QString::fromUtf8("太字斜体"), bold);
    QTextCharFormat other;
    other.setFontFamilies({"Arial"});
    other.setFontPointSize(14);
    other.setFontUnderline(true);
    other.setFontStrikeOut(true);
    other.setForeground(QColor(0, 128, 0));
    c.insertText("Latin {braces} \\ tab\there", other);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    richtext::setLeftIndent(centred, 720);
    richtext::setRightIndent(centred, 240);
    richtext::setTabStops(centred, {480, 960, 1440, 1920});
    c.insertBlock(centred);
    richtext::setFirstLineIndent(c, -360);
    c.insertText(QString::fromUtf8("二行目") + QChar::LineSeparator + "break");
    c.insertBlock(QTextBlockFormat());
    richtext::setBullet(c, true, 480);
    c.insertText(QString::fromUtf8("箇条書き"));
    c.insertBlock(QTextBlockFormat());
    c.insertText(QString::fromUtf8("〜𠮷€"));
}

bool sameFormats(const QTextDocument& a, const QTextDocument& b) {
    if (a.blockCount() != b.blockCount())
        return false;
    for (QTextBlock x = a.begin(), y = b.begin(); x.isValid(); x = x.next(), y = y.next()) {
        if (x.text() != y.text() || richtext::hasBullet(x) != richtext::hasBullet(y) ||
            richtext::firstLineIndentTwips(x) != richtext::firstLineIndentTwips(y) ||
            richtext::leftIndentTwips(x.blockFormat()) !=
                richtext::leftIndentTwips(y.blockFormat()) ||
            richtext::rightIndentTwips(x.blockFormat()) !=
                richtext::rightIndentTwips(y.blockFormat()) ||
            richtext::tabStopsTwips(x.blockFormat()) != richtext::tabStopsTwips(y.blockFormat()) ||
            (x.blockFormat().alignment() & Qt::AlignHorizontal_Mask) !=
                (y.blockFormat().alignment() & Qt::AlignHorizontal_Mask))
            return false;
        for (int i = 0; i < x.length() - 1; ++i) {
            QTextCursor cx(a.findBlock(x.position()));
            QTextCursor cy(b.findBlock(y.position()));
            cx.setPosition(x.position() + i + 1);
            cy.setPosition(y.position() + i + 1);
            const QTextCharFormat fx = cx.charFormat();
            const QTextCharFormat fy = cy.charFormat();
            if (fx.fontFamilies() != fy.fontFamilies() ||
                fx.fontPointSize() != fy.fontPointSize() || fx.fontWeight() != fy.fontWeight() ||
                fx.fontItalic() != fy.fontItalic() || fx.fontUnderline() != fy.fontUnderline() ||
                fx.fontStrikeOut() != fy.fontStrikeOut() || fx.foreground() != fy.foreground())
                return false;
        }
    }
    return true;
}

} // namespace

TEST(RtfWriter, EveryFormatReadsBack) {
    QTextDocument original;
    buildFormattedDocument(&original);
    QTextDocument reloaded;
    readBack(richtext::writeRtf(original), &reloaded);
    EXPECT_EQ(reloaded.toPlainText(), original.toPlainText());
    EXPECT_TRUE(sameFormats(original, reloaded));
}

TEST(RtfWriter, DeclaresTheJapaneseCodePageAndEscapesEveryHighByte) {
    const QByteArray rtf = rtfOfText(QString::fromUtf8("表ボマｶ"));
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg932"));
    EXPECT_TRUE(rtf.contains("\\fcharset128"));
    // Trail bytes 5C, 7B and 7D are escaped too, or other readers take them for structure.
    EXPECT_TRUE(rtf.contains("\\'95\\'5c\\'83\\'7b\\'83\\'7d\\'b6")) << rtf.toStdString();
    for (char c : rtf)
        EXPECT_LT(static_cast<unsigned char>(c), 0x80);
}

TEST(RtfWriter, CharactersOutsideTheCodePageBecomeUnicodeWithAFallback) {
    // 〜 encodes to 81 60 but that reads back as ～, so it goes as Unicode; 𠮷 as two signed
    // surrogate halves.
    const QByteArray rtf = rtfOfText(QString::fromUtf8("〜𠮷"));
    EXPECT_TRUE(rtf.contains("\\uc1"));
    EXPECT_TRUE(rtf.contains("\\u12316?\\u-10174?\\u-8265?")) << rtf.toStdString();
    QTextDocument reloaded;
    EXPECT_EQ(readBack(rtf, &reloaded)->toPlainText(), QString::fromUtf8("〜𠮷"));
}

TEST(RtfWriter, BracesBalance) {
    QTextDocument document;
    buildFormattedDocument(&document);
    const QByteArray rtf = richtext::writeRtf(document);
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
            continue;
        }
        depth += rtf[i] == '{' ? 1 : rtf[i] == '}' ? -1 : 0;
        ASSERT_GE(depth, 0);
        if (depth == 0)
            EXPECT_EQ(rtf.mid(i + 1).trimmed(), QByteArray());
    }
    EXPECT_EQ(depth, 0);
}

TEST(RtfWriter, AnotherWordProcessorReadsTheText) {
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    QTemporaryDir dir;
    QTextDocument document;
    buildFormattedDocument(&document);
    ASSERT_TRUE(richtext::saveDocument(dir.filePath("doc.rtf"), document));
    QProcess convert;
    convert.setWorkingDirectory(dir.path());
    convert.start(soffice, {"--headless", "-env:UserInstallation=file://" + dir.filePath("profile"),
                            "--convert-to", "txt:Text (encoded):UTF8", "doc.rtf"});
    ASSERT_TRUE(convert.waitForFinished(120000));
    QFile text(dir.filePath("doc.txt"));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    QString got = QString::fromUtf8(text.readAll());
    got.remove(QChar(0xFEFF));
    got.remove(QStringLiteral("\u2022 ")).remove(QChar(u'\r'));
    QString want = document.toPlainText();
    want.replace(QChar::LineSeparator, QChar(u'\n'));
    EXPECT_EQ(got.split('\n', Qt::SkipEmptyParts).join('\n').simplified(),
              want.split('\n', Qt::SkipEmptyParts).join('\n').simplified());
}

TEST(PlainTextFile, CodePageUtf8AndLineEnds) {
    EXPECT_EQ(richtext::decodePlainText("\x82\xa0\r\nb\rc\n"), QString::fromUtf8("あ\nb\nc"));
    EXPECT_EQ(richtext::decodePlainText("\xEF\xBB\xBF\xE3\x81\x82\r\n"), QString::fromUtf8("あ"));
    // A final empty line that is really there stays.
    EXPECT_EQ(richtext::decodePlainText("a\r\n\r\n"), QStringLiteral("a\n"));
    bool ok = true;
    richtext::decodePlainText("\x82", &ok);
    EXPECT_FALSE(ok);
}

TEST(DocumentFile, LoadsRtfOrPlainTextAndSavesRtf) {
    QTemporaryDir dir;
    QTextDocument document;
    // Not RTF, though "{\rtf1" appears later on: plain text.
    EXPECT_EQ(richtext::loadDocumentBytes("a {\\rtf1 b}\r\n\x95\x5c", &document),
              richtext::LoadOutcome::Loaded);
    EXPECT_EQ(document.toPlainText(), QString::fromUtf8("a {\\rtf1 b}\n表"));
    // Saved as RTF whatever the name says.
    const QString path = dir.filePath("translation.txt");
    ASSERT_TRUE(richtext::saveDocument(path, document));
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().startsWith("{\\rtf1"));
    QTextDocument again;
    EXPECT_EQ(richtext::loadDocument(path, &again), richtext::LoadOutcome::Loaded);
    EXPECT_EQ(again.toPlainText(), document.toPlainText());
}

TEST(DocumentFile, FailuresLeaveTheDocumentAndTheFileAlone) {
    QTemporaryDir dir;
    QTextDocument document;
    document.setPlainText("keep");
    QString error;
    EXPECT_EQ(richtext::loadDocument(dir.filePath("missing.rtf"), &document, &error),
              richtext::LoadOutcome::Unreadable);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(document.toPlainText(), "keep");
    EXPECT_FALSE(richtext::saveDocument(dir.filePath("no/such/folder/x.rtf"), document, &error));
    EXPECT_FALSE(error.isEmpty());
    // A damaged file shows what could be read.
    EXPECT_EQ(richtext::loadDocumentBytes("{\\rtf1 half", &document, &error),
              richtext::LoadOutcome::Damaged);
    EXPECT_EQ(document.toPlainText(), "half");
}
