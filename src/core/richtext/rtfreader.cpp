// SPDX-License-Identifier: GPL-3.0-or-later
#include "rtfreader.h"

#include "core/cp932.h"
#include "core/richtext/charstyle.h"
#include "core/richtext/pagesetup.h"
#include "core/richtext/paragraphstyle.h"
#include "core/twips.h"

#include <QColor>
#include <QHash>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace richtext {
namespace {

// Deeper nesting than any word processor writes; past it groups are counted, not kept, so a file
// of nothing but "{" cannot eat the memory.
constexpr int MaxDepth = 500;
constexpr int MaxErrors = 5;
// Parameters are 16- or 32-bit in practice; anything longer is clamped, not overflowed.
constexpr long long MaxParam = 1'000'000'000;
constexpr int MaxTwips = 31680; // 22 inches, the widest page a word processor offers
constexpr int MaxHalfPoints = 3276;

enum class Codepage { Cp932, Cp1252, Symbol };
enum class Script { Loch, Dbch, Rtl };
enum class Destination {
    Body,
    FontTable,
    ColorTable,
    ListTable,
    ListOverrideTable,
    Numbering,       // a \pn group: the list of the paragraph around it
    NumberingBefore, // the text before a paragraph number
    NumberingAfter,  // the text after it
    Skip
};
enum class ListKind { None, Bullet, Numbered };

// Font, size, bold and italic exist twice: for single-byte (Latin) text and for double-byte
// (Japanese) text, which some writers format apart with \dbch and the associated-font words.
struct ScriptFormat {
    int font = -1; // -1: the document's default font
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    // Once a writer gave double-byte text a font or size of its own, \f and \fs no longer
    // change it.
    bool ownFont = false;
    bool ownSize = false;
};

struct ParagraphProps {
    Qt::Alignment align = Qt::AlignLeft;
    int left = 0;
    int first = 0;
    int right = 0;
    QList<TabStop> tabs;
    // Kind and leader of the next \tx, which ends the tab stop.
    TabStop::Kind tabKind = TabStop::Kind::Left;
    TabStop::Leader tabLeader = TabStop::Leader::None;
    ListKind list = ListKind::None;
    Numbering numbering;
    // A list of the list table (\ls) and the level in it, resolved when the paragraph ends.
    int listOverride = 0;
    int listLevel = 0;
};

// A list of the list table: the number format of each level (23 is a bullet).
struct ListDefinition {
    int id = 0;
    struct Level {
        int format = 0;
        int start = 1;
    };
    std::vector<Level> levels;
};

struct GroupState {
    ScriptFormat latin;
    ScriptFormat japanese;
    Underline underline = Underline::None;
    bool strike = false;
    int color = 0;
    Script textScript = Script::Loch;  // which of latin/japanese the text takes
    Script assocTarget = Script::Loch; // which one \af, \afs, \ab, \ai change
    ParagraphProps para;
    int unicodeSkip = 1;
    Destination dest = Destination::Body;
    bool starred = false;
    bool atGroupStart = true;
};

// What a run of text looks like; the document's own format is made once per distinct key.
struct RunKey {
    int font = -1;
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    Underline underline = Underline::None;
    bool strike = false;
    int color = 0;
    auto operator<=>(const RunKey&) const = default;
};

struct Run {
    RunKey key;
    QString text;
};

struct FontEntry {
    QString name;
    Codepage codepage = Codepage::Cp932;
};

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

class Parser {
public:
    Parser(QByteArrayView input, QTextDocument* document)
        : in_(input), document_(document), cursor_(document) {}

    QStringList run() {
        document_->clear();
        cursor_ = QTextCursor(document_);
        // One edit for the whole document: outside an edit the cursor works out its place on
        // screen after every insertion, which costs more than the reading itself.
        cursor_.beginEditBlock();
        states_.reserve(64);
        states_.push_back(GroupState{});
        parse();
        if (states_.size() > 1 || overflowDepth_ > 0)
            fail(QStringLiteral(
                "文書がグループの途中で終わっています（閉じ括弧 } がありません）。"));
        flushBytes();
        endDocument();
        cursor_.endEditBlock();
        setPageSetup(*document_, page_);
        return errors_;
    }

private:
    GroupState& state() { return states_.back(); }

    void fail(const QString& message) {
        if (errors_.size() < MaxErrors && !errors_.contains(message))
            errors_.append(message);
    }

