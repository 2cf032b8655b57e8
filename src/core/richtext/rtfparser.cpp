// SPDX-License-Identifier: GPL-3.0-or-later
#include "rtfparser.h"

#include "core/text/cp932.h"

#include <QTextDocument>
#include <algorithm>
#include <cstdint>

namespace richtext::rtf {

QChar cp1252Char(unsigned char b) {
    // The 0x80-0x9F row is where Windows-1252 differs from Latin-1.
    static constexpr char16_t row8x9x[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    if (b >= 0x80 && b <= 0x9F)
        return QChar(row8x9x[b - 0x80]);
    return QChar(char16_t(b));
}

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    return (c | 0x20) - 'a' + 10;
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Groups whose content is never document text, whether or not the writer marked them with \*.
bool isSkippedDestination(QByteArrayView word) {
    static const QList<QByteArrayView> words = {"stylesheet", "info",
                                                "header",     "headerl",
                                                "headerr",    "headerf",
                                                "footer",     "footerl",
                                                "footerr",    "footerf",
                                                "pict",       "footnote",
                                                "pntext",     "listtext",
                                                "fldinst",    "object",
                                                "xe",         "tc",
                                                "txe",        "rxe",
                                                "themedata",  "colorschememapping",
                                                "datastore",  "latentstyles",
                                                "listtable",  "listoverridetable",
                                                "rsidtbl",    "generator",
                                                "nonshppict", "shppict",
                                                "shp",        "upr",
                                                "revtbl",     "annotation",
                                                "atnid",      "atnauthor",
                                                "author",     "operator",
                                                "title",      "subject",
                                                "keywords",   "comment",
                                                "doccomm",    "company",
                                                "buptim",     "creatim",
                                                "revtim",     "printim",
                                                "bkmkstart",  "bkmkend",
                                                "pgdsctbl",   "mmathPr",
                                                "xmlnstbl",   "filetbl",
                                                "ftnsep",     "ftnsepc",
                                                "ftncn",      "aftnsep",
                                                "aftnsepc",   "aftncn",
                                                "userprops",  "template",
                                                "formfield",  "datafield"};
    return words.contains(word);
}

QStringList Parser::run() {
    document_->clear();
    cursor_ = QTextCursor(document_);
    // One edit for the whole document: outside an edit the cursor works out its place on
    // screen after every insertion, which costs more than the reading itself.
    cursor_.beginEditBlock();
    states_.reserve(64);
    states_.push_back(GroupState{});
    parse();
    if (states_.size() > 1 || overflowDepth_ > 0)
        fail(QStringLiteral("文書がグループの途中で終わっています（閉じ括弧 } がありません）。"));
    flushBytes();
    endDocument();
    cursor_.endEditBlock();
    setPageSetup(*document_, page_);
    return errors_;
}

GroupState& Parser::state() {
    return states_.back();
}

void Parser::fail(const QString& message) {
    if (errors_.size() < MaxErrors && !errors_.contains(message))
        errors_.append(message);
}

void Parser::parse() {
    // The opening "{" of the document is the first group; a file without it is still read.
    while (pos_ < in_.size() && !finished_) {
        const char c = in_[pos_];
        if (static_cast<unsigned char>(c) >= 0x80) {
            ++pos_;
            rawHighByte(static_cast<unsigned char>(c));
        } else if (c == '{') {
            ++pos_;
            openGroup();
        } else if (c == '}') {
            ++pos_;
            closeGroup();
        } else if (c == '\\') {
            ++pos_;
            controlSequence();
        } else if (c == '\r' || c == '\n') {
            ++pos_;
        } else {
            ++pos_;
            textByte(static_cast<unsigned char>(c));
        }
    }
}

// Some writers leave double-byte characters unescaped; their trail byte may then be a brace
// or a backslash, which belongs to the character and not to the document's structure.
bool Parser::takesTrailByte(unsigned char b) const {
    return cp932::isLeadByte(b) && pos_ < in_.size() && currentCodepage() == Codepage::Cp932;
}

void Parser::rawHighByte(unsigned char b) {
    if (!takesTrailByte(b)) {
        textByte(b, true);
        return;
    }
    const auto trail = static_cast<unsigned char>(in_[pos_++]);
    if (skipCount_ > 0) {
        --skipCount_;
        return;
    }
    textByte(b, true);
    textByte(trail, true);
}

void Parser::openGroup() {
    flushBytes();
    skipCount_ = 0;
    if (overflowDepth_ > 0 || int(states_.size()) >= MaxDepth) {
        if (overflowDepth_ == 0)
            fail(QStringLiteral(
                "グループの入れ子が深すぎます。深い部分は書式なしで読み込みました。"));
        ++overflowDepth_;
        return;
    }
    GroupState next = state();
    next.starred = false;
    next.atGroupStart = true;
    states_.push_back(next);
}

void Parser::closeGroup() {
    flushBytes();
    skipCount_ = 0;
    if (overflowDepth_ > 0) {
        --overflowDepth_;
        return;
    }
    if (states_.size() <= 1) {
        // Bytes after the document's last brace are not part of it.
        finished_ = true;
        return;
    }
    const Destination leaving = state().dest;
    if (leaving == Destination::FontTable)
        finishFont();
    if ((leaving == Destination::NumberingBefore || leaving == Destination::NumberingAfter) &&
        states_[states_.size() - 2].dest != leaving && numberingOwner_ < states_.size()) {
        Numbering& n = states_[numberingOwner_].para.numbering;
        const QString text = decodeBytes(numberingText_, documentCodepage_).left(16);
        (leaving == Destination::NumberingBefore ? n.prefix : n.suffix) = text;
        numberingText_.clear();
    }
    states_.pop_back();
    if (states_.size() == 1)
        finished_ = true;
}

void Parser::skipGroupContent() {
    // Skips to the brace closing the current group, minding escapes and binary data so a
    // brace inside them is not taken for structure.
    int depth = 1;
    while (pos_ < in_.size()) {
        const char c = in_[pos_++];
        if (takesTrailByte(static_cast<unsigned char>(c))) {
            ++pos_;
        } else if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0) {
                --pos_;
                return;
            }
        } else if (c == '\\' && pos_ < in_.size()) {
            if (isLetter(in_[pos_])) {
                const qsizetype start = pos_;
                while (pos_ < in_.size() && isLetter(in_[pos_]))
                    ++pos_;
                const QByteArrayView word = in_.sliced(start, pos_ - start);
                const long long n = readParameter(nullptr);
                if (word == "bin")
                    skipBinary(n);
            } else {
                ++pos_;
            }
        }
    }
}

