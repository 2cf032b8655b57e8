// SPDX-License-Identifier: GPL-3.0-or-later
#include "rtfwriter.h"

#include "core/richtext/charstyle.h"
#include "core/richtext/pagesetup.h"
#include "core/richtext/paragraphstyle.h"
#include "core/text/cp932.h"

#include <QColor>
#include <QHash>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>

namespace richtext {
namespace {

// Qt's names for whatever font the system offers mean nothing to another word processor; such
// text is saved in the editor's own default font.
QString savedFamily(const QString& family) {
    // Fontconfig's aliases, which Qt reports when it was given no real font.
    static const QStringList generic = {QStringLiteral("Sans Serif"), QStringLiteral("Sans"),
                                        QStringLiteral("sans-serif"), QStringLiteral("Serif"),
                                        QStringLiteral("Monospace")};
    if (family.trimmed().isEmpty() || generic.contains(family, Qt::CaseInsensitive))
        return defaultFontFamily();
    return family;
}

QString familyOf(const QTextCharFormat& format, const QString& fallback) {
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.front().isEmpty())
        return savedFamily(families.front());
    return fallback;
}

// Fonts whose characters are pictures, not letters: their character set is the symbol set, and
// text in them is written as Unicode, never as code-page bytes.
bool isSymbolFont(const QString& family) {
    static const QStringList fonts = {QStringLiteral("Symbol"),      QStringLiteral("Wingdings"),
                                      QStringLiteral("Wingdings 2"), QStringLiteral("Wingdings 3"),
                                      QStringLiteral("Webdings"),    QStringLiteral("Marlett"),
                                      QStringLiteral("MT Extra")};
    return fonts.contains(family, Qt::CaseInsensitive);
}

const char* underlineWord(Underline kind) {
    switch (kind) {
    case Underline::None:
        return "";
    case Underline::Single:
        return "\\ul";
    case Underline::Words:
        return "\\ulw";
    case Underline::Double:
        return "\\uldb";
    case Underline::Thick:
        return "\\ulth";
    case Underline::Dotted:
        return "\\uld";
    case Underline::Dashed:
        return "\\uldash";
    case Underline::DashDot:
        return "\\uldashd";
    case Underline::DashDotDot:
        return "\\uldashdd";
    case Underline::LongDash:
        return "\\ulldash";
    case Underline::Wave:
        return "\\ulwave";
    case Underline::DoubleWave:
        return "\\ululdbwave";
    case Underline::HeavyWave:
        return "\\ulhwave";
    case Underline::ThickDotted:
        return "\\ulthd";
    case Underline::ThickDashed:
        return "\\ulthdash";
    case Underline::ThickDashDot:
        return "\\ulthdashd";
    case Underline::ThickDashDotDot:
        return "\\ulthdashdd";
    case Underline::ThickLongDash:
        return "\\ulthldash";
    }
    return "";
}

const char* leaderWord(TabStop::Leader leader) {
    switch (leader) {
    case TabStop::Leader::None:
        return "";
    case TabStop::Leader::Dots:
        return "\\tldot";
    case TabStop::Leader::MiddleDots:
        return "\\tlmdot";
    case TabStop::Leader::Hyphens:
        return "\\tlhyph";
    case TabStop::Leader::Underline:
        return "\\tlul";
    case TabStop::Leader::ThickLine:
        return "\\tlth";
    case TabStop::Leader::Equals:
        return "\\tleq";
    }
    return "";
}

const char* tabKindWord(TabStop::Kind kind) {
    switch (kind) {
    case TabStop::Kind::Left:
        return "";
    case TabStop::Kind::Center:
        return "\\tqc";
    case TabStop::Kind::Right:
        return "\\tqr";
    case TabStop::Kind::Decimal:
        return "\\tqdec";
    }
    return "";
}

const char* numberStyleWord(Numbering::Style style) {
    switch (style) {
    case Numbering::Style::Decimal:
        return "\\pndec";
    case Numbering::Style::LowerLetter:
        return "\\pnlcltr";
    case Numbering::Style::UpperLetter:
        return "\\pnucltr";
    case Numbering::Style::LowerRoman:
        return "\\pnlcrm";
    case Numbering::Style::UpperRoman:
        return "\\pnucrm";
    }
    return "\\pndec";
}

// A bullet in the Symbol font: U+2022, then the font's own bullet byte as the one fallback unit
// (\uc1) for readers without Unicode.
constexpr char BulletChar[] = "\\u8226\\'B7";

bool hasColor(const QTextCharFormat& format) {
    return format.hasProperty(QTextFormat::ForegroundBrush) &&
           format.foreground().style() != Qt::NoBrush;
}

class Writer {
public:
    explicit Writer(const QTextDocument& document)
        : document_(document), defaultFamily_(savedFamily(document.defaultFont().family())) {
        defaultHalfPoints_ = halfPointsOf(document.defaultFont().pointSizeF());
        fontIndex(defaultFamily_);
    }

