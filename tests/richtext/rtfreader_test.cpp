// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/richtext/charstyle.h"
#include "core/richtext/paragraphstyle.h"
#include "core/richtext/rtfreader.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

struct Read {
    std::unique_ptr<QTextDocument> document = std::make_unique<QTextDocument>();
    bool ok = false;
    QString error;

    QString text() const { return document->toPlainText(); }
    QTextBlock block(int n) const { return document->findBlockByNumber(n); }
    // The character format of the first occurrence of piece.
    QTextCharFormat formatOf(const QString& piece) const {
        const int at = int(text().indexOf(piece));
        EXPECT_GE(at, 0) << piece.toStdString();
        QTextCursor c(document.get());
        c.setPosition(at + 1);
        return c.charFormat();
    }
};

Read read(QByteArrayView rtf) {
    Read r;
    richtext::RtfReader reader;
    r.ok = reader.read(rtf, r.document.get());
    r.error = reader.errorString();
    return r;
}

// Reads rtf, which must read without an error.
Read readCleanly(QByteArrayView rtf) {
    Read r = read(rtf);
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    return r;
}

QString family(const QTextCharFormat& f) {
    return f.fontFamilies().toStringList().value(0);
}

} // namespace

TEST(RtfReaderText, CodePageBytesJoinHoweverTheyArrive) {
    // あ split over two escapes, ア as an escaped lead with a raw trail, 表 with the trail byte
    // 5C escaped, ｶ as a single byte, and a lead byte followed by a line end the reader ignores.
    const Read r =
        readCleanly("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0\\'83A\\'95\\'5c\\'b6\\'82\r\n\\'a2}");
    EXPECT_EQ(r.text(), QString::fromUtf8("あア表ｶい"));
}

TEST(RtfReaderText, CodePageComesFromDocumentThenFontCharsetThenFontCodePage) {
    // No \ansicpg: bytes are CP932.
    EXPECT_EQ(read("{\\rtf1\\ansi \\'82\\'a0}").text(), QString::fromUtf8("あ"));
    // A Western font's bytes are Windows-1252; a \cpg932 overrides its charset.
    const Read r = read("{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset0 Arial;}"
                        "{\\f1\\fcharset0\\cpg932 X;}}\\f0 caf\\'e9 \\'80\\f1 \\'82\\'a0}");
    EXPECT_EQ(r.text(), QString::fromUtf8("café €あ"));
    // The bullet RichEdit draws in the Symbol font is not the katakana that 0xB7 is in CP932.
    const Read symbol = read("{\\rtf1{\\fonttbl{\\f1\\fcharset2 Symbol;}}{\\f1\\'b7}}");
    EXPECT_EQ(symbol.text(), QString(QChar(0x2022)));
}

TEST(RtfReaderText, UnicodeEscapesSkipTheirFallback) {
    // Signed surrogate halves with a '?' each; \uc2 with a double-byte fallback, back to 1 when
    // the group ends; \uc0; a brace ends the skipping early; a space delimits \u8482.
    const Read r = readCleanly("{\\rtf1\\uc1 \\u-10179?\\u-8704?{\\uc2\\u12354\\'82\\'a0}\\u12356?"
                               "\\uc0\\u55357\\uc1 \\u56832\\'3f{\\u8482 }x\\u8482 ?}");
    EXPECT_EQ(r.text(), QString::fromUtf8("😀あい😀™x™"));
}

TEST(RtfReaderText, OnlyBodyTextIsKept) {
    const Read r = readCleanly("{\\rtf1{\\info{\\title T}}{\\stylesheet{\\s0 Normal;}}"
                               "{\\*\\generator Gen;}{\\header H}{\\*\\unknowndest U}{\\pntext P}"
                               "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt Link}} "
                               "{\\pict\\pngblip 89504e47}{\\*\\bkmkstart b}\\unknownword Body}");
    EXPECT_EQ(r.text(), QStringLiteral("Link Body"));
}

TEST(RtfReaderText, ParagraphsLinesTabsAndSymbols) {
    const Read r = read("{\\rtf1 a\\tab b\\line c\\par\r\n\\par d\\~e\\emdash\\{\\}\\\\\\par}");
    ASSERT_EQ(r.document->blockCount(), 3);
    EXPECT_EQ(r.block(0).text(), QString("a\tb") + QChar::LineSeparator + "c");
    EXPECT_EQ(r.block(1).text(), QString());
    EXPECT_EQ(r.block(2).text(), QString("d") + QChar(0xA0) + "e" + QChar(0x2014) + "{}\\");
    // Text after the last \par makes one more paragraph.
    EXPECT_EQ(read("{\\rtf1 a\\par b}").document->blockCount(), 2);
}