long long Parser::readParameter(bool* present) {
    bool negative = false;
    if (pos_ < in_.size() && in_[pos_] == '-' && pos_ + 1 < in_.size() && in_[pos_ + 1] >= '0' &&
        in_[pos_ + 1] <= '9') {
        negative = true;
        ++pos_;
    }
    long long value = 0;
    bool any = false;
    while (pos_ < in_.size() && in_[pos_] >= '0' && in_[pos_] <= '9') {
        value = std::min(MaxParam, value * 10 + (in_[pos_] - '0'));
        any = true;
        ++pos_;
    }
    if (pos_ < in_.size() && in_[pos_] == ' ')
        ++pos_; // the delimiter belongs to the control word
    if (present)
        *present = any;
    return negative ? -value : value;
}

void Parser::skipBinary(long long count) {
    if (count <= 0)
        return;
    if (count > in_.size() - pos_) {
        fail(QStringLiteral("バイナリデータが文書の終わりを越えています。"));
        pos_ = in_.size();
        return;
    }
    pos_ += qsizetype(count);
}

void Parser::controlSequence() {
    if (pos_ >= in_.size()) {
        fail(QStringLiteral("文書が制御語の途中で終わっています。"));
        return;
    }
    const char c = in_[pos_];
    if (!isLetter(c)) {
        ++pos_;
        controlSymbol(c);
        return;
    }
    const qsizetype start = pos_;
    while (pos_ < in_.size() && isLetter(in_[pos_]))
        ++pos_;
    const QByteArrayView word = in_.sliced(start, pos_ - start);
    bool hasParam = false;
    const long long param = readParameter(&hasParam);
    if (word == "bin") {
        flushBytes();
        skipBinary(hasParam ? param : 0);
        consumeSkipUnit();
        return;
    }
    if (skipCount_ > 0) {
        --skipCount_;
        return;
    }
    flushBytes();
    const bool groupStart = state().atGroupStart;
    state().atGroupStart = false;
    if (groupStart && startDestination(word, hasParam ? int(param) : 0)) {
        // A destination this reader knows: its words are read, not skipped as unknown.
        state().starred = false;
        return;
    }
    if (state().starred) {
        // An ignorable destination this reader does not know.
        state().dest = Destination::Skip;
        skipGroupContent();
        return;
    }
    controlWord(word, hasParam, int(std::clamp<long long>(param, INT_MIN / 2, INT_MAX / 2)));
}

void Parser::consumeSkipUnit() {
    if (skipCount_ > 0)
        --skipCount_;
}

void Parser::controlSymbol(char c) {
    if (c == '\'') {
        hexEscape();
        return;
    }
    if (c == '*') {
        state().starred = true;
        return;
    }
    if (skipCount_ > 0) {
        --skipCount_;
        return;
    }
    state().atGroupStart = false;
    if (c != '\\' && c != '{' && c != '}')
        flushBytes();
    switch (c) {
    case '\\':
    case '{':
    case '}':
        textByte(static_cast<unsigned char>(c), true);
        break;
    case '~':
        appendText(QChar(0x00A0));
        break;
    case '_':
        appendText(QChar(0x2011));
        break;
    case '\r':
    case '\n':
        endParagraph();
        break;
    default:
        break; // \- optional hyphen, \: index entries, \| formulas: nothing to show
    }
}

