#include "rtfwriter.h"

#include "core/cp932.h"
#include "core/richtext/paragraphstyle.h"

#include <QColor>
#include <QHash>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>

namespace richtext {
namespace {

QString familyOf(const QTextCharFormat& format, const QString& fallback) {
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.front().isEmpty())
        return families.front();
    return fallback;
}

bool hasColor(const QTextCharFormat& format) {
    return format.hasProperty(QTextFormat::ForegroundBrush) &&
           format.foreground().style() != Qt::NoBrush;
}

class Writer {
public:
    explicit Writer(const QTextDocument& document)
        : document_(document), defaultFamily_(document.defaultFont().family()) {
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
        out_ += "\\viewkind4\\uc1\n";
        out_ += body;
        out_ += "}\n";
        return out_;
    }

private:
    static int halfPointsOf(double points) {
        return points > 0 ? int(std::lround(points * 2)) : 24;
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
        if (needsSymbol_)
            symbolFont_ = int(fontOrder_.size());
    }

    void writeFontTable() {
        out_ += "{\\fonttbl";
        for (int i = 0; i < fontOrder_.size(); ++i) {
            out_ += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset128 ";
            writeText(out_, fontOrder_[i]);
            out_ += ";}";
        }
        if (needsSymbol_)
            out_ += "{\\f" + QByteArray::number(symbolFont_) + "\\fnil\\fcharset2 Symbol;}";
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
            const QByteArray symbol = QByteArray::number(symbolFont_);
            out += "{\\pntext\\f" + symbol + "\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf" + symbol +
                   "\\pnindent0{\\pntxtb\\'B7}}";
        }
        if (const int fi = firstLineIndentTwips(block))
            number(out, "\\fi", fi);
        if (const int li = leftIndentTwips(format))
            number(out, "\\li", li);
        if (const int ri = rightIndentTwips(format))
            number(out, "\\ri", ri);
        for (int tab : tabStopsTwips(format))
            number(out, "\\tx", tab);
        out += ' ';
        for (auto it = block.begin(); !it.atEnd(); ++it)
            writeRun(out, it.fragment());
        out += "\\par\n";
    }

    void writeRun(QByteArray& out, const QTextFragment& fragment) {
        const QTextCharFormat format = fragment.charFormat();
        const QByteArray font = QByteArray::number(fontIndex(familyOf(format, defaultFamily_)));
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
        if (format.fontUnderline())
            out += "\\ul";
        if (format.fontStrikeOut())
            out += "\\strike";
        if (hasColor(format))
            number(out, "\\cf", colorIndex(format.foreground().color()));
        out += ' ';
        writeText(out, fragment.text());
        out += '}';
    }

    static void writeUnicode(QByteArray& out, char16_t unit) {
        out += "\\u";
        out += QByteArray::number(unit > 0x7FFF ? int(unit) - 0x10000 : int(unit));
        out += '?';
    }

    static void writeText(QByteArray& out, const QString& text) {
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
            unsigned char bytes[2];
            const int n = cp932::encodeExact(c, bytes);
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