    QByteArray write() {
        collectTables();
        QByteArray body;
        body.reserve(document_.characterCount() * 5);
        for (QTextBlock block = document_.begin(); block.isValid(); block = block.next())
            writeParagraph(body, block);

        out_.reserve(body.size() + 1024);
        out_ += "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041\n";
        writeFontTable();
        writeColorTable();
        writePageSetup();
        out_ += "\\viewkind4\\uc1\n";
        out_ += body;
        out_ += "}\n";
        return out_;
    }

private:
    static int halfPointsOf(double points) {
        return points > 0 ? int(std::lround(points * 2)) : int(defaultFontPointSize() * 2);
    }

    int fontIndex(const QString& family) {
        const auto it = fonts_.constFind(family);
        if (it != fonts_.cend())
            return *it;
        const int index = int(fontOrder_.size());
        fonts_.insert(family, index);
        fontOrder_.append(family);
        return index;
    }

    int colorIndex(const QColor& color) {
        const QRgb rgb = color.rgb() & 0xFFFFFF;
        const auto it = colors_.constFind(rgb);
        if (it != colors_.cend())
            return *it;
        const int index = int(colorOrder_.size()) + 1; // entry 0 is the automatic colour
        colors_.insert(rgb, index);
        colorOrder_.append(rgb);
        return index;
    }

    void collectTables() {
        for (QTextBlock block = document_.begin(); block.isValid(); block = block.next()) {
            if (hasBullet(block))
                needsSymbol_ = true;
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                fontIndex(familyOf(format, defaultFamily_));
                if (hasColor(format))
                    colorIndex(format.foreground().color());
            }
        }
        // The bullet's font is the Symbol entry of the table, shared with text in that font.
        if (needsSymbol_)
            symbolFont_ = fontIndex(QStringLiteral("Symbol"));
    }

    void writeFontTable() {
        out_ += "{\\fonttbl";
        for (int i = 0; i < fontOrder_.size(); ++i) {
            // Each font keeps its own character set: the symbol set for symbol fonts (a bullet
            // byte read in the Japanese set is a katakana), the Japanese set for the rest,
            // whose text is written in it.
            const bool symbol = isSymbolFont(fontOrder_[i]);
            out_ += "{\\f" + QByteArray::number(i) +
                    (symbol ? "\\fnil\\fcharset2 " : "\\fnil\\fcharset128 ");
            writeText(out_, fontOrder_[i]);
            out_ += ";}";
        }
        out_ += "}\n";
    }

    void writeColorTable() {
        if (colorOrder_.isEmpty())
            return;
        out_ += "{\\colortbl ;";
        for (QRgb rgb : colorOrder_) {
            out_ += "\\red" + QByteArray::number(qRed(rgb)) + "\\green" +
                    QByteArray::number(qGreen(rgb)) + "\\blue" + QByteArray::number(qBlue(rgb)) +
                    ';';
        }
        out_ += "}\n";
    }

    // Only what the document was read with: a document that gave no page leaves the choice to
    // the reader, as before.
    void writePageSetup() {
        const PageSetup page = pageSetup(document_);
        if (page.isEmpty())
            return;
        const std::pair<const char*, int> values[] = {
            {"\\paperw", page.paperWidth}, {"\\paperh", page.paperHeight},
            {"\\margl", page.marginLeft},  {"\\margr", page.marginRight},
            {"\\margt", page.marginTop},   {"\\margb", page.marginBottom}};
        for (const auto& [word, value] : values) {
            if (value >= 0)
                number(out_, word, value);
        }
        if (page.landscape)
            out_ += "\\landscape";
        out_ += '\n';
    }

    static void number(QByteArray& out, const char* word, int value) {
        out += word;
        out += QByteArray::number(value);
    }