TEST(RtfReaderFormats, CharacterFormatsAndTheirScope) {
    const Read r =
        readCleanly("{\\rtf1{\\fonttbl{\\f0\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be"
                    "\\'92\\'a9;}{\\f1 Arial;}}{\\colortbl;\\red0\\green128\\blue0;}"
                    "\\f1\\fs21 plain {\\b bold\\b0 notbold} {\\i\\ul it\\ulnone x}"
                    " {\\strike st} {\\cf1 green} {\\f0\\fs40 big}\\cf1\\b\\plain after}");
    EXPECT_EQ(family(r.formatOf("plain")), "Arial");
    EXPECT_EQ(r.formatOf("plain").fontPointSize(), 10.5);
    EXPECT_EQ(r.formatOf("bold").fontWeight(), QFont::Bold);
    EXPECT_EQ(r.formatOf("notbold").fontWeight(), QFont::Normal);
    EXPECT_TRUE(r.formatOf("it").fontItalic());
    EXPECT_TRUE(r.formatOf("it").fontUnderline());
    EXPECT_FALSE(r.formatOf("x").fontUnderline());
    EXPECT_TRUE(r.formatOf("st").fontStrikeOut());
    EXPECT_EQ(r.formatOf("green").foreground().color(), QColor(0, 128, 0));
    EXPECT_FALSE(r.formatOf("plain").hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(family(r.formatOf("big")), QString::fromUtf8("ＭＳ 明朝"));
    EXPECT_EQ(r.formatOf("big").fontPointSize(), 20);
    // \plain returns to the default font (\deff0) and size, not bold, automatic colour.
    EXPECT_EQ(r.formatOf("after").fontWeight(), QFont::Normal);
    EXPECT_EQ(r.formatOf("after").fontPointSize(), 12);
    EXPECT_FALSE(r.formatOf("after").hasProperty(QTextFormat::ForegroundBrush));
}

TEST(RtfReaderFormats, FontNamesInUnicodeKeepTheirCharactersInOrder) {
    // A name wholly in \u with its fallback, and one that mixes code-page bytes, Unicode and
    // plain letters; the fallback is skipped as in text.
    const Read r =
        readCleanly("{\\rtf1\\ansicpg932{\\fonttbl{\\f0\\fcharset128 \\uc1\\u65325?\\u65331? "
                    "\\u65328?\\u12468?\\u12471?\\u12483?\\u12463?;}{\\f1\\fcharset128 "
                    "\\'82\\'6c\\u12471?\\uc2\\u12463\\'83\\'4e X;}}"
                    "{\\f0 one}{\\f1 two}}");
    EXPECT_EQ(r.text(), "onetwo");
    EXPECT_EQ(family(r.formatOf("one")), QString::fromUtf8("ＭＳ Ｐゴシック"));
    EXPECT_EQ(family(r.formatOf("two")), QString::fromUtf8("Ｍシク X"));
}

TEST(RtfReaderFormats, DoubleByteTextTakesTheAssociatedFormat) {
    // One word processor gives Japanese text its own font, size and bold with \dbch and \af,
    // \afs, \ab, and Latin text with \loch and the plain words; right-to-left ones are ignored.
    const Read r = read("{\\rtf1{\\fonttbl{\\f0 Latin;}{\\f1 Japan;}{\\f2 Rtl;}}"
                        "\\rtlch\\af2\\afs40\\ab \\ltrch\\loch\\f0\\fs20\\dbch\\af1\\afs30"
                        "{\\dbch\\ab\\u26085\\'3f}{\\loch lat}}");
    EXPECT_EQ(family(r.formatOf(QString::fromUtf8("日"))), "Japan");
    EXPECT_EQ(r.formatOf(QString::fromUtf8("日")).fontPointSize(), 15);
    EXPECT_EQ(r.formatOf(QString::fromUtf8("日")).fontWeight(), QFont::Bold);
    EXPECT_EQ(family(r.formatOf("lat")), "Latin");
    EXPECT_EQ(r.formatOf("lat").fontPointSize(), 10);
    EXPECT_EQ(r.formatOf("lat").fontWeight(), QFont::Normal);
}

TEST(RtfReaderFormats, ParagraphFormatsLastUntilPard) {
    const Read r = read("{\\rtf1\\pard\\qc\\li480\\fi-240\\ri120\\tx480\\tx960 one\\par two\\par"
                        "\\pard\\qr three\\par\\pard\\qj four\\par}");
    ASSERT_EQ(r.document->blockCount(), 4);
    for (int i : {0, 1}) {
        const QTextBlock b = r.block(i);
        EXPECT_EQ(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        EXPECT_EQ(richtext::leftIndentTwips(b.blockFormat()), 480);
        EXPECT_EQ(richtext::firstLineIndentTwips(b), -240);
        EXPECT_EQ(richtext::rightIndentTwips(b.blockFormat()), 120);
        EXPECT_EQ(richtext::tabStopsTwips(b.blockFormat()), QList<int>({480, 960}));
    }
    EXPECT_EQ(r.block(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(richtext::leftIndentTwips(r.block(2).blockFormat()), 0);
    EXPECT_TRUE(richtext::tabStopsTwips(r.block(2).blockFormat()).isEmpty());
    EXPECT_EQ(r.block(3).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
}

TEST(RtfReaderFormats, BothBulletFormsMakeBulletedParagraphs) {
    const Read r =
        read("{\\rtf1{\\fonttbl{\\f1\\fcharset2 Symbol;}}"
             "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'B7}}"
             "\\fi-480\\li480 a\\par{\\pntext\\f1\\'B7\\tab}b\\par\\pard c\\par"
             "{\\listtext\\pard\\plain \\u8226\\'95\\tab}\\ilvl0\\ls1\\li480\\fi-480 d\\par"
             "\\pard e\\par}");
    ASSERT_EQ(r.document->blockCount(), 5);
    EXPECT_EQ(r.text(), QStringLiteral("a\nb\nc\nd\ne"));
    const bool bullets[] = {true, true, false, true, false};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(richtext::hasBullet(r.block(i)), bullets[i]) << i;
    EXPECT_EQ(richtext::leftIndentTwips(r.block(1).blockFormat()), 480);
    EXPECT_EQ(richtext::firstLineIndentTwips(r.block(1)), -480);
    EXPECT_EQ(richtext::firstLineIndentTwips(r.block(2)), 0);
}

TEST(RtfReaderFormats, NumberedParagraphsAreNotBullets) {
    // RichEdit's numbering: only the first item carries the \pn group; an outline level counts.
    const Read re = read(
        "{\\rtf1\\ansicpg932{\\fonttbl{\\f0\\fcharset128 X;}}"
        "\\pard{\\pntext\\f0 3)\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart3"
        "\\pnlcrm{\\pntxtb (}{\\pntxta )}}\\fi-360\\li360 one\\par{\\pntext\\f0 4)\\tab}two\\par"
        "\\pard{\\pntext\\f0 1.\\tab}{\\*\\pn\\pnlvl1\\pndec}x\\par"
        "\\pard plain\\par}");
    ASSERT_EQ(re.document->blockCount(), 4);
    EXPECT_EQ(re.text(), QStringLiteral("one\ntwo\nx\nplain"));
    for (int i : {0, 1, 2}) {
        EXPECT_TRUE(richtext::isNumbered(re.block(i))) << i;
        EXPECT_FALSE(richtext::hasBullet(re.block(i))) << i;
    }
    EXPECT_FALSE(richtext::isNumbered(re.block(3)));
    EXPECT_EQ(richtext::numberLabel(re.block(0)), "(iii)");
    EXPECT_EQ(richtext::numberLabel(re.block(1)), "(iv)");
    EXPECT_EQ(richtext::numberLabel(re.block(2)), "1.");
    EXPECT_EQ(richtext::firstLineIndentTwips(re.block(1)), -360);
    EXPECT_EQ(richtext::leftIndentTwips(re.block(1).blockFormat()), 360);

    // Word's and LibreOffice's list table: the level's number format tells numbers from bullets.
    const Read lo =
        read("{\\rtf1{\\*\\listtable{\\list\\listtemplateid7{\\listlevel\\levelnfc4\\levelstartat2"
             "{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}}{\\listname ;}\\listid11}"
             "{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}}\\listid12}}"
             "{\\*\\listoverridetable{\\listoverride\\listid12\\listoverridecount0\\ls1}"
             "{\\listoverride\\listid11\\listoverridecount0\\ls2}}"
             "{\\listtext b.\\tab}\\pard\\ilvl0\\ls2\\li720\\fi-360 n\\par"
             "{\\listtext \\u8226 ?\\tab}\\pard\\ls1\\li720\\fi-360 b\\par}");
    ASSERT_EQ(lo.document->blockCount(), 2);
    EXPECT_EQ(lo.text(), QStringLiteral("n\nb"));
    EXPECT_TRUE(richtext::isNumbered(lo.block(0)));
    EXPECT_EQ(richtext::numberLabel(lo.block(0)), "b.");
    EXPECT_TRUE(richtext::hasBullet(lo.block(1)));
}

TEST(RtfReaderFormats, UnderlineKindsAndTabStopKinds) {
    const Read r = read("{\\rtf1 {\\ulwave w}{\\uld d}{\\uldash h}{\\uldb b}{\\ulth t}{\\ul s}"
                        "{\\ulwave\\ulnone n}{\\uldb\\ul0 z}\\par"
                        "\\pard\\tqc\\tldot\\tx2000\\tqr\\tx4000\\tqdec\\tlhyph\\tx5000\\tb6000"
                        "\\tx7000 tabs\\par}");
    using richtext::Underline;
    const std::pair<const char*, Underline> kinds[] = {
        {"w", Underline::Wave},   {"d", Underline::Dotted}, {"h", Underline::Dashed},
        {"b", Underline::Double}, {"t", Underline::Thick},  {"s", Underline::Single},
        {"n", Underline::None},   {"z", Underline::None}};
    for (const auto& [piece, kind] : kinds)
        EXPECT_EQ(richtext::underline(r.formatOf(piece)), kind) << piece;
    EXPECT_EQ(r.formatOf("w").underlineStyle(), QTextCharFormat::WaveUnderline);
    EXPECT_EQ(r.formatOf("d").underlineStyle(), QTextCharFormat::DotLine);

    using Stop = richtext::TabStop;
    const QList<Stop> want = {{2000, Stop::Kind::Center, Stop::Leader::Dots},
                              {4000, Stop::Kind::Right, Stop::Leader::None},
                              {5000, Stop::Kind::Decimal, Stop::Leader::Hyphens},
                              {7000, Stop::Kind::Left, Stop::Leader::None}};
    EXPECT_EQ(richtext::tabStops(r.block(1).blockFormat()), want);
}

// Damaged input: the reader keeps what it can, says what was wrong, and never hangs or crashes.
TEST(RtfReaderDamaged, UnbalancedBraces) {
    const Read missing = read("{\\rtf1 kept {\\b bold");
    EXPECT_FALSE(missing.ok);
    EXPECT_TRUE(missing.error.contains(QStringLiteral("閉じ括弧"))) << missing.error.toStdString();
    EXPECT_EQ(missing.text(), "kept bold");
    // Extra closing braces and bytes after the end are not part of the document.
    const Read extra = read("{\\rtf1 text}}} trailing");
    EXPECT_TRUE(extra.ok);
    EXPECT_EQ(extra.text(), "text");
}

TEST(RtfReaderDamaged, TruncatedAndBadEscapes) {
    for (const char* rtf : {"{\\rtf1 a\\'4", "{\\rtf1 a\\'zzb}", "{\\rtf1 a\\", "{\\rtf1 a\\'"}) {
        SCOPED_TRACE(rtf);
        const Read r = read(rtf);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.text().startsWith('a'));
    }
    // A lead byte with no trail byte is not dropped silently.
    const Read lead = read("{\\rtf1 x\\'82}");
    EXPECT_FALSE(lead.ok);
    EXPECT_EQ(lead.text(), QString("x") + QChar::ReplacementCharacter);
}

TEST(RtfReaderDamaged, HugeNumbersAreClamped) {
    const Read r = read("{\\rtf1\\fs99999999999999999999\\li-99999999999999999999"
                        "\\tx999999999999\\uc99999999999\\cf99999999999\\f99999999999 a"
                        "\\u99999999999 b\\bin99999999999999}");
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.text().startsWith('a'));
    EXPECT_GT(r.formatOf("a").fontPointSize(), 0);
    EXPECT_GE(richtext::leftIndentTwips(r.block(0).blockFormat()), -31680);
}

TEST(RtfReaderDamaged, DeepNestingEndsQuickly) {
    QElapsedTimer timer;
    timer.start();
    const QByteArray deep =
        "{\\rtf1 a" + QByteArray(200000, '{') + "b" + QByteArray(200000, '}') + "}";
    const Read r = read(deep);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains(QStringLiteral("入れ子"))) << r.error.toStdString();
    EXPECT_TRUE(r.text().startsWith('a'));
    const Read open = read("{\\rtf1 a" + QByteArray(200000, '{'));
    EXPECT_FALSE(open.ok);
    EXPECT_LT(timer.elapsed(), 5000);
}

TEST(RtfReaderDamaged, BinaryData) {
    // \bin data is skipped however it looks, and data running past the end is reported.
    const Read bin = read(QByteArray("{\\rtf1 a{\\pict\\bin4 }}{{}b}", 28));
    EXPECT_TRUE(bin.ok) << bin.error.toStdString();
    EXPECT_EQ(bin.text(), "ab");
    EXPECT_FALSE(read("{\\rtf1 a\\bin100 xy}").ok);
    // Random bytes after a valid start: whatever comes out, the reader finishes.
    QRandomGenerator random(42);
    for (int round = 0; round < 50; ++round) {
        QByteArray junk = "{\\rtf1 ";
        for (int i = 0; i < 2000; ++i)
            junk.append(char(random.bounded(256)));
        read(junk);
    }
    // Not RTF at all.
    const Read none = read("plain text");
    EXPECT_FALSE(none.ok);
    EXPECT_EQ(read("").document->blockCount(), 1);
}