void Parser::hexEscape() {
    if (pos_ + 2 > in_.size() || !isHexDigit(in_[pos_]) || !isHexDigit(in_[pos_ + 1])) {
        fail(QStringLiteral("\\' の後に 2 桁の16進数がありません。"));
        while (pos_ < in_.size() && isHexDigit(in_[pos_]))
            ++pos_;
        return;
    }
    const int value = hexValue(in_[pos_]) * 16 + hexValue(in_[pos_ + 1]);
    pos_ += 2;
    if (skipCount_ > 0) {
        --skipCount_;
        return;
    }
    textByte(static_cast<unsigned char>(value), true);
}

// Returns true when word opened a destination, which then owns the rest of the group.
bool Parser::startDestination(QByteArrayView word, int param) {
    GroupState& s = state();
    if (word == "fonttbl") {
        s.dest = Destination::FontTable;
        return true;
    }
    if (word == "colortbl") {
        s.dest = Destination::ColorTable;
        colorStarted_ = false;
        return true;
    }
    if (word == "pn") {
        // The older list form: the paragraph around this group is a bulleted or numbered
        // one; a bullet unless the group says otherwise.
        if (states_.size() < 2 || states_[states_.size() - 2].dest != Destination::Body) {
            s.dest = Destination::Skip;
            skipGroupContent();
            return true;
        }
        numberingOwner_ = states_.size() - 2;
        ParagraphProps& p = states_[numberingOwner_].para;
        p.list = ListKind::Bullet;
        p.numbering = Numbering{};
        p.listOverride = 0;
        s.dest = Destination::Numbering;
        return true;
    }
    if (s.dest == Destination::Numbering && (word == "pntxtb" || word == "pntxta")) {
        s.dest = word == "pntxtb" ? Destination::NumberingBefore : Destination::NumberingAfter;
        numberingText_.clear();
        return true;
    }
    if (word == "listtable" || word == "listoverridetable") {
        s.dest = word == "listtable" ? Destination::ListTable : Destination::ListOverrideTable;
        return true;
    }
    if (word == "fldrslt" || word == "field")
        return false;
    if (isSkippedDestination(word)) {
        s.dest = Destination::Skip;
        skipGroupContent();
        return true;
    }
    if (s.dest == Destination::FontTable && word == "f") {
        finishFont();
        fontNumber_ = param;
        fontCodepage_.reset();
        return true;
    }
    return false;
}

void Parser::controlWord(QByteArrayView w, bool hasParam, int n) {
    GroupState& s = state();
    switch (s.dest) {
    case Destination::FontTable:
        // Font names, too, may be written in Unicode.
        if (w == "u")
            unicodeChar(n);
        else if (w == "uc")
            s.unicodeSkip = std::clamp(n, 0, 16);
        else
            fontTableWord(w, hasParam, n);
        return;
    case Destination::ColorTable:
        colorTableWord(w, n);
        return;
    case Destination::ListTable:
        listTableWord(w, n);
        return;
    case Destination::ListOverrideTable:
        listOverrideWord(w, n);
        return;
    case Destination::Numbering:
        numberingWord(w, n);
        return;
    case Destination::NumberingBefore:
    case Destination::NumberingAfter:
    case Destination::Skip:
        return;
    case Destination::Body:
        break;
    }
    if (w == "ansicpg") {
        documentCodepage_ = n == 932 ? Codepage::Cp932 : Codepage::Cp1252;
        return;
    }
    if (w == "deff") {
        defaultFont_ = n;
        return;
    }
    if (w == "uc") {
        s.unicodeSkip = std::clamp(n, 0, 16);
        return;
    }
    if (w == "u") {
        unicodeChar(n);
        return;
    }
    if (characterWord(s, w, hasParam, n) || paragraphWord(s.para, w, n) || pageWord(w, n))
        return;
    if (w == "par") {
        endParagraph();
    } else if (w == "row") {
        endRow();
    } else if (w == "line") {
        appendText(QChar::LineSeparator);
    } else if (w == "tab") {
        appendText(QChar(u'\t'));
    } else if (w == "cell") {
        appendText(QChar(u'\t'));
        cellEndedLast_ = true;
    } else {
        specialCharacter(w);
    }
}

void Parser::specialCharacter(QByteArrayView w) {
    static const QHash<QByteArray, char16_t> characters = {
        {"emdash", 0x2014},    {"endash", 0x2013},    {"lquote", 0x2018}, {"rquote", 0x2019},
        {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"bullet", 0x2022}, {"emspace", 0x2003},
        {"enspace", 0x2002},   {"qmspace", 0x2005},   {"zwj", 0x200D},    {"zwnj", 0x200C}};
    const auto it = characters.constFind(w.toByteArray());
    if (it != characters.cend())
        appendText(QChar(*it));
}

} // namespace richtext::rtf