    void writeParagraph(QByteArray& out, const QTextBlock& block) {
        const QTextBlockFormat format = block.blockFormat();
        out += "\\pard";
        const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
        if (align & Qt::AlignHCenter)
            out += "\\qc";
        else if (align & Qt::AlignRight)
            out += "\\qr";
        else if (align & Qt::AlignJustify)
            out += "\\qj";
        if (hasBullet(block)) {
            // The bullet as a Unicode character for readers that know \u, and the Symbol font's
            // bullet byte for those that skip it. The byte alone is read in the document's code
            // page by some, which makes it a katakana.
            const QByteArray symbol = QByteArray::number(symbolFont_);
            out += "{\\pntext\\f" + symbol + BulletChar + "\\tab}{\\*\\pn\\pnlvlblt\\pnf" + symbol +
                   "\\pnindent0{\\pntxtb" + BulletChar + "}}";
        } else if (isNumbered(block)) {
            // The label as drawn, for readers without lists, then the numbering itself.
            const Numbering n = numbering(block);
            out += "{\\pntext\\f0 ";
            writeText(out, numberLabel(block));
            out += "\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0";
            number(out, "\\pnstart", n.start);
            out += numberStyleWord(n.style);
            if (!n.prefix.isEmpty()) {
                out += "{\\pntxtb ";
                writeText(out, n.prefix);
                out += '}';
            }
            if (!n.suffix.isEmpty()) {
                out += "{\\pntxta ";
                writeText(out, n.suffix);
                out += '}';
            }
            out += '}';
        }
        if (const int fi = firstLineIndentTwips(block))
            number(out, "\\fi", fi);
        if (const int li = leftIndentTwips(format))
            number(out, "\\li", li);
        if (const int ri = rightIndentTwips(format))
            number(out, "\\ri", ri);
        for (const TabStop& tab : tabStops(format)) {
            out += tabKindWord(tab.kind);
            out += leaderWord(tab.leader);
            number(out, "\\tx", tab.twips);
        }
        out += ' ';
        for (auto it = block.begin(); !it.atEnd(); ++it)
            writeRun(out, it.fragment());
        out += "\\par\n";
    }

    void writeRun(QByteArray& out, const QTextFragment& fragment) {
        const QTextCharFormat format = fragment.charFormat();
        const QString family = familyOf(format, defaultFamily_);
        const QByteArray font = QByteArray::number(fontIndex(family));
        const double points = format.fontPointSize();
        const QByteArray size =
            QByteArray::number(points > 0 ? halfPointsOf(points) : defaultHalfPoints_);
        const bool bold = format.fontWeight() >= QFont::DemiBold;
        const bool italic = format.fontItalic();
        // Double-byte text takes its font, size, bold and italic from the associated words in
        // some word processors, Latin text from the plain ones; both say the same here.
        out += "{\\dbch\\af" + font + "\\afs" + size;
        if (bold)
            out += "\\ab";
        if (italic)
            out += "\\ai";
        out += "\\loch\\f" + font + "\\fs" + size;
        if (bold)
            out += "\\b";
        if (italic)
            out += "\\i";
        out += underlineWord(underline(format));
        if (format.fontStrikeOut())
            out += "\\strike";
        if (hasColor(format))
            number(out, "\\cf", colorIndex(format.foreground().color()));
        out += ' ';
        writeText(out, fragment.text(), isSymbolFont(family));
        out += '}';
    }

    static void writeUnicode(QByteArray& out, char16_t unit) {
        out += "\\u";
        out += QByteArray::number(unit > 0x7FFF ? int(unit) - 0x10000 : int(unit));
        out += '?';
    }

    static void writeText(QByteArray& out, const QString& text, bool unicodeOnly = false) {
        static constexpr char hex[] = "0123456789abcdef";
        for (QChar qc : text) {
            const char16_t c = qc.unicode();
            if (c < 0x80) {
                if (c == '\\' || c == '{' || c == '}') {
                    out += '\\';
                    out += char(c);
                } else if (c == '\t') {
                    out += "\\tab ";
                } else if (c >= 0x20) {
                    out += char(c);
                }
                continue;
            }
            if (c == QChar::LineSeparator) {
                out += "\\line ";
                continue;
            }
            if (c == QChar::Nbsp) {
                out += "\\~";
                continue;
            }
            if (c == QChar::ObjectReplacementCharacter)
                continue;
            if (unicodeOnly && c == 0x2022) {
                out += BulletChar;
                continue;
            }
            unsigned char bytes[2];
            const int n = unicodeOnly ? 0 : cp932::encodeExact(c, bytes);
            if (n == 0) {
                writeUnicode(out, c);
                continue;
            }
            for (int i = 0; i < n; ++i) {
                out += "\\'";
                out += hex[bytes[i] >> 4];
                out += hex[bytes[i] & 0xF];
            }
        }
    }

    const QTextDocument& document_;
    QString defaultFamily_;
    int defaultHalfPoints_ = 24;
    QHash<QString, int> fonts_;
    QStringList fontOrder_;
    QHash<QRgb, int> colors_;
    QList<QRgb> colorOrder_;
    bool needsSymbol_ = false;
    int symbolFont_ = 0;
    QByteArray out_;
};

} // namespace

QByteArray writeRtf(const QTextDocument& document) {
    return Writer(document).write();
}

} // namespace richtext
