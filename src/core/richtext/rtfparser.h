// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The RTF reader's parser, shared by the files that hold its parts: reading tokens and groups,
// the destinations of the header (fonts, colours, lists), character and paragraph state, and
// building the document.

#include "core/richtext/charstyle.h"
#include "core/richtext/pagesetup.h"
#include "core/richtext/paragraphstyle.h"

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QStringList>
#include <QTextCharFormat>
#include <QTextCursor>
#include <climits>
#include <map>
#include <optional>
#include <vector>

class QTextDocument;

namespace richtext::rtf {

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

QChar cp1252Char(unsigned char b);
bool isHexDigit(char c);
int hexValue(char c);
bool isLetter(char c);
bool isSkippedDestination(QByteArrayView word);

class Parser {
public:
    Parser(QByteArrayView input, QTextDocument* document)
        : in_(input), document_(document), cursor_(document) {}

    QStringList run();

private:
    GroupState& state();
    void fail(const QString& message);
    void parse();
    bool takesTrailByte(unsigned char b) const;
    void rawHighByte(unsigned char b);
    void openGroup();
    void closeGroup();
    void skipGroupContent();
    long long readParameter(bool* present);
    void skipBinary(long long count);
    void controlSequence();
    void consumeSkipUnit();
    void controlSymbol(char c);
    void hexEscape();
    bool startDestination(QByteArrayView word, int param);
    void controlWord(QByteArrayView w, bool hasParam, int n);
    void specialCharacter(QByteArrayView w);
    static bool flag(bool hasParam, int n);
    bool characterWord(GroupState& s, QByteArrayView w, bool hasParam, int n);
    static int clampTwips(int n);
    bool paragraphWord(ParagraphProps& p, QByteArrayView w, int n);
    bool pageWord(QByteArrayView w, int n);
    static std::optional<Underline> underlineOf(QByteArrayView w);
    static std::optional<TabStop::Leader> leaderOf(QByteArrayView w);
    void numberingWord(QByteArrayView w, int n);
    void listTableWord(QByteArrayView w, int n);
    void listOverrideWord(QByteArrayView w, int n);
    void resolveListTable(ParagraphProps& p) const;
    void fontTableWord(QByteArrayView w, bool hasParam, int n);
    Codepage fontEntryCodepage() const;
    void finishFont();
    void colorTableWord(QByteArrayView w, int n);
    void textByte(unsigned char b, bool escaped = false);
    void unicodeChar(int n);
    QString decodeBytes(const QByteArray& raw, Codepage codepage);
    const ScriptFormat& displayed(const GroupState& s) const;
    Codepage currentCodepage() const;
    Codepage textCodepage() const;
    void flushBytes();
    RunKey currentKey() const;
    void appendText(const QString& text);
    void appendText(QChar c);
    QTextCharFormat charFormat(const RunKey& key);
    QTextBlockFormat blockFormat(const ParagraphProps& p) const;
    void endParagraph();
    void endRow();
    void writeParagraph();
    void endDocument();

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
    bool cellEndedLast_ = false; // the last text appended is the tab of a \cell
    std::map<RunKey, QTextCharFormat> formats_;
};

} // namespace richtext::rtf
