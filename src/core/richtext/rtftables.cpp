// SPDX-License-Identifier: GPL-3.0-or-later
#include "rtfparser.h"

#include <algorithm>

namespace richtext::rtf {

void Parser::numberingWord(QByteArrayView w, int n) {
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

void Parser::listTableWord(QByteArrayView w, int n) {
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

void Parser::listOverrideWord(QByteArrayView w, int n) {
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
void Parser::resolveListTable(ParagraphProps& p) const {
    const auto override = std::find_if(overrides_.begin(), overrides_.end(),
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

void Parser::fontTableWord(QByteArrayView w, bool hasParam, int n) {
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

Codepage Parser::fontEntryCodepage() const {
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

void Parser::finishFont() {
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

void Parser::colorTableWord(QByteArrayView w, int n) {
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

} // namespace richtext::rtf