    void parse() {
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
    bool takesTrailByte(unsigned char b) const {
        return cp932::isLeadByte(b) && pos_ < in_.size() && currentCodepage() == Codepage::Cp932;
    }

    void rawHighByte(unsigned char b) {
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

    // ---- groups ----

    void openGroup() {
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

    void closeGroup() {
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

    void skipGroupContent() {
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

    // ---- control words ----

    long long readParameter(bool* present) {
        bool negative = false;
        if (pos_ < in_.size() && in_[pos_] == '-' && pos_ + 1 < in_.size() &&
            in_[pos_ + 1] >= '0' && in_[pos_ + 1] <= '9') {
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

    void skipBinary(long long count) {
        if (count <= 0)
            return;
        if (count > in_.size() - pos_) {
            fail(QStringLiteral("バイナリデータが文書の終わりを越えています。"));
            pos_ = in_.size();
            return;
        }
        pos_ += qsizetype(count);
    }

    void controlSequence() {
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

    void consumeSkipUnit() {
        if (skipCount_ > 0)
            --skipCount_;
    }

    void controlSymbol(char c) {
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

    void hexEscape() {
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
    bool startDestination(QByteArrayView word, int param) {
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

    void controlWord(QByteArrayView w, bool hasParam, int n) {
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
        if (w == "par" || w == "row") {
            endParagraph();
        } else if (w == "line") {
            appendText(QChar::LineSeparator);
        } else if (w == "tab" || w == "cell") {
            appendText(QChar(u'\t'));
        } else {
            specialCharacter(w);
        }
    }

    void specialCharacter(QByteArrayView w) {
        static const QHash<QByteArray, char16_t> characters = {
            {"emdash", 0x2014},    {"endash", 0x2013},    {"lquote", 0x2018}, {"rquote", 0x2019},
            {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"bullet", 0x2022}, {"emspace", 0x2003},
            {"enspace", 0x2002},   {"qmspace", 0x2005},   {"zwj", 0x200D},    {"zwnj", 0x200C}};
        const auto it = characters.constFind(w.toByteArray());
        if (it != characters.cend())
            appendText(QChar(*it));
    }

    static bool flag(bool hasParam, int n) { return !hasParam || n != 0; }

    bool characterWord(GroupState& s, QByteArrayView w, bool hasParam, int n) {
        const bool on = flag(hasParam, n);
        // The associated-format words name the font of the script last chosen; only the
        // double-byte one is kept apart, the others (right-to-left among them) do not show here.
        ScriptFormat* assoc = s.assocTarget == Script::Dbch ? &s.japanese : nullptr;
        if (w == "plain") {
            const int skip = s.unicodeSkip;
            s.latin = s.japanese = ScriptFormat{};
            s.underline = Underline::None;
            s.strike = false;
            s.color = 0;
            s.textScript = s.assocTarget = Script::Loch;
            s.unicodeSkip = skip;
        } else if (w == "b") {
            s.latin.bold = s.japanese.bold = on;
        } else if (w == "i") {
            s.latin.italic = s.japanese.italic = on;
        } else if (w == "f") {
            ScriptFormat& own = s.textScript == Script::Dbch ? s.japanese : s.latin;
            own.font = n;
            if (!s.japanese.ownFont)
                s.japanese.font = n;
        } else if (w == "fs") {
            const int size = std::clamp(n, 1, MaxHalfPoints);
            ScriptFormat& own = s.textScript == Script::Dbch ? s.japanese : s.latin;
            own.halfPoints = size;
            if (!s.japanese.ownSize)
                s.japanese.halfPoints = size;
        } else if (w == "ab") {
            if (assoc)
                assoc->bold = on;
        } else if (w == "ai") {
            if (assoc)
                assoc->italic = on;
        } else if (w == "af") {
            if (assoc) {
                assoc->font = n;
                assoc->ownFont = true;
            }
        } else if (w == "afs") {
            if (assoc) {
                assoc->halfPoints = std::clamp(n, 1, MaxHalfPoints);
                assoc->ownSize = true;
            }
        } else if (w == "ulnone") {
            s.underline = Underline::None;
        } else if (const std::optional<Underline> kind = underlineOf(w)) {
            s.underline = on ? *kind : Underline::None;
        } else if (w == "strike") {
            s.strike = on;
        } else if (w == "cf") {
            s.color = n;
        } else if (w == "loch" || w == "hich" || w == "dbch") {
            const Script script = w == "dbch" ? Script::Dbch : Script::Loch;
            s.textScript = s.assocTarget = script;
        } else if (w == "rtlch") {
            s.assocTarget = Script::Rtl;
        } else if (w == "ltrch") {
            s.assocTarget = s.textScript;
        } else {
            return false;
        }
        return true;
    }

    static int clampTwips(int n) { return std::clamp(n, -MaxTwips, MaxTwips); }

    bool paragraphWord(ParagraphProps& p, QByteArrayView w, int n) {
        if (w == "pard") {
            p = ParagraphProps{};
        } else if (w == "ql") {
            p.align = Qt::AlignLeft;
        } else if (w == "qc") {
            p.align = Qt::AlignHCenter;
        } else if (w == "qr") {
            p.align = Qt::AlignRight;
        } else if (w == "qj") {
            p.align = Qt::AlignJustify;
        } else if (w == "li") {
            p.left = clampTwips(n);
        } else if (w == "fi") {
            p.first = clampTwips(n);
        } else if (w == "ri") {
            p.right = clampTwips(n);
        } else if (w == "tqc" || w == "tqr" || w == "tqdec") {
            p.tabKind = w == "tqc"   ? TabStop::Kind::Center
                        : w == "tqr" ? TabStop::Kind::Right
                                     : TabStop::Kind::Decimal;
        } else if (const std::optional<TabStop::Leader> leader = leaderOf(w)) {
            p.tabLeader = *leader;
        } else if (w == "tx" || w == "tb") {
            // A bar tab draws a line, it does not stop the text: it is not kept.
            if (w == "tx" && p.tabs.size() < 64)
                p.tabs.append(TabStop{std::clamp(n, 0, MaxTwips), p.tabKind, p.tabLeader});
            p.tabKind = TabStop::Kind::Left;
            p.tabLeader = TabStop::Leader::None;
        } else if (w == "ls") {
            p.list = ListKind::Bullet;
            p.listOverride = n;
        } else if (w == "ilvl") {
            p.listLevel = std::clamp(n, 0, 8);
        } else {
            return false;
        }
        return true;
    }

    // The page the document was laid out for. The first section's own page, when it gives one,
    // is the page its text is shown on; later sections cannot be kept apart and are not read.
    bool pageWord(QByteArrayView w, int n) {
        const int twips = std::clamp(n, 0, MaxTwips);
        if (w == "sect") {
            firstSectionEnded_ = true;
            return false;
        }
        const bool section = w.endsWith("sxn");
        if (section && firstSectionEnded_)
            return w == "pgwsxn" || w == "pghsxn" || w == "marglsxn" || w == "margrsxn" ||
                   w == "margtsxn" || w == "margbsxn" || w == "lndscpsxn";
        if (w == "paperw" || w == "pgwsxn")
            page_.paperWidth = twips;
        else if (w == "paperh" || w == "pghsxn")
            page_.paperHeight = twips;
        else if (w == "margl" || w == "marglsxn")
            page_.marginLeft = twips;
        else if (w == "margr" || w == "margrsxn")
            page_.marginRight = twips;
        else if (w == "margt" || w == "margtsxn")
            page_.marginTop = twips;
        else if (w == "margb" || w == "margbsxn")
            page_.marginBottom = twips;
        else if (w == "landscape" || w == "lndscpsxn")
            page_.landscape = true;
        else
            return false;
        return true;
    }

    static std::optional<Underline> underlineOf(QByteArrayView w) {
        static const QHash<QByteArray, Underline> kinds = {
            {"ul", Underline::Single},
            {"ulw", Underline::Words},
            {"uldb", Underline::Double},
            {"ulth", Underline::Thick},
            {"uld", Underline::Dotted},
            {"uldash", Underline::Dashed},
            {"uldashd", Underline::DashDot},
            {"uldashdd", Underline::DashDotDot},
            {"ulldash", Underline::LongDash},
            {"ulwave", Underline::Wave},
            {"ululdbwave", Underline::DoubleWave},
            {"ulhwave", Underline::HeavyWave},
            {"ulthd", Underline::ThickDotted},
            {"ulthdash", Underline::ThickDashed},
            {"ulthdashd", Underline::ThickDashDot},
            {"ulthdashdd", Underline::ThickDashDotDot},
            {"ulthldash", Underline::ThickLongDash}};
        const auto it = kinds.constFind(w.toByteArray());
        if (it == kinds.cend())
            return std::nullopt;
        return *it;
    }

    static std::optional<TabStop::Leader> leaderOf(QByteArrayView w) {
        if (w == "tldot")
            return TabStop::Leader::Dots;
        if (w == "tlmdot")
            return TabStop::Leader::MiddleDots;
        if (w == "tlhyph")
            return TabStop::Leader::Hyphens;
        if (w == "tlul")
            return TabStop::Leader::Underline;
        if (w == "tlth")
            return TabStop::Leader::ThickLine;
        if (w == "tleq")
            return TabStop::Leader::Equals;
        return std::nullopt;
    }

    // ---- lists ----

    void numberingWord(QByteArrayView w, int n) {
        if (numberingOwner_ >= states_.size())
            return;
        ParagraphProps& p = states_[numberingOwner_].para;
        if (w == "pnlvlblt") {
            p.list = ListKind::Bullet;
        } else if (w == "pnlvlbody" || (w.startsWith("pnlvl") && w != "pnlvlcont")) {
            p.list = ListKind::Numbered;
        } else if (w == "pndec") {
            p.numbering.style = Numbering::Style::Decimal;
        } else if (w == "pnlcltr") {
            p.numbering.style = Numbering::Style::LowerLetter;
        } else if (w == "pnucltr") {
            p.numbering.style = Numbering::Style::UpperLetter;
        } else if (w == "pnlcrm") {
            p.numbering.style = Numbering::Style::LowerRoman;
        } else if (w == "pnucrm") {
            p.numbering.style = Numbering::Style::UpperRoman;
        } else if (w == "pnstart") {
            p.numbering.start = std::clamp(n, 0, 32767);
        }
    }

    void listTableWord(QByteArrayView w, int n) {
        if (w == "list") {
            if (lists_.size() < 1000)
                lists_.push_back(ListDefinition{});
            return;
        }
        if (lists_.empty())
            return;
        ListDefinition& list = lists_.back();
        if (w == "listid") {
            list.id = n;
        } else if (w == "listlevel") {
            if (list.levels.size() < 9)
                list.levels.push_back(ListDefinition::Level{});
        } else if (!list.levels.empty() && (w == "levelnfc" || w == "levelnfcn")) {
            list.levels.back().format = n;
        } else if (!list.levels.empty() && w == "levelstartat") {
            list.levels.back().start = std::clamp(n, 0, 32767);
        }
    }

    void listOverrideWord(QByteArrayView w, int n) {
        if (w == "listoverride") {
            if (overrides_.size() < 1000)
                overrides_.push_back({0, 0});
        } else if (!overrides_.empty() && w == "listid") {
            overrides_.back().first = n;
        } else if (!overrides_.empty() && w == "ls") {
            overrides_.back().second = n;
        }
    }

    // Whether a paragraph in a list of the list table is numbered, and how. A list the table
    // does not describe is taken for a bulleted one.
    void resolveListTable(ParagraphProps& p) const {
        const auto override =
            std::find_if(overrides_.begin(), overrides_.end(),
                         [&](const auto& o) { return o.second == p.listOverride; });
        if (override == overrides_.end())
            return;
        const auto list = std::find_if(lists_.begin(), lists_.end(), [&](const ListDefinition& l) {
            return l.id == override->first;
        });
        if (list == lists_.end() || list->levels.empty())
            return;
        const ListDefinition::Level& level =
            list->levels[std::min<size_t>(p.listLevel, list->levels.size() - 1)];
        Numbering n;
        n.start = level.start;
        switch (level.format) {
        case 23:  // bullet
        case 255: // no number
            return;
        case 1:
            n.style = Numbering::Style::UpperRoman;
            break;
        case 2:
            n.style = Numbering::Style::LowerRoman;
            break;
        case 3:
            n.style = Numbering::Style::UpperLetter;
            break;
        case 4:
            n.style = Numbering::Style::LowerLetter;
            break;
        default:
            n.style = Numbering::Style::Decimal;
            break;
        }
        p.list = ListKind::Numbered;
        p.numbering = n;
    }

    // ---- tables in the header ----

    void fontTableWord(QByteArrayView w, bool hasParam, int n) {
        if (w == "f") {
            finishFont();
            fontNumber_ = n;
            fontCodepage_.reset();
        } else if (w == "fcharset") {
            if (!fontCodepage_)
                fontCharset_ = n;
        } else if (w == "cpg" && hasParam) {
            fontCodepage_ = n == 932 ? Codepage::Cp932 : Codepage::Cp1252;
        }
    }

    Codepage fontEntryCodepage() const {
        if (fontCodepage_)
            return *fontCodepage_;
        switch (fontCharset_) {
        case 128:
            return Codepage::Cp932;
        case 2:
            return Codepage::Symbol;
        case 1:
            return documentCodepage_;
        case -1:
            return documentCodepage_;
        default:
            return Codepage::Cp1252;
        }
    }

    void finishFont() {
        if (fontNumber_ < 0) {
            fontName_.clear();
            fontNameText_.clear();
            return;
        }
        FontEntry entry;
        entry.codepage = fontEntryCodepage();
        QByteArray raw = fontName_;
        if (raw.endsWith(';'))
            raw.chop(1);
        entry.name = (fontNameText_ + decodeBytes(raw, entry.codepage)).trimmed();
        fonts_[fontNumber_] = entry;
        fontNumber_ = -1;
        fontCharset_ = -1;
        fontCodepage_.reset();
        fontName_.clear();
        fontNameText_.clear();
    }

    void colorTableWord(QByteArrayView w, int n) {
        const int value = std::clamp(n, 0, 255);
        if (w == "red")
            pendingColor_.setRed(value);
        else if (w == "green")
            pendingColor_.setGreen(value);
        else if (w == "blue")
            pendingColor_.setBlue(value);
        else
            return;
        colorStarted_ = true;
    }

    // ---- text ----

    void textByte(unsigned char b, bool escaped = false) {
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

    void unicodeChar(int n) {
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

    QString decodeBytes(const QByteArray& raw, Codepage codepage) {
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

    const ScriptFormat& displayed(const GroupState& s) const {
        return s.textScript == Script::Dbch ? s.japanese : s.latin;
    }

    Codepage currentCodepage() const {
        return states_.back().dest == Destination::FontTable ? fontEntryCodepage() : textCodepage();
    }

    Codepage textCodepage() const {
        const int font = displayed(states_.back()).font;
        const auto it = fonts_.find(font < 0 ? defaultFont_ : font);
        return it == fonts_.end() ? documentCodepage_ : it->second.codepage;
    }

    void flushBytes() {
        if (bytes_.isEmpty())
            return;
        const QString text = decodeBytes(bytes_, textCodepage());
        bytes_.clear();
        appendText(text);
    }

    RunKey currentKey() const {
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

    void appendText(const QString& text) {
        if (state().dest != Destination::Body || text.isEmpty())
            return;
        const RunKey key = currentKey();
        if (runs_.empty() || runs_.back().key != key)
            runs_.push_back(Run{key, QString()});
        runs_.back().text += text;
    }

    void appendText(QChar c) { appendText(QString(c)); }

    // ---- building the document ----

    QTextCharFormat charFormat(const RunKey& key) {
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

    QTextBlockFormat blockFormat(const ParagraphProps& p) const {
        QTextBlockFormat format;
        format.setAlignment(p.align);
        setLeftIndent(format, p.left);
        setRightIndent(format, p.right);
        if (p.list == ListKind::None)
            format.setTextIndent(twips::toLayout(p.first));
        setTabStops(format, p.tabs);
        return format;
    }

    void endParagraph() {
        flushBytes();
        if (state().dest != Destination::Body)
            return;
        writeParagraph();
    }

    void writeParagraph() {
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

    void endDocument() {
        // The last \par ends the last paragraph; only text after it makes one more.
        if (!runs_.empty() || paragraphs_ == 0)
            writeParagraph();
    }

    QByteArrayView in_;
    qsizetype pos_ = 0;
    QTextDocument* document_;
    QTextCursor cursor_;
    std::vector<GroupState> states_;
    int overflowDepth_ = 0;
    bool finished_ = false;
    int skipCount_ = 0;
    QStringList errors_;

    Codepage documentCodepage_ = Codepage::Cp932;
    int defaultFont_ = 0;
    std::map<int, FontEntry> fonts_;
    int fontNumber_ = -1;
    int fontCharset_ = -1;
    std::optional<Codepage> fontCodepage_;
    QByteArray fontName_;
    QString fontNameText_;
    QList<QColor> colors_;
    std::vector<ListDefinition> lists_;
    std::vector<std::pair<int, int>> overrides_; // list id, \ls number
    size_t numberingOwner_ = SIZE_MAX;
    QByteArray numberingText_;
    QColor pendingColor_ = QColor(0, 0, 0);
    bool colorStarted_ = false;

    PageSetup page_;
    bool firstSectionEnded_ = false;

    QByteArray bytes_;
    std::vector<Run> runs_;
    int paragraphs_ = 0;
    std::map<RunKey, QTextCharFormat> formats_;
};

} // namespace

bool looksLikeRtf(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    while (!bytes.isEmpty() && (bytes.front() == ' ' || bytes.front() == '\r' ||
                                bytes.front() == '\n' || bytes.front() == '\t'))
        bytes = bytes.sliced(1);
    return bytes.startsWith("{\\rtf");
}

bool RtfReader::read(QByteArrayView rtf, QTextDocument* document) {
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    QStringList errors;
    if (!looksLikeRtf(rtf))
        errors.append(QStringLiteral("文書が {\\rtf で始まっていません。"));
    Parser parser(rtf, document);
    errors += parser.run();
    document->setUndoRedoEnabled(undo);
    error_ = errors.join(QStringLiteral("\r\n"));
    return error_.isEmpty();
}

} // namespace richtext
