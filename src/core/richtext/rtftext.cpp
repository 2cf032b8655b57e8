// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/richtext/twips.h"
#include "core/text/cp932.h"
#include "rtfparser.h"

#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

namespace richtext::rtf {

void Parser::textByte(unsigned char b, bool escaped) {
    if (skipCount_ > 0) {
        --skipCount_;
        return;
    }
    state().atGroupStart = false;
    switch (state().dest) {
    case Destination::Skip:
    case Destination::ListTable:
    case Destination::ListOverrideTable:
    case Destination::Numbering:
        return;
    case Destination::NumberingBefore:
    case Destination::NumberingAfter:
        if (numberingText_.size() < 64)
            numberingText_.append(char(b));
        return;
    case Destination::ColorTable:
        if (b == ';') {
            colors_.append(colorStarted_ ? pendingColor_ : QColor());
            pendingColor_ = QColor(0, 0, 0);
            colorStarted_ = false;
        }
        return;
    case Destination::FontTable:
        fontName_.append(char(b));
        if (b == ';' && !escaped)
            finishFont();
        return;
    case Destination::Body:
        break;
    }
    if (b == '\t' && !escaped) {
        flushBytes();
        appendText(QChar(u'\t'));
        return;
    }
    if (b < 0x20 && !escaped)
        return; // stray control bytes are not text
    bytes_.append(char(b));
}

void Parser::unicodeChar(int n) {
    int unit = n < 0 ? n + 65536 : n;
    if (unit < 0 || unit > 0xFFFF) {
        fail(QStringLiteral("\\u の文字コードが範囲外です。"));
        unit = 0xFFFD;
    }
    if (state().dest == Destination::FontTable) {
        // A name may mix code-page bytes and Unicode characters; they keep their order.
        fontNameText_ += decodeBytes(fontName_, fontEntryCodepage());
        fontName_.clear();
        fontNameText_.append(QChar(char16_t(unit)));
    } else if (state().dest == Destination::Body) {
        appendText(QChar(char16_t(unit)));
    }
    skipCount_ = state().unicodeSkip;
}

QString Parser::decodeBytes(const QByteArray& raw, Codepage codepage) {
    if (codepage == Codepage::Cp932) {
        bool ok = true;
        QString text = cp932::decode(raw, &ok);
        if (!ok)
            fail(QStringLiteral(
                "シフトJIS（コードページ932）の文字として読めないバイトがあります。"));
        return text;
    }
    QString text;
    text.reserve(raw.size());
    for (char c : raw) {
        const auto b = static_cast<unsigned char>(c);
        text.append(codepage == Codepage::Symbol && b == 0xB7 ? QChar(0x2022) : cp1252Char(b));
    }
    return text;
}

const ScriptFormat& Parser::displayed(const GroupState& s) const {
    return s.textScript == Script::Dbch ? s.japanese : s.latin;
}

Codepage Parser::currentCodepage() const {
    return states_.back().dest == Destination::FontTable ? fontEntryCodepage() : textCodepage();
}

Codepage Parser::textCodepage() const {
    const int font = displayed(states_.back()).font;
    const auto it = fonts_.find(font < 0 ? defaultFont_ : font);
    return it == fonts_.end() ? documentCodepage_ : it->second.codepage;
}

void Parser::flushBytes() {
    if (bytes_.isEmpty())
        return;
    const QString text = decodeBytes(bytes_, textCodepage());
    bytes_.clear();
    appendText(text);
}

RunKey Parser::currentKey() const {
    const GroupState& s = states_.back();
    const ScriptFormat& f = displayed(s);
    return RunKey{f.font < 0 ? defaultFont_ : f.font,
                  f.halfPoints,
                  f.bold,
                  f.italic,
                  s.underline,
                  s.strike,
                  s.color};
}

void Parser::appendText(const QString& text) {
    if (state().dest != Destination::Body || text.isEmpty())
        return;
    cellEndedLast_ = false;
    const RunKey key = currentKey();
    if (runs_.empty() || runs_.back().key != key)
        runs_.push_back(Run{key, QString()});
    runs_.back().text += text;
}

void Parser::appendText(QChar c) {
    appendText(QString(c));
}

QTextCharFormat Parser::charFormat(const RunKey& key) {
    const auto it = formats_.find(key);
    if (it != formats_.end())
        return it->second;
    QTextCharFormat format;
    const auto font = fonts_.find(key.font);
    if (font != fonts_.end() && !font->second.name.isEmpty())
        format.setFontFamilies({font->second.name});
    format.setFontPointSize(key.halfPoints / 2.0);
    format.setFontWeight(key.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(key.italic);
    setUnderline(format, key.underline);
    format.setFontStrikeOut(key.strike);
    if (key.color >= 0 && key.color < colors_.size() && colors_[key.color].isValid())
        format.setForeground(colors_[key.color]);
    formats_.emplace(key, format);
    return format;
}

QTextBlockFormat Parser::blockFormat(const ParagraphProps& p) const {
    QTextBlockFormat format;
    format.setAlignment(p.align);
    setLeftIndent(format, p.left);
    setRightIndent(format, p.right);
    if (p.list == ListKind::None)
        format.setTextIndent(twips::toLayout(p.first));
    setTabStops(format, p.tabs);
    return format;
}

void Parser::endParagraph() {
    flushBytes();
    if (state().dest != Destination::Body)
        return;
    writeParagraph();
}

// A table row reads as one paragraph with its cells separated by tabs: the tab that ended the
// last cell separates nothing and goes.
void Parser::endRow() {
    flushBytes();
    if (cellEndedLast_ && !runs_.empty() && runs_.back().text.endsWith(u'\t')) {
        runs_.back().text.chop(1);
        if (runs_.back().text.isEmpty())
            runs_.pop_back();
    }
    cellEndedLast_ = false;
    endParagraph();
}

void Parser::writeParagraph() {
    const ParagraphProps& p = state().para;
    const QTextCharFormat firstFormat =
        charFormat(runs_.empty() ? currentKey() : runs_.front().key);
    if (paragraphs_ == 0) {
        cursor_.setBlockFormat(blockFormat(p));
        cursor_.setBlockCharFormat(firstFormat);
    } else {
        cursor_.insertBlock(blockFormat(p), firstFormat);
    }
    ParagraphProps props = p;
    if (props.listOverride > 0)
        resolveListTable(props);
    if (props.list == ListKind::Bullet)
        makeBulleted(cursor_, props.first);
    else if (props.list == ListKind::Numbered)
        makeNumbered(cursor_, props.numbering, props.first);
    for (const Run& run : runs_)
        cursor_.insertText(run.text, charFormat(run.key));
    runs_.clear();
    ++paragraphs_;
}

void Parser::endDocument() {
    // The last \par ends the last paragraph; only text after it makes one more.
    if (!runs_.empty() || paragraphs_ == 0)
        writeParagraph();
}

} // namespace richtext::rtf
