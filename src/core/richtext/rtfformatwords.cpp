// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/richtext/twips.h"
#include "rtfparser.h"

#include <algorithm>

namespace richtext::rtf {

bool Parser::flag(bool hasParam, int n) {
    return !hasParam || n != 0;
}

bool Parser::characterWord(GroupState& s, QByteArrayView w, bool hasParam, int n) {
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

int Parser::clampTwips(int n) {
    return std::clamp(n, -MaxTwips, MaxTwips);
}

bool Parser::paragraphWord(ParagraphProps& p, QByteArrayView w, int n) {
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
bool Parser::pageWord(QByteArrayView w, int n) {
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

std::optional<Underline> Parser::underlineOf(QByteArrayView w) {
    static const QHash<QByteArray, Underline> kinds = {{"ul", Underline::Single},
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

std::optional<TabStop::Leader> Parser::leaderOf(QByteArrayView w) {
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

} // namespace richtext::rtf
