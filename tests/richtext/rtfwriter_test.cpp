// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/richtext/charstyle.h"
#include "core/richtext/documentfile.h"
#include "core/richtext/pagesetup.h"
#include "core/richtext/paragraphstyle.h"
#include "core/richtext/plaintextfile.h"
#include "core/richtext/rtfreader.h"
#include "core/richtext/rtfwriter.h"
#include "support/officetool.h"

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

TEST(RtfWriter, ListsUnderlinesTabsAndJustificationSurviveARoundTrip) {
    QTextDocument original;
    QTextCursor c(&original);
    using richtext::Underline;
    const Underline kinds[] = {Underline::Wave,   Underline::Dotted, Underline::Dashed,
                               Underline::Double, Underline::Thick,  Underline::Words};
    for (Underline kind : kinds) {
        QTextCharFormat f;
        richtext::setUnderline(f, kind);
        c.insertText(QString::number(int(kind)), f);
    }
    QTextBlockFormat justified;
    justified.setAlignment(Qt::AlignJustify);
    using Stop = richtext::TabStop;
    const QList<Stop> stops = {{720, Stop::Kind::Center, Stop::Leader::Dots},
                               {1440, Stop::Kind::Right, Stop::Leader::Underline},
                               {2160, Stop::Kind::Decimal, Stop::Leader::None},
                               {2880, Stop::Kind::Left, Stop::Leader::Equals}};
    richtext::setTabStops(justified, stops);
    c.insertBlock(justified);
    c.insertText("a\tb\tc");
    richtext::Numbering numbering;
    numbering.style = richtext::Numbering::Style::UpperLetter;
    numbering.start = 2;
    numbering.suffix = ")";
    for (const char* item : {"first", "second"}) {
        c.insertBlock(QTextBlockFormat());
        richtext::makeNumbered(c, numbering, -360);
        QTextBlockFormat f = c.blockFormat();
        richtext::setLeftIndent(f, 360);
        c.setBlockFormat(f);
        c.insertText(item);
    }
    c.insertBlock(QTextBlockFormat());
    richtext::setBullet(c, true, 480);
    c.insertText("bullet");

    const QByteArray rtf = richtext::writeRtf(original);
    EXPECT_TRUE(rtf.contains("\\tqc\\tldot\\tx720\\tqr\\tlul\\tx1440\\tqdec\\tx2160\\tleq\\tx2880"))
        << rtf.toStdString();
    EXPECT_TRUE(rtf.contains("\\qj"));
    EXPECT_TRUE(rtf.contains("\\pnlvlbody")) << rtf.toStdString();
    QTextDocument reloaded;
    readBack(rtf, &reloaded);
    EXPECT_EQ(reloaded.toPlainText(), original.toPlainText());
    QTextCursor r(&reloaded);
    for (Underline kind : kinds) {
        r.setPosition(int(reloaded.toPlainText().indexOf(QString::number(int(kind)))) + 1);
        EXPECT_EQ(richtext::underline(r.charFormat()), kind) << int(kind);
    }
    const QTextBlock tabs = reloaded.findBlockByNumber(1);
    EXPECT_EQ(tabs.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    EXPECT_EQ(richtext::tabStops(tabs.blockFormat()), stops);
    for (int i : {2, 3}) {
        const QTextBlock item = reloaded.findBlockByNumber(i);
        EXPECT_TRUE(richtext::isNumbered(item)) << i;
        EXPECT_FALSE(richtext::hasBullet(item)) << i;
        EXPECT_EQ(richtext::numbering(item), numbering);
    }
    EXPECT_EQ(richtext::numberLabel(reloaded.findBlockByNumber(3)), "C)");
    EXPECT_TRUE(richtext::hasBullet(reloaded.findBlockByNumber(4)));
    // Saving what was read gives the same file again.
    EXPECT_EQ(richtext::writeRtf(reloaded), rtf);
}

// The entries of the font table, in order, as "charset name".
QStringList fontTable(const QByteArray& rtf) {
    QTextDocument probe;
    const qsizetype start = rtf.indexOf("{\\fonttbl");
    const qsizetype end = rtf.indexOf("}\n", start);
    QStringList entries;
    for (const QByteArray& entry : rtf.mid(start, end - start).split('{')) {
        const qsizetype charset = entry.indexOf("\\fcharset");
        if (charset < 0)
            continue;
        QByteArray rest = entry.mid(charset + 9);
        rest.chop(rest.endsWith(";}") ? 2 : 1);
        // The name is in the code page of the table: decode it as the reader would.
        const QByteArray probeRtf = "{\\rtf1\\ansicpg932 " + rest.mid(rest.indexOf(' ') + 1) + "}";
        readBack(probeRtf, &probe);
        entries.append(QString::fromLatin1(rest.left(rest.indexOf(' '))) + ' ' +
                       probe.toPlainText());
    }
    return entries;
}

TEST(RtfWriter, EachFontKeepsItsOwnCharacterSet) {
    // Text in the Symbol font and a bullet share one Symbol entry, declared in the symbol set;
    // a second entry of that name in the Japanese set would make the bullet byte a katakana.
    QTextDocument document;
    QFont qtDefault(QStringLiteral("Sans Serif"));
    qtDefault.setPointSize(9);
    document.setDefaultFont(qtDefault);
    QTextCursor c(&document);
    QTextCharFormat symbol;
    symbol.setFontFamilies({QStringLiteral("Symbol")});
    c.insertText(QString::fromUtf8("a•"), symbol);
    c.insertBlock();
    richtext::setBullet(c, true, 480);
    c.insertText(QString::fromUtf8("箇条"));
    const QByteArray rtf = richtext::writeRtf(document);
    EXPECT_EQ(fontTable(rtf), QStringList({QString::fromUtf8("128 ＭＳ Ｐゴシック"), "2 Symbol"}))
        << rtf.toStdString();
    // The bullet, and a bullet in the Symbol font, as U+2022 with the font's byte for readers
    // that skip \u.
    EXPECT_TRUE(rtf.contains("{\\pntext\\f1\\u8226\\'B7\\tab}")) << rtf.toStdString();
    EXPECT_TRUE(rtf.contains("\\pnf1\\pnindent0{\\pntxtb\\u8226\\'B7}}"));
    EXPECT_TRUE(rtf.contains("a\\u8226\\'B7}"));
    EXPECT_FALSE(rtf.contains("?\\'B7")) << "one fallback per character";
    // Qt's stand-in for "whatever the system has" is never saved as a font name.
    EXPECT_FALSE(rtf.contains("Sans Serif"));
    QTextDocument reloaded;
    readBack(rtf, &reloaded);
    EXPECT_EQ(reloaded.toPlainText(), document.toPlainText());
    // A reader that knows no \u finds the same in the Symbol font's bytes.
    QByteArray older = rtf;
    older.replace("\\u8226", "");
    readBack(older, &reloaded);
    EXPECT_EQ(reloaded.toPlainText(), document.toPlainText());
    EXPECT_TRUE(richtext::hasBullet(reloaded.lastBlock()));
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

namespace {

// The text a reader sees on a page, to compare with a document's: no white space (where lines
// break and how tabs are shown is the word processor's choice), and no characters beyond the
// Basic Multilingual Plane, which the fonts installed for the tests cannot draw (a page shows
// nothing for them).
QString visibleText(QString text) {
    text.removeIf([](QChar c) { return c.isSpace() || c.isSurrogate(); });
    return text;
}

} // namespace

// LibreOffice opens a saved document and prints it to PDF; the text of the PDF is what a reader
// of the page sees: every bullet a bullet (not the katakana its Symbol byte is in the Japanese
// code page), the Japanese text and the symbols as they were. LibreOffice's first start in a new
// profile takes a while; the test allows for it.
TEST(RtfWriter, AnotherWordProcessorReadsTheText) {
    const QString soffice = QStandardPaths::findExecutable("soffice");
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    ASSERT_FALSE(soffice.isEmpty())
        << "LibreOffice Writer (soffice) is missing; scripts/install-deps.sh installs it";
    ASSERT_FALSE(pdftotext.isEmpty())
        << "pdftotext (poppler-utils) is missing; scripts/install-deps.sh installs it";
    QTemporaryDir dir;
    QTextDocument document;
    buildFormattedDocument(&document);
    QTextCursor c(&document);
    c.movePosition(QTextCursor::End);
    c.insertBlock(QTextBlockFormat());
    richtext::setBullet(c, true, 480);
    c.insertText(QStringLiteral("second item"));
    c.insertBlock(QTextBlockFormat());
    QTextCharFormat symbol;
    symbol.setFontFamilies({QStringLiteral("Symbol")});
    c.insertText(QString::fromUtf8("記号 ①髙ｶﾅ ± × ÷ § ¶ © ® ™ «»"));
    c.insertText(QString::fromUtf8("•"), symbol);
    ASSERT_TRUE(richtext::saveDocument(dir.filePath("doc.rtf"), document));

    runTool(soffice,
            {"--headless", "--norestore", "-env:UserInstallation=file://" + dir.filePath("profile"),
             "--convert-to", "pdf", "--outdir", dir.path(), "doc.rtf"},
            dir.path(), 240000);
    ASSERT_TRUE(QFile::exists(dir.filePath("doc.pdf"))) << "LibreOffice made no PDF";
    const QString page = QString::fromUtf8(runTool(
        pdftotext, {"-layout", "-enc", "UTF-8", dir.filePath("doc.pdf"), "-"}, dir.path(), 60000));

    QString want;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        want += (richtext::hasBullet(block) ? QString::fromUtf8("•") : QString()) + block.text();
    EXPECT_EQ(visibleText(page).toStdString(), visibleText(want).toStdString());
    EXPECT_EQ(page.count(QString::fromUtf8("•")), 3) << "two bullets and one in the Symbol font";
    EXPECT_FALSE(page.contains(QChar(0xFF77))) << "a bullet read as the katakana ｷ";
}

TEST(RtfWriter, ThePageADocumentWasReadWithIsWrittenBack) {
    // As a word processor writes an A4 page with 2 cm margins.
    const QByteArray a4 =
        "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fcharset128 MS Mincho;}}"
        "\\paperw11906\\paperh16838\\margl1134\\margr1134\\margt1134\\margb1134"
        "\\viewkind4\\uc1\\pard A4\\par}";
    QTextDocument document;
    readBack(a4, &document);
    richtext::PageSetup want;
    want.paperWidth = 11906;
    want.paperHeight = 16838;
    want.marginLeft = want.marginRight = want.marginTop = want.marginBottom = 1134;
    EXPECT_EQ(richtext::pageSetup(document), want);
    const QByteArray rtf = richtext::writeRtf(document);
    EXPECT_TRUE(rtf.contains("\\paperw11906\\paperh16838\\margl1134\\margr1134\\margt1134"
                             "\\margb1134\n\\viewkind4"))
        << rtf.toStdString();
    QTextDocument again;
    readBack(rtf, &again);
    EXPECT_EQ(richtext::pageSetup(again), want);
    EXPECT_EQ(again.toPlainText(), "A4");

    // A page given only in part keeps that part; a zero margin is a margin.
    readBack("{\\rtf1 \\paperw12240\\margl0\\landscape x\\par}", &document);
    richtext::PageSetup part;
    part.paperWidth = 12240;
    part.marginLeft = 0;
    part.landscape = true;
    EXPECT_EQ(richtext::pageSetup(document), part);
    readBack(richtext::writeRtf(document), &again);
    EXPECT_EQ(richtext::pageSetup(again), part);

    // The first section's page is the one shown; a later section's cannot be kept apart.
    readBack("{\\rtf1 \\paperw12240\\paperh15840\\sectd\\pgwsxn11906\\pghsxn16838"
             "\\marglsxn1134 one\\par\\sect\\sectd\\lndscpsxn\\pgwsxn16838 two\\par}",
             &document);
    richtext::PageSetup section;
    section.paperWidth = 11906;
    section.paperHeight = 16838;
    section.marginLeft = 1134;
    EXPECT_EQ(richtext::pageSetup(document), section);

    // A document that names no page is saved without one, and reading it leaves none behind.
    readBack("{\\rtf1 plain\\par}", &document);
    EXPECT_TRUE(richtext::pageSetup(document).isEmpty());
    EXPECT_FALSE(richtext::writeRtf(document).contains("\\paperw"));
    EXPECT_FALSE(richtext::writeRtf(document).contains("\\margl"));
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
