// SPDX-License-Identifier: GPL-3.0-or-later
#include "paragraphstyle.h"

#include "core/richtext/twips.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <algorithm>
#include <optional>

namespace richtext {
namespace {

// Twips between the label and the text of a listed paragraph (negative: the label hangs).
constexpr int LabelOffsetProperty = QTextFormat::UserProperty + 1;
// The leaders of a paragraph's tab stops, in the order of its tab positions. QTextDocument has
// no leaders of its own; they are kept so that saving gives them back.
constexpr int TabLeadersProperty = QTextFormat::UserProperty + 2;
// The first number of a numbered list (QTextListFormat has no start of its own here).
constexpr int ListStartProperty = QTextFormat::UserProperty + 3;

bool isBulletList(const QTextList* list) {
    return list && list->format().style() == QTextListFormat::ListDisc;
}

std::optional<Numbering::Style> numberStyleOf(QTextListFormat::Style style) {
    switch (style) {
    case QTextListFormat::ListDecimal:
        return Numbering::Style::Decimal;
    case QTextListFormat::ListLowerAlpha:
        return Numbering::Style::LowerLetter;
    case QTextListFormat::ListUpperAlpha:
        return Numbering::Style::UpperLetter;
    case QTextListFormat::ListLowerRoman:
        return Numbering::Style::LowerRoman;
    case QTextListFormat::ListUpperRoman:
        return Numbering::Style::UpperRoman;
    default:
        return std::nullopt;
    }
}

QTextListFormat::Style listStyleOf(Numbering::Style style) {
    switch (style) {
    case Numbering::Style::LowerLetter:
        return QTextListFormat::ListLowerAlpha;
    case Numbering::Style::UpperLetter:
        return QTextListFormat::ListUpperAlpha;
    case Numbering::Style::LowerRoman:
        return QTextListFormat::ListLowerRoman;
    case Numbering::Style::UpperRoman:
        return QTextListFormat::ListUpperRoman;
    case Numbering::Style::Decimal:
        break;
    }
    return QTextListFormat::ListDecimal;
}

bool isNumberedList(const QTextList* list) {
    return list && numberStyleOf(list->format().style()).has_value();
}

bool isListed(const QTextBlock& block) {
    const QTextList* list = block.textList();
    return isBulletList(list) || isNumberedList(list);
}

Numbering numberingOf(const QTextListFormat& format) {
    Numbering n;
    n.style = numberStyleOf(format.style()).value_or(Numbering::Style::Decimal);
    n.start = format.hasProperty(ListStartProperty) ? format.intProperty(ListStartProperty) : 1;
    n.prefix = format.numberPrefix();
    n.suffix = format.numberSuffix();
    return n;
}

QTextList* bulletListBefore(const QTextBlock& block) {
    const QTextBlock previous = block.previous();
    if (!previous.isValid())
        return nullptr;
    QTextList* list = previous.textList();
    return isBulletList(list) ? list : nullptr;
}

void joinList(QTextCursor& cursor, QTextList* before, const QTextListFormat& format) {
    if (before) {
        before->add(cursor.block());
        return;
    }
    cursor.createList(format);
}

void joinBulletList(QTextCursor& cursor) {
    const QTextBlock block = cursor.block();
    if (isBulletList(block.textList()))
        return;
    QTextListFormat format;
    format.setStyle(QTextListFormat::ListDisc);
    format.setIndent(0);
    joinList(cursor, bulletListBefore(block), format);
}

void leaveList(QTextCursor& cursor) {
    const QTextBlock block = cursor.block();
    if (QTextList* list = block.textList())
        list->remove(block);
    QTextBlockFormat format = cursor.blockFormat();
    format.clearProperty(LabelOffsetProperty);
    format.setObjectIndex(-1);
    format.setIndent(0);
    cursor.setBlockFormat(format);
}

void setLabelOffset(QTextCursor& cursor, int firstLineIndentTwips) {
    QTextBlockFormat format = cursor.blockFormat();
    format.setProperty(LabelOffsetProperty, firstLineIndentTwips);
    format.setTextIndent(0);
    format.setIndent(0);
    cursor.setBlockFormat(format);
}

QTextOption::TabType tabTypeOf(TabStop::Kind kind) {
    switch (kind) {
    case TabStop::Kind::Center:
        return QTextOption::CenterTab;
    case TabStop::Kind::Right:
        return QTextOption::RightTab;
    case TabStop::Kind::Decimal:
        return QTextOption::DelimiterTab;
    case TabStop::Kind::Left:
        break;
    }
    return QTextOption::LeftTab;
}

TabStop::Kind kindOf(QTextOption::TabType type) {
    switch (type) {
    case QTextOption::CenterTab:
        return TabStop::Kind::Center;
    case QTextOption::RightTab:
        return TabStop::Kind::Right;
    case QTextOption::DelimiterTab:
        return TabStop::Kind::Decimal;
    case QTextOption::LeftTab:
        break;
    }
    return TabStop::Kind::Left;
}

} // namespace

int leftIndentTwips(const QTextBlockFormat& format) {
    return twips::fromLayout(format.leftMargin());
}

int rightIndentTwips(const QTextBlockFormat& format) {
    return twips::fromLayout(format.rightMargin());
}

int firstLineIndentTwips(const QTextBlock& block) {
    const QTextBlockFormat format = block.blockFormat();
    if (isListed(block))
        return format.intProperty(LabelOffsetProperty);
    return twips::fromLayout(format.textIndent());
}

bool hasBullet(const QTextBlock& block) {
    return isBulletList(block.textList());
}

bool isNumbered(const QTextBlock& block) {
    return isNumberedList(block.textList());
}

Numbering numbering(const QTextBlock& block) {
    const QTextList* list = block.textList();
    return isNumberedList(list) ? numberingOf(list->format()) : Numbering{};
}

QString numberLabel(const QTextBlock& block) {
    const QTextList* list = block.textList();
    if (!isNumberedList(list))
        return {};
    const Numbering n = numberingOf(list->format());
    const int number = n.start + list->itemNumber(block);
    QString digits;
    switch (n.style) {
    case Numbering::Style::Decimal:
        digits = QString::number(number);
        break;
    case Numbering::Style::LowerLetter:
    case Numbering::Style::UpperLetter: {
        for (int k = std::max(number, 1); k > 0; k = (k - 1) / 26)
            digits.prepend(QChar(u'a' + (k - 1) % 26));
        if (n.style == Numbering::Style::UpperLetter)
            digits = digits.toUpper();
        break;
    }
    case Numbering::Style::LowerRoman:
    case Numbering::Style::UpperRoman: {
        static constexpr struct {
            int value;
            const char* text;
        } numerals[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"},
                        {90, "xc"},  {50, "l"},   {40, "xl"}, {10, "x"},   {9, "ix"},
                        {5, "v"},    {4, "iv"},   {1, "i"}};
        int k = std::clamp(number, 1, 3999);
        for (const auto& numeral : numerals) {
            for (; k >= numeral.value; k -= numeral.value)
                digits += QLatin1String(numeral.text);
        }
        if (n.style == Numbering::Style::UpperRoman)
            digits = digits.toUpper();
        break;
    }
    }
    return n.prefix + digits + n.suffix;
}

QList<int> tabStopsTwips(const QTextBlockFormat& format) {
    QList<int> stops;
    for (const QTextOption::Tab& tab : format.tabPositions())
        stops.append(twips::fromLayout(tab.position));
    return stops;
}

QList<TabStop> tabStops(const QTextBlockFormat& format) {
    const QList<QTextOption::Tab> tabs = format.tabPositions();
    const QVariantList leaders = format.property(TabLeadersProperty).toList();
    QList<TabStop> stops;
    for (qsizetype i = 0; i < tabs.size(); ++i) {
        TabStop stop;
        stop.twips = twips::fromLayout(tabs[i].position);
        stop.kind = kindOf(tabs[i].type);
        if (leaders.size() == tabs.size())
            stop.leader =
                TabStop::Leader(std::clamp(leaders[i].toInt(), 0, int(TabStop::Leader::Equals)));
        stops.append(stop);
    }
    return stops;
}

void setLeftIndent(QTextBlockFormat& format, int twips) {
    format.setLeftMargin(twips::toLayout(twips));
}

void setRightIndent(QTextBlockFormat& format, int twips) {
    format.setRightMargin(twips::toLayout(twips));
}

void setTabStops(QTextBlockFormat& format, QList<int> twips) {
    QList<TabStop> stops;
    for (int t : twips)
        stops.append(TabStop{t});
    setTabStops(format, std::move(stops));
}

void setTabStops(QTextBlockFormat& format, QList<TabStop> stops) {
    stops.removeIf([](const TabStop& s) { return s.twips <= 0; });
    std::stable_sort(stops.begin(), stops.end(),
                     [](const TabStop& a, const TabStop& b) { return a.twips < b.twips; });
    stops.erase(std::unique(stops.begin(), stops.end(),
                            [](const TabStop& a, const TabStop& b) { return a.twips == b.twips; }),
                stops.end());
    QList<QTextOption::Tab> tabs;
    QVariantList leaders;
    bool anyLeader = false;
    for (const TabStop& s : stops) {
        const QChar delimiter = s.kind == TabStop::Kind::Decimal ? QChar(u'.') : QChar();
        tabs.append(QTextOption::Tab(twips::toLayout(s.twips), tabTypeOf(s.kind), delimiter));
        leaders.append(int(s.leader));
        anyLeader = anyLeader || s.leader != TabStop::Leader::None;
    }
    format.setTabPositions(tabs);
    if (anyLeader)
        format.setProperty(TabLeadersProperty, leaders);
    else
        format.clearProperty(TabLeadersProperty);
}

void setFirstLineIndent(QTextCursor& cursor, int twips) {
    QTextBlockFormat format = cursor.blockFormat();
    if (isListed(cursor.block())) {
        format.setProperty(LabelOffsetProperty, twips);
        format.setTextIndent(0);
    } else {
        format.setTextIndent(twips::toLayout(twips));
    }
    cursor.setBlockFormat(format);
}

int indentTwips(const QTextBlock& block) {
    const int left = leftIndentTwips(block.blockFormat());
    return std::max(0, isListed(block) ? left + firstLineIndentTwips(block) : left);
}

void setIndent(QTextCursor& cursor, int twips) {
    const QTextBlock block = cursor.block();
    const int at = std::max(twips, 0);
    QTextBlockFormat format = cursor.blockFormat();
    if (isListed(block)) {
        // The label moves to the new indent and the text keeps its distance from the label.
        setLeftIndent(format, at + std::max(0, -firstLineIndentTwips(block)));
        if (firstLineIndentTwips(block) > 0)
            format.setProperty(LabelOffsetProperty, 0);
    } else {
        setLeftIndent(format, at);
    }
    cursor.setBlockFormat(format);
}

void makeBulleted(QTextCursor& cursor, int firstLineIndentTwips) {
    joinBulletList(cursor);
    setLabelOffset(cursor, firstLineIndentTwips);
}

void makeNumbered(QTextCursor& cursor, const Numbering& numbering, int firstLineIndentTwips) {
    QTextListFormat format;
    format.setStyle(listStyleOf(numbering.style));
    format.setIndent(0);
    format.setNumberPrefix(numbering.prefix);
    format.setNumberSuffix(numbering.suffix);
    if (numbering.start != 1)
        format.setProperty(ListStartProperty, numbering.start);
    QTextList* before = nullptr;
    if (const QTextBlock previous = cursor.block().previous(); previous.isValid()) {
        QTextList* list = previous.textList();
        if (isNumberedList(list) && numberingOf(list->format()).style == numbering.style &&
            list->format().numberPrefix() == numbering.prefix &&
            list->format().numberSuffix() == numbering.suffix)
            before = list;
    }
    joinList(cursor, before, format);
    setLabelOffset(cursor, firstLineIndentTwips);
}

void setBullet(QTextCursor& cursor, bool on, int bulletIndentTwips) {
    const QTextBlock block = cursor.block();
    const bool had = isListed(block);
    const int labelAt = indentTwips(block);
    if (!on) {
        if (!had)
            return;
        leaveList(cursor);
        QTextBlockFormat format = cursor.blockFormat();
        setLeftIndent(format, labelAt);
        format.setTextIndent(0);
        cursor.setBlockFormat(format);
        return;
    }
    const int hang = std::max(bulletIndentTwips, 0);
    makeBulleted(cursor, -hang);
    QTextBlockFormat format = cursor.blockFormat();
    setLeftIndent(format, labelAt + hang);
    cursor.setBlockFormat(format);
}

} // namespace richtext
