#include "paragraphstyle.h"

#include "core/twips.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <algorithm>

namespace richtext {
namespace {

// Twips between the bullet and the text of a bulleted paragraph (negative: the bullet hangs).
constexpr int BulletOffsetProperty = QTextFormat::UserProperty + 1;

bool isBulletList(const QTextList* list) {
    return list && list->format().style() == QTextListFormat::ListDisc;
}

QTextList* bulletListBefore(const QTextBlock& block) {
    const QTextBlock previous = block.previous();
    if (!previous.isValid())
        return nullptr;
    QTextList* list = previous.textList();
    return isBulletList(list) ? list : nullptr;
}

void joinBulletList(QTextCursor& cursor) {
    const QTextBlock block = cursor.block();
    if (isBulletList(block.textList()))
        return;
    if (QTextList* list = bulletListBefore(block)) {
        list->add(block);
        return;
    }
    QTextListFormat format;
    format.setStyle(QTextListFormat::ListDisc);
    format.setIndent(0);
    cursor.createList(format);
}

void leaveBulletList(QTextCursor& cursor) {
    const QTextBlock block = cursor.block();
    if (QTextList* list = block.textList())
        list->remove(block);
    QTextBlockFormat format = cursor.blockFormat();
    format.clearProperty(BulletOffsetProperty);
    format.setObjectIndex(-1);
    format.setIndent(0);
    cursor.setBlockFormat(format);
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
    if (hasBullet(block))
        return format.intProperty(BulletOffsetProperty);
    return twips::fromLayout(format.textIndent());
}

bool hasBullet(const QTextBlock& block) {
    return isBulletList(block.textList());
}

QList<int> tabStopsTwips(const QTextBlockFormat& format) {
    QList<int> stops;
    for (const QTextOption::Tab& tab : format.tabPositions())
        stops.append(twips::fromLayout(tab.position));
    return stops;
}

void setLeftIndent(QTextBlockFormat& format, int twips) {
    format.setLeftMargin(twips::toLayout(twips));
}

void setRightIndent(QTextBlockFormat& format, int twips) {
    format.setRightMargin(twips::toLayout(twips));
}

void setTabStops(QTextBlockFormat& format, QList<int> twips) {
    twips.removeIf([](int t) { return t <= 0; });
    std::sort(twips.begin(), twips.end());
    twips.erase(std::unique(twips.begin(), twips.end()), twips.end());
    QList<QTextOption::Tab> tabs;
    for (int t : twips)
        tabs.append(QTextOption::Tab(twips::toLayout(t), QTextOption::LeftTab));
    format.setTabPositions(tabs);
}

void setFirstLineIndent(QTextCursor& cursor, int twips) {
    QTextBlockFormat format = cursor.blockFormat();
    if (hasBullet(cursor.block())) {
        format.setProperty(BulletOffsetProperty, twips);
        format.setTextIndent(0);
    } else {
        format.setTextIndent(twips::toLayout(twips));
    }
    cursor.setBlockFormat(format);
}

void makeBulleted(QTextCursor& cursor, int firstLineIndentTwips) {
    joinBulletList(cursor);
    QTextBlockFormat format = cursor.blockFormat();
    format.setProperty(BulletOffsetProperty, firstLineIndentTwips);
    format.setTextIndent(0);
    format.setIndent(0);
    cursor.setBlockFormat(format);
}

void setBullet(QTextCursor& cursor, bool on, int bulletIndentTwips) {
    const QTextBlock block = cursor.block();
    const bool had = hasBullet(block);
    const int bulletAt =
        leftIndentTwips(block.blockFormat()) + (had ? firstLineIndentTwips(block) : 0);
    if (!on) {
        if (!had)
            return;
        leaveBulletList(cursor);
        QTextBlockFormat format = cursor.blockFormat();
        setLeftIndent(format, bulletAt);
        format.setTextIndent(0);
        cursor.setBlockFormat(format);
        return;
    }
    makeBulleted(cursor, -bulletIndentTwips);
    QTextBlockFormat format = cursor.blockFormat();
    setLeftIndent(format, bulletAt + bulletIndentTwips);
    cursor.setBlockFormat(format);
}

} // namespace richtext
